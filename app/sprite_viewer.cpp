#include "app/sprite_viewer.h"

#include "app/palette_grid.h"
#include "app/sprite_canvas.h"
#include "export/atomic_file.h"
#include "export/messages.h"
#include "image/png_writer.h"
#include "ui/fonts.h"
#include "ui/message_box.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <array>

namespace pelvaro::app {
using namespace commands;
namespace {

// The zooms + and - step through.
constexpr std::array<int, 10> kZoomSteps{1, 2, 3, 4, 6, 8, 12, 16, 24, SpriteCanvas::kMaxZoom};

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QString Lines(const std::vector<std::string>& lines) { return Text(exporter::JoinLines(lines, "\n")); }

// Every control leaves the keyboard to the window, so that Up, Down, + and -
// always reach it, whatever was clicked last.
template <class Control>
Control* Make(QWidget* parent, const char* name, const char* caption) {
  auto* control = new Control(parent);
  control->setObjectName(QString::fromUtf8(name));
  control->setText(QString::fromUtf8(caption));
  control->setFocusPolicy(Qt::NoFocus);
  return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

SpriteViewer::SpriteViewer(QWidget* owner) : QWidget(owner, Qt::Window), cdlSave(this) {
  setObjectName(QStringLiteral("frmSpriteViewer"));
  setFont(ui::WindowFont(ui::kMsPGothic, 9));
  setFocusPolicy(Qt::StrongFocus);
  BuildControls();
  resize(720, 520);
  ShowRow(nullptr, std::nullopt);
}

void SpriteViewer::BuildControls() {
  cmdZoomOut = Make<QToolButton>(this, "cmdZoomOut", "－");
  cmdZoomOut->setToolTip(QStringLiteral("縮小（-）"));
  cmdZoomIn = Make<QToolButton>(this, "cmdZoomIn", "＋");
  cmdZoomIn->setToolTip(QStringLiteral("拡大（+）"));
  cmdActualSize = Make<QToolButton>(this, "cmdActualSize", "1:1");
  cmdActualSize->setToolTip(QStringLiteral("等倍で表示（1）"));
  cmdFitWindow = Make<QToolButton>(this, "cmdFitWindow", "ウィンドウに合わせる");
  cmdFitWindow->setToolTip(QStringLiteral("ウィンドウに収まる倍率で表示（0）"));
  cmdFitWindow->setCheckable(true);
  lblZoom = MakeLabel(this, "lblZoom");
  chkTransparent = Make<QCheckBox>(this, "chkTransparent", "0 番を透明色に");
  chkTransparent->setToolTip(QStringLiteral("パレット番号 0 の色を市松模様の上に透明で表示します"));
  chkTransparent->setChecked(true);
  chkAxis = Make<QCheckBox>(this, "chkAxis", "軸を表示");
  chkAxis->setChecked(true);
  cmdCopy = Make<QPushButton>(this, "cmdCopy", "コピー(&C)");
  cmdSavePng = Make<QPushButton>(this, "cmdSavePng", "PNG として保存(&S)…");

  picSprite = new SpriteCanvas(this);
  picSprite->setObjectName(QStringLiteral("picSprite"));
  scrSprite = new QScrollArea(this);
  scrSprite->setObjectName(QStringLiteral("scrSprite"));
  scrSprite->setFocusPolicy(Qt::NoFocus);
  scrSprite->setAlignment(Qt::AlignCenter);
  scrSprite->setWidget(picSprite);
  // The room around a small picture in the canvas's own grey, so the margin does not show as a frame.
  QPalette room = scrSprite->viewport()->palette();
  room.setColor(scrSprite->viewport()->backgroundRole(), QColor::fromRgb(SpriteCanvas::kBackground));
  scrSprite->viewport()->setPalette(room);
  scrSprite->viewport()->installEventFilter(this);
  lblMessage = MakeLabel(this, "lblMessage");
  lblMessage->setAlignment(Qt::AlignCenter);
  lblMessage->setWordWrap(true);
  stkPicture = new QStackedWidget(this);
  stkPicture->addWidget(scrSprite);
  stkPicture->addWidget(lblMessage);
  picPalette = new PaletteGrid(this);
  picPalette->setObjectName(QStringLiteral("picPalette"));
  lblHover = MakeLabel(this, "lblHover");
  lblStatus = MakeLabel(this, "lblStatus");

  auto* tools = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{cmdZoomOut, cmdZoomIn, cmdActualSize, cmdFitWindow, lblZoom})
    tools->addWidget(w);
  tools->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{chkTransparent, chkAxis, cmdCopy, cmdSavePng}) tools->addWidget(w);
  auto* side = new QVBoxLayout;
  side->addWidget(picPalette);
  side->addStretch(1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(stkPicture, 1);
  middle->addLayout(side);
  auto* all = new QVBoxLayout(this);
  all->addLayout(tools);
  all->addLayout(middle, 1);
  all->addWidget(lblHover);
  all->addWidget(lblStatus);

  connect(cmdZoomOut, &QToolButton::clicked, this, [this] { ZoomOut(); });
  connect(cmdZoomIn, &QToolButton::clicked, this, [this] { ZoomIn(); });
  connect(cmdActualSize, &QToolButton::clicked, this, [this] { ZoomTo(1); });
  connect(cmdFitWindow, &QToolButton::clicked, this, [this] { Fit(); });
  connect(chkTransparent, &QCheckBox::toggled, this, [this](bool on) { picSprite->SetTransparencyShown(on); });
  connect(chkAxis, &QCheckBox::toggled, this, [this](bool on) { picSprite->SetAxisShown(on); });
  connect(cmdCopy, &QPushButton::clicked, this, [this] { Copy(); });
  connect(cmdSavePng, &QPushButton::clicked, this, [this] { SavePng(); });
  picSprite->onHover = [this](std::optional<QPoint> pixel) { ShowPixel(pixel); };
  picPalette->onHover = [this](std::optional<int> index) { ShowColour(index); };
}

void SpriteViewer::ShowRow(const sff::Archive* archive, std::optional<std::size_t> row) {
  if (!archive || !row || *row >= archive->RowCount()) {
    shown_.reset();
  } else {
    shown_ = ViewRow(*archive, *row);
  }
  ShowSprite();
}

void SpriteViewer::ShowSprite() {
  const image::IndexedImage* sprite = shown_ && shown_->image ? &*shown_->image : nullptr;
  setWindowTitle(Text(ViewerTitle(shown_ ? &*shown_ : nullptr)));
  lblStatus->setText(shown_ ? Text(StatusLine(*shown_)) : QString());
  lblHover->clear();
  picPalette->SetMarked(std::nullopt);
  picPalette->SetColours(sprite ? &sprite->palette : nullptr);
  picSprite->SetSprite(sprite, shown_ ? QPoint(shown_->axisX, shown_->axisY) : QPoint());
  cmdCopy->setEnabled(sprite != nullptr);
  cmdSavePng->setEnabled(sprite != nullptr);
  if (!sprite) {
    ShowMessage(shown_ ? shown_->message : exporter::NothingToViewLines());
    return;
  }
  stkPicture->setCurrentWidget(scrSprite);
  if (fit_) Fit();
}

void SpriteViewer::ShowMessage(const std::vector<std::string>& lines) {
  lblMessage->setText(Lines(lines));
  stkPicture->setCurrentWidget(lblMessage);
}

void SpriteViewer::Fit() {
  fit_ = true;
  picSprite->SetZoom(picSprite->FitZoom(scrSprite->maximumViewportSize()));
  ShowZoom();
}

void SpriteViewer::ZoomTo(int zoom) {
  fit_ = false;
  picSprite->SetZoom(zoom);
  ShowZoom();
}

void SpriteViewer::ZoomIn() {
  const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), picSprite->zoom());
  ZoomTo(next == kZoomSteps.end() ? kZoomSteps.back() : *next);
}

