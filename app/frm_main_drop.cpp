// An archive dropped onto the window opens as if chosen in Open SFF's dialog.

#include "app/frm_main.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <optional>
#include <string>

namespace pelvaro::app {
namespace {

// The archive a drag carries: exactly one local file named *.sff (any case)
// that is not a folder. Whether it can be read is left to the load, which
// reports it as Open SFF does.
std::optional<std::string> DraggedArchive(const QMimeData* data) {
  if (!data || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls[0].isLocalFile()) return std::nullopt;
  const QString path = urls[0].toLocalFile();
  if (!path.endsWith(QStringLiteral(".sff"), Qt::CaseInsensitive) || QFileInfo(path).isDir()) return std::nullopt;
  return QDir::toNativeSeparators(path).toStdString();
}

// Copy, never Move: a file manager deletes the source of a move it was told
// succeeded. A drag that offers neither copy nor link is not taken.
std::optional<Qt::DropAction> HarmlessAction(const QDropEvent& event) {
  if (event.possibleActions() & Qt::CopyAction) return Qt::CopyAction;
  if (event.possibleActions() & Qt::LinkAction) return Qt::LinkAction;
  return std::nullopt;
}

}  // namespace

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
  const auto action = HarmlessAction(*event);
  if (!action || !DraggedArchive(event->mimeData())) {
    event->ignore();
    return;
  }
  event->setDropAction(*action);
  event->accept();
}

void frmMain::dropEvent(QDropEvent* event) {
  const auto action = HarmlessAction(*event);
  const auto path = action ? DraggedArchive(event->mimeData()) : std::nullopt;
  if (!path) {
    event->ignore();
    return;
  }
  event->setDropAction(*action);
  event->accept();
  // The drag's source waits for the drop to end; the load and its questions
  // come after, from the event loop.
  QTimer::singleShot(0, this, [this, archive = *path] { OpenSff(archive); });
}

}  // namespace pelvaro::app
