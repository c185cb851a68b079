#include "app/sprite_viewer.h"

#include "app/browser_panel.h"
#include "app/palette_grid.h"
#include "app/sprite_canvas.h"
#include "app/window_memory.h"
#include "export/messages.h"
#include "ui/fonts.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <array>

namespace pelvaro::app {
namespace {

constexpr const char* kPlaceKey = "browser";

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

SpriteViewer::SpriteViewer(QWidget* owner, commands::MainCommands& commands)
    : QWidget(owner, Qt::Window), commands_(commands) {
  setObjectName(QStringLiteral("frmSpriteViewer"));
  setFont(ui::WindowFont(ui::kMsPGothic, 9));
  setFocusPolicy(Qt::StrongFocus);
  BuildControls();
  resize(1100, 640);
  RestoreOrPlaceBeside(*this, *owner, kPlaceKey);
  // The sprite gets the larger share of whatever width the window got.
  // Less the margins and the handle, so the sizes never ask for a wider window.
  const int room = std::max(0, width() - 40);
  findChild<QSplitter*>(QStringLiteral("splBrowser"))->setSizes({room * 2 / 5, room * 3 / 5});
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
  chkTransparent = Make<QCheckBox>(this, "chkTransparent", "0 番を透明色に(&T)");
  chkTransparent->setToolTip(QStringLiteral("パレット番号 0 の色を市松模様の上に透明で表示します"));
  chkTransparent->setChecked(true);
  chkAxis = Make<QCheckBox>(this, "chkAxis", "軸を表示(&A)");
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
  auto* actions = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{chkTransparent, chkAxis}) actions->addWidget(w);
  actions->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{cmdCopy, cmdSavePng}) actions->addWidget(w);
  auto* side = new QVBoxLayout;
  side->addWidget(picPalette);
  side->addStretch(1);
  auto* middle = new QHBoxLayout;
  middle->addWidget(stkPicture, 1);
  middle->addLayout(side);
  auto* sprite = new QWidget(this);
  auto* spriteColumn = new QVBoxLayout(sprite);
  spriteColumn->setContentsMargins(0, 0, 0, 0);
  spriteColumn->addLayout(tools);
  spriteColumn->addLayout(actions);
  spriteColumn->addLayout(middle, 1);
  spriteColumn->addWidget(lblHover);
  panBrowser = new BrowserPanel(this, commands_);
  panBrowser->setObjectName(QStringLiteral("panBrowser"));
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName(QStringLiteral("splBrowser"));
  split->addWidget(panBrowser);
  split->addWidget(sprite);
  split->setStretchFactor(1, 1);
  auto* all = new QVBoxLayout(this);
  all->addWidget(split, 1);
  all->addWidget(lblStatus);