void SpriteViewer::ZoomOut() {
  const auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), picSprite->zoom());
  ZoomTo(below == kZoomSteps.begin() ? kZoomSteps.front() : *(below - 1));
}

void SpriteViewer::ShowZoom() {
  lblZoom->setText(QString::number(picSprite->zoom()) + QStringLiteral(" 倍"));
  cmdFitWindow->setChecked(fit_);
}

void SpriteViewer::ShowPixel(std::optional<QPoint> pixel) {
  if (!pixel || !shown_ || !shown_->image) {
    lblHover->clear();
    picPalette->SetMarked(std::nullopt);
    return;
  }
  const image::IndexedImage& sprite = *shown_->image;
  lblHover->setText(Text(PixelText(sprite, pixel->x(), pixel->y())));
  picPalette->SetMarked(sprite.pixels[static_cast<std::size_t>(pixel->y()) * static_cast<std::size_t>(sprite.width) +
                                      static_cast<std::size_t>(pixel->x())]);
}

void SpriteViewer::ShowColour(std::optional<int> index) {
  if (!index || !shown_ || !shown_->image) {
    lblHover->clear();
    return;
  }
  lblHover->setText(Text(ColourText(*shown_->image, *index)));
}

void SpriteViewer::SavePng() {
  if (!shown_ || !shown_->image) return;
  // Set up afresh each time, so the proposal is the row's own name; the
  // folder is the one of the last save.
  cdlSave.Flags = ui::cdl::kOverwritePrompt + ui::cdl::kHideReadOnly;
  cdlSave.FileName = shown_->pngName;
  cdlSave.DialogTitle = "PNG として保存";
  cdlSave.Filter = "PNG ファイル (*.png)|*.png|";
  const auto path = cdlSave.ShowSave();  // a name is taken as typed, as Make Text takes it
  if (!path) return;
  exporter::Lines failure;
  try {
    const auto written = exporter::WriteFileAtomic(*path, image::EncodeIndexedPng(*shown_->image, image::kPngLevel),
                                                   shown_->archiveFile);
    if (written) return;
    failure = exporter::DescribeWriteError(written.error());
  } catch (const std::exception& e) {
    failure = exporter::DescribeStoppedWork(e);
  }
  ui::MsgBox(this, failure, ui::MsgStyle::kStop);
}

