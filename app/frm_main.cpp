#include "app/frm_main.h"

#include "app/program_icon.h"
#include "export/definition_text.h"
#include "pelvaro_version.h"
#include "sff/sprite_rows.h"
#include "app/sprite_viewer.h"
#include "ui/fonts.h"
#include "ui/busy_pointer.h"
#include "ui/frm_path.h"
#include "ui/twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <utility>

namespace pelvaro::app {
namespace {

// Column widths in twips; SortNo and SortKey exist, ordered by, but unseen.
constexpr std::array<int, sff::kColumnCount> kColumnTwips{0, 900, 900, 800, 0, 700, 2500};

constexpr double kControlPoints = 8.25;

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect where) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(name));
  button->setGeometry(where);
  button->setFont(ui::WindowFont(ui::kArial, kControlPoints));
  // The window has no default button: Enter never runs a command by itself.
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name, QRect where) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setGeometry(where);
  label->setFont(ui::WindowFont(ui::kMsPGothic, 9));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

frmMain::frmMain()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      cdl1(this),
      commands_(*this, exporter::ProgramFolder()) {
  setWindowTitle(QString::fromUtf8(kProductTitle));
  setWindowIcon(ProgramIcon());
  setFont(ui::WindowFont(ui::kArial, 9));
  setFixedSize(ui::TwipsSize(6375, 3135));
  BuildControls();
  BuildList();
  BuildViewerHooks();
  setAcceptDrops(true);  // an archive dropped on the window opens (frm_main_drop.cpp)
  setTabOrder(cmdSffOpen, lstFiles);
  setTabOrder(lstFiles, cmdPCX);
  setTabOrder(cmdPCX, cmdText);
  setTabOrder(cmdText, cmdAbout);
  setTabOrder(cmdAbout, cmdEnd);

  connect(cmdSffOpen, &QPushButton::clicked, this, [this] { commands_.cmdSffOpen_Click(); });
  connect(cmdPCX, &QPushButton::clicked, this, [this] { commands_.cmdPCX_Click(); });
  connect(cmdText, &QPushButton::clicked, this, [this] { commands_.cmdText_Click(); });
  connect(cmdAbout, &QPushButton::clicked, this, [this] { commands_.cmdAbout_Click(); });
  connect(cmdEnd, &QPushButton::clicked, this, [this] { commands_.cmdEnd_Click(); });
}

frmMain::~frmMain() {
  // The viewer speaks to the commands as it goes, so it goes while they are still here.
  delete std::exchange(viewer_, nullptr);
  lstFiles->setModel(nullptr);
}

void frmMain::BuildControls() {
  cmdSffOpen = MakeButton(this, "cmdSffOpen", "Open &SFF", ui::TwipsRect(120, 120, 1335, 255));
  lblSffName = MakeValueLabel(this, "lblSffName", ui::TwipsRect(1560, 120, 2535, 255));
  cmdPCX = MakeButton(this, "cmdPCX", "Save &All PCX", ui::TwipsRect(120, 2760, 1455, 255));
  cmdText = MakeButton(this, "cmdText", "Make &Text", ui::TwipsRect(1680, 2760, 1455, 255));
  cmdAbout = MakeButton(this, "cmdAbout", "&?", ui::TwipsRect(6000, 120, 255, 255));
  cmdEnd = MakeButton(this, "cmdEnd", "E&xit", ui::TwipsRect(5400, 2760, 855, 255));
  lblImage = MakeValueLabel(this, "lblImage", ui::TwipsRect(5160, 120, 735, 255));
  Label4 = new QLabel(QStringLiteral("Image Count"), this);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label4->setFont(ui::WindowFont(ui::kArial, kControlPoints));
  Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Drawn here, the caption comes out a few pixels wider than the room it had
  // on Windows; it may take them from the gap before the count, never more.
  QRect caption = ui::TwipsRect(4200, 120, 885, 210);
  const int needed = Label4->fontMetrics().horizontalAdvance(Label4->text()) + 1;
  caption.setWidth(std::clamp(needed, caption.width(), lblImage->x() - caption.x()));
  Label4->setGeometry(caption);
}

void frmMain::BuildList() {
  lstFiles = new QTreeView(this);
  lstFiles->setObjectName(QStringLiteral("lstFiles"));
  lstFiles->setGeometry(ui::TwipsRect(120, 480, 6135, 2175));
  lstFiles->setFont(ui::WindowFont(ui::kArial, kControlPoints));
  lstFiles->setRootIsDecorated(false);
  lstFiles->setItemsExpandable(false);
  lstFiles->setUniformRowHeights(true);
  lstFiles->setAllColumnsShowFocus(true);
  lstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
  lstFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstFiles->setSortingEnabled(false);  // the loader orders the rows; a header click changes nothing
  lstFiles->setModel(&model_);

  QHeaderView* header = lstFiles->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // Without this the header keeps every column at least a few pixels wide.
  header->setMinimumSectionSize(0);
  for (int column = 0; column < sff::kColumnCount; ++column) {
    const int twips = kColumnTwips[static_cast<std::size_t>(column)];
    header->resizeSection(column, ui::Px(twips));
    // A hidden column stays closed: dragging its edge would only widen the next.
    header->setSectionResizeMode(column, twips == 0 ? QHeaderView::Fixed : QHeaderView::Interactive);
  }
}

}  // namespace pelvaro::app