  const auto shortcut = [this](QKeySequence keys, auto action) {
    auto* made = new QShortcut(keys, this);
    made->setContext(Qt::WindowShortcut);
    connect(made, &QShortcut::activated, this, action);
  };
  shortcut(QKeySequence::Find, [this] { panBrowser->FocusFilter(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), [this] { panBrowser->FocusGoTo(); });

  connect(cmdZoomOut, &QToolButton::clicked, this, [this] { Update([](auto& v) { v.ZoomOut(); }); });
  connect(cmdZoomIn, &QToolButton::clicked, this, [this] { Update([](auto& v) { v.ZoomIn(); }); });
  connect(cmdActualSize, &QToolButton::clicked, this, [this] { Update([](auto& v) { v.ZoomTo(1); }); });
  connect(cmdFitWindow, &QToolButton::clicked, this, [this] { Update([](auto& v) { v.Fit(); }); });
  connect(chkTransparent, &QCheckBox::toggled, this,
          [this](bool on) { Update([on](auto& v) { v.transparencyShown = on; }); });
  connect(chkAxis, &QCheckBox::toggled, this, [this](bool on) { Update([on](auto& v) { v.axisShown = on; }); });
  connect(cmdCopy, &QPushButton::clicked, this, [this] { Copy(); });
  connect(cmdSavePng, &QPushButton::clicked, this, [this] { commands_.cmdSavePng_Click(); });
  picSprite->onHover = [this](std::optional<QPoint> pixel) {
    Update([pixel](auto& v) {
      v.HoverPixel(pixel ? std::optional(std::array<int, 2>{pixel->x(), pixel->y()}) : std::nullopt);
    });
  };
  picPalette->onHover = [this](std::optional<int> index) { Update([index](auto& v) { v.HoverColour(index); }); };
}

template <class Edit>
void SpriteViewer::Update(Edit edit) {
  edit(commands_.viewer());
  Draw(commands_.viewer());
}

void SpriteViewer::Draw(const commands::ViewerState& viewer) {
  const image::IndexedImage* sprite = viewer.picture();
  const commands::ViewedSprite* shown = viewer.shown();
  if (drawn_ != viewer.showing()) {
    drawn_ = viewer.showing();
    setWindowTitle(Text(viewer.Title()));
    picPalette->SetColours(sprite ? &sprite->palette : nullptr);
    picSprite->SetSprite(sprite, shown ? QPoint(shown->axisX, shown->axisY) : QPoint());
    cmdCopy->setEnabled(sprite != nullptr);
    cmdSavePng->setEnabled(sprite != nullptr);
    if (sprite) {
      stkPicture->setCurrentWidget(scrSprite);
    } else {
      ShowMessage(viewer.Message());
    }
  }
  panBrowser->Draw(viewer);
  const std::string& note = viewer.note();
  lblStatus->setText(Text(note.empty() ? viewer.Status() : viewer.Status() + "　" + note));
  lblHover->setText(Text(viewer.hoverText()));
  picPalette->SetMarked(viewer.markedColour());
  picSprite->SetTransparencyShown(viewer.transparencyShown);
  picSprite->SetAxisShown(viewer.axisShown);
  chkTransparent->setChecked(viewer.transparencyShown);
  chkAxis->setChecked(viewer.axisShown);
  picSprite->SetZoom(viewer.zoom());
  lblZoom->setText(Text(viewer.ZoomText()));
  cmdFitWindow->setChecked(viewer.fitting());
}

void SpriteViewer::ShowMessage(const std::vector<std::string>& lines) {
  lblMessage->setText(Lines(lines));
  stkPicture->setCurrentWidget(lblMessage);
}

std::ptrdiff_t SpriteViewer::PageRows() const {
  // The main window's list shows nine rows; a page is what it shows.
  constexpr std::ptrdiff_t kListRows = 9;
  return kListRows;
}

void SpriteViewer::Copy() {
  const image::IndexedImage* sprite = commands_.viewer().picture();
  if (!sprite) return;
  QGuiApplication::clipboard()->setImage(ToQImage(*sprite, true));
}

void SpriteViewer::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  RememberPlace(*this, kPlaceKey);
  // Hidden by its close box or Esc: the viewer no longer follows the list.
  if (!event->spontaneous()) commands_.CloseViewer();
}

void SpriteViewer::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    Copy();
  } else if (event->matches(QKeySequence::Save)) {
    commands_.cmdSavePng_Click();
  } else {
    constexpr std::ptrdiff_t kFar = PTRDIFF_MAX / 2;
    switch (event->key()) {
      case Qt::Key_Up: commands_.StepRow(-1); break;
      case Qt::Key_Down: commands_.StepRow(1); break;
      case Qt::Key_PageUp: commands_.StepRow(-PageRows()); break;
      case Qt::Key_PageDown: commands_.StepRow(PageRows()); break;
      case Qt::Key_Home: commands_.StepRow(-kFar); break;
      case Qt::Key_End: commands_.StepRow(kFar); break;
      case Qt::Key_Plus:
      case Qt::Key_Equal: Update([](auto& v) { v.ZoomIn(); }); break;
      case Qt::Key_Minus: Update([](auto& v) { v.ZoomOut(); }); break;
      case Qt::Key_1: Update([](auto& v) { v.ZoomTo(1); }); break;
      case Qt::Key_0: Update([](auto& v) { v.Fit(); }); break;
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
      const QSize room = scrSprite->maximumViewportSize();
      Update([room](auto& v) { v.SetRoom(room.width(), room.height()); });
    }
    if (event->type() == QEvent::Wheel) {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      if (wheel->modifiers() & Qt::ControlModifier) {
        const int turn = wheel->angleDelta().y();
        if (turn > 0) Update([](auto& v) { v.ZoomIn(); });
        if (turn < 0) Update([](auto& v) { v.ZoomOut(); });
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pelvaro::app