void SpriteViewer::Copy() {
  if (!shown_ || !shown_->image) return;
  QGuiApplication::clipboard()->setImage(ToQImage(*shown_->image, true));
}

void SpriteViewer::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    Copy();
  } else if (event->matches(QKeySequence::Save)) {
    SavePng();
  } else {
    switch (event->key()) {
      case Qt::Key_Up: if (onStep) onStep(-1); break;
      case Qt::Key_Down: if (onStep) onStep(1); break;
      case Qt::Key_Plus:
      case Qt::Key_Equal: ZoomIn(); break;
      case Qt::Key_Minus: ZoomOut(); break;
      case Qt::Key_1: ZoomTo(1); break;
      case Qt::Key_0: Fit(); break;
      case Qt::Key_Escape: close(); break;
      default: QWidget::keyPressEvent(event); return;
    }
  }
  event->accept();
}

bool SpriteViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == scrSprite->viewport()) {
    if (event->type() == QEvent::Resize) {
      picSprite->SetRoom(scrSprite->viewport()->size());
      if (fit_) Fit();
    }
    if (event->type() == QEvent::Wheel) {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      if (wheel->modifiers() & Qt::ControlModifier) {
        const int turn = wheel->angleDelta().y();
        if (turn > 0) ZoomIn();
        if (turn < 0) ZoomOut();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pelvaro::app
