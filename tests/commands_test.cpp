// The desktop program's commands, driven through a scripted window: what each
// one asks, in which order, under which pointer, and what it writes and says.

#include "commands/browser_texts.h"
#include "commands/main_commands.h"
#include "commands/window_place.h"
#include "export/messages.h"
#include "tests/support/scripted_desk.h"
#include "tests/support/sff_builder.h"
#include "tests/support/system_reasons.h"
#include "tests/support/temp_dir.h"
#include "text/native_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

using namespace pelvaro;
using namespace pelvaro::testing;
using commands::Answer;
using commands::MsgStyle;

namespace {

// Three sprites in shared palette mode, listed as 9000/0 (own palette), 0/0, 0/1.
Bytes ThreeSprites() {
  const Palette palette = TestPalette(3);
  SffBuilder b;
  b.Add({.group = 0, .item = 0, .payload = MakePcx(4, 2, PatternPixels(4, 2, 1), &palette)})
      .Add({.group = 0, .item = 1, .palFlag = 1, .payload = MakePcx(4, 2, PatternPixels(4, 2, 2), nullptr)})
      .Add({.group = 9000, .item = 0, .payload = MakePcx(2, 3, PatternPixels(2, 3, 3), &palette)});
  return b.Build();
}

Bytes NotSharedPalette() {
  return SffBuilder().PaletteType(0).Add({.group = 7, .item = 3, .payload = MakePcx(2, 2, {1, 2, 3, 4}, nullptr)}).Build();
}

struct Session {
  Session() { WriteBytes(dir / "USER.sff", ThreeSprites()); }
  void Open() {
    desk.files.push_back(dir / "USER.sff");
    commands.cmdSffOpen_Click();
    ASSERT_NE(commands.archive(), nullptr);
    desk.messages.clear();
  }
  TempDir dir, out;
  ScriptedDesk desk;
  commands::MainCommands commands{desk, dir.path()};
};

}  // namespace

// Open SFF: the dialog as drawn, Cancel touching nothing, the palette question
// asked while the archive before is still shown, and a refusal told under the
// busy pointer once the list is emptied.
TEST(OpenCommand, AsksLoadsAndRefusesAsTheWindowShowsIt) {
  Session s;
  s.Open();
  const commands::FileRequest& open = s.desk.fileRequests.at(0);
  EXPECT_EQ(open.mode, commands::FileDialogMode::kOpen);
  EXPECT_EQ(open.title, "Select Sff File");
  EXPECT_EQ(open.filter, "Sff Files (*.sff)|*.sff|");
  EXPECT_EQ(open.fileName, "USER.sff");
  EXPECT_EQ(open.flags, commands::cdl::kHideReadOnly);
  EXPECT_EQ(s.desk.sffName, "USER.sff");
  EXPECT_EQ(s.desk.imageCount, "3");
  EXPECT_EQ(s.desk.shownArchive, s.commands.archive());
  EXPECT_FALSE(s.desk.busy);

  s.desk.files.push_back(std::nullopt);
  s.commands.cmdSffOpen_Click();
  EXPECT_EQ(s.desk.fileRequests.back().initialFolder, s.dir.path()) << "the dialog reopens where it was left";
  EXPECT_EQ(s.desk.sffName, "USER.sff");
  EXPECT_EQ(s.desk.shownArchive, s.commands.archive());
  EXPECT_TRUE(s.desk.messages.empty());

  WriteBytes(s.dir / "OTHER.sff", NotSharedPalette());
  s.desk.answers = {Answer::kNo, Answer::kYes};
  s.commands.OpenSff(s.dir / "OTHER.sff");
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].lines, exporter::SharedPaletteWarning());
  EXPECT_EQ(s.desk.messages[0].style, MsgStyle::kYesNoStopDefaultNo);
  EXPECT_TRUE(s.desk.messages[0].busy);
  EXPECT_EQ(s.desk.messages[0].rows, 3u);
  EXPECT_EQ(s.commands.archive(), nullptr);
  EXPECT_EQ(s.desk.shownArchive, nullptr);
  EXPECT_EQ(s.desk.sffName, "");
  EXPECT_EQ(s.desk.imageCount, "");
  s.commands.OpenSff(s.dir / "OTHER.sff");
  EXPECT_EQ(s.desk.sffName, "OTHER.sff");
  EXPECT_EQ(s.desk.imageCount, "1");

  s.desk.messages.clear();
  s.commands.OpenSff(s.dir / "GONE.sff");
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].style, MsgStyle::kStop);
  EXPECT_TRUE(s.desk.messages[0].busy);
  EXPECT_EQ(s.desk.messages[0].rows, 0u);
  EXPECT_EQ(s.desk.messages[0].lines.at(1), s.dir / "GONE.sff");
  EXPECT_EQ(s.commands.archive(), nullptr);
  EXPECT_EQ(s.desk.sffName, "");
  EXPECT_FALSE(s.desk.busy);
  s.desk.ExpectScriptUsed();
}

// Save All PCX: nothing to do without rows; the chooser opens at the folder of
// the last confirmed export; a typed folder is made; a folder that cannot be
// made is told, and is still the folder Make Text's dialog then opens in.
TEST(SavePcxCommand, ChoosesMakesWritesAndRemembersTheFolder) {
  Session s;
  s.commands.cmdPCX_Click();  // no archive: the script holds no folder, so a chooser would fail here
  s.Open();
  const std::string typed = s.out / "new/deeper/";  // the chooser ends every folder with a separator
  s.desk.folders.push_back(typed);
  s.commands.cmdPCX_Click();
  EXPECT_EQ(s.desk.chooserStarts.at(0), std::nullopt);
  EXPECT_EQ(EntriesOf(s.out / "new/deeper"),
            (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx", "USER_09000_00000.pcx"}));
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].lines, commands::Lines{exporter::kPcxDone});
  EXPECT_EQ(s.desk.messages[0].style, MsgStyle::kInformation);
  EXPECT_FALSE(s.desk.messages[0].busy) << "told once the pointer is back";
  const commands::ProgressRequest& progress = s.desk.progressShown.at(0);
  EXPECT_EQ(progress.total, 3u);
  EXPECT_TRUE(progress.cancellable);
  EXPECT_EQ(progress.caption, exporter::kPcxProgressCaption);
  EXPECT_EQ(s.commands.outputFolder(), typed);

  s.desk.folders.push_back(std::nullopt);
  s.commands.cmdPCX_Click();
  EXPECT_EQ(s.desk.chooserStarts.at(1), typed);
  EXPECT_EQ(s.desk.messages.size(), 1u) << "Cancel says nothing";

  s.desk.messages.clear();
  WriteBytes(s.out / "file", Bytes{1});
  const std::string underFile = s.out / "file/sub/";
  s.desk.folders.push_back(underFile);
  s.commands.cmdPCX_Click();
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].style, MsgStyle::kStop);
  EXPECT_EQ(s.desk.messages[0].lines,
            (commands::Lines{"出力フォルダを作成できません。", underFile, std::strerror(ENOTDIR)}));
  s.desk.files.push_back(std::nullopt);
  s.commands.cmdText_Click();
  EXPECT_EQ(s.desk.fileRequests.back().initialFolder, underFile);
  s.desk.ExpectScriptUsed();
}

// Cancel in the progress window stops after the file in hand: the files
// written so far are whole and named as Save All names them, the message says
// where and how many, and the next export still writes everything.
TEST(SavePcxCommand, CancelStopsAfterTheCurrentFile) {
  Session s;
  s.Open();
  s.desk.cancelAfterSteps = 2;
  s.desk.folders.push_back(s.out.path());
  s.commands.cmdPCX_Click();
  const std::vector<std::string> written = s.out.Entries();
  EXPECT_EQ(written, (std::vector<std::string>{"USER_00000_00000.pcx", "USER_09000_00000.pcx"}));
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].lines, exporter::ExportCancelledLines("PCX", s.out.path(), 2));
  EXPECT_EQ(s.desk.messages[0].style, MsgStyle::kInformation);

  TempDir whole;
  s.desk.cancelAfterSteps.reset();
  s.desk.folders.push_back(whole.path());
  s.commands.cmdPCX_Click();
  for (const std::string& name : written) EXPECT_EQ(ReadBytes(s.out / name), ReadBytes(whole / name)) << name;
  EXPECT_EQ(whole.Entries().size(), 3u);
}

// Make Text: the name proposed from the archive, the overwrite question left
// to the dialog, both files written, and a write that fails told with the
// stop icon, the file and the reason.
TEST(MakeTextCommand, ProposesAsksBeforeReplacingAndWrites) {
  Session s;
  s.commands.cmdText_Click();  // no archive: no dialog
  s.Open();
  WriteBytes(s.out / "USER_SFF.txt", Bytes{'o', 'l', 'd'});
  s.desk.files.push_back(s.out / "USER_SFF.txt");
  s.commands.cmdText_Click();
  const commands::FileRequest& save = s.desk.fileRequests.back();
  EXPECT_EQ(save.mode, commands::FileDialogMode::kSave);
  EXPECT_EQ(save.title, "Act File Save");
  EXPECT_EQ(save.filter, "txt Files(*.txt)|*.txt|");
  EXPECT_EQ(save.fileName, "USER_SFF.txt");
  EXPECT_TRUE(save.flags & commands::cdl::kOverwritePrompt) << "an existing file must be asked about";
  EXPECT_TRUE(save.flags & commands::cdl::kHideReadOnly);
  EXPECT_EQ(s.out.Entries(), (std::vector<std::string>{"USER_SFF.txt", "USER_SFFBuild.bat"}));
  EXPECT_NE(ReadBytes(s.out / "USER_SFF.txt").size(), 3u);
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].lines, commands::Lines{exporter::kTextDone});
  EXPECT_FALSE(s.desk.messages[0].busy);

  s.desk.messages.clear();
  WriteBytes(s.out / "file", Bytes{1});
  s.desk.files.push_back(s.out / "file/USER_SFF.txt");
  s.commands.cmdText_Click();
  EXPECT_EQ(s.desk.fileRequests.back().initialFolder, s.out.path()) << "no export yet: where the dialog was left";
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].style, MsgStyle::kStop);
  EXPECT_EQ(s.desk.messages[0].lines,
            (commands::Lines{"ファイルを書き込めません。", s.out / "file/USER_SFF.txt", PathThroughFileReason()}));
  s.desk.ExpectScriptUsed();
}

TEST(AboutAndExitCommands, ShowTheTextsAndEndOnlyOnYes) {
  Session s;
  s.commands.cmdAbout_Click();
  ASSERT_TRUE(s.desk.about);
  EXPECT_EQ(s.desk.about->notice, exporter::kAboutNotice);
  EXPECT_EQ(s.desk.about->caption, exporter::AboutCaption(s.desk.about->productName));
  EXPECT_EQ(s.desk.about->version.rfind("Version ", 0), 0u);

  s.desk.answers = {Answer::kNo, Answer::kYes};
  s.commands.cmdEnd_Click();
  EXPECT_FALSE(s.desk.ended);
  s.commands.cmdEnd_Click();
  EXPECT_TRUE(s.desk.ended);
  ASSERT_EQ(s.desk.messages.size(), 2u);
  EXPECT_EQ(s.desk.messages[1].lines, commands::Lines{exporter::kExitQuestion});
  EXPECT_EQ(s.desk.messages[1].style, MsgStyle::kYesNoQuestion);
}

// The viewer follows the list's current row, steps held inside the list, starts
// again at the first row of a new archive, and saves the row on show as PNG
// under its own name, saying so in its status.
TEST(ViewerCommands, FollowStepReopenAndSave) {
  Session s;
  s.commands.OpenViewer(0);  // no archive: stays shut
  EXPECT_EQ(s.desk.viewerDrawings, 0u);
  s.Open();
  s.commands.OpenViewer(std::nullopt);
  EXPECT_FALSE(s.commands.viewer().open());
  s.commands.OpenViewer(1);
  EXPECT_TRUE(s.desk.viewerShowing);
  EXPECT_EQ(s.commands.viewer().row(), 1u);
  s.commands.StepRow(9);
  EXPECT_EQ(s.desk.selectedRows.back(), 2u);
  EXPECT_EQ(s.commands.viewer().row(), 2u);
  s.commands.StepRow(-9);
  EXPECT_EQ(s.commands.viewer().row(), 0u);
  const std::size_t drawn = s.desk.viewerDrawings;
  s.commands.FollowRow(0);
  EXPECT_EQ(s.desk.viewerDrawings, drawn) << "the same row is not drawn again";

  s.commands.FollowRow(2);
  s.desk.files.push_back(s.out / "portrait.png");
  s.commands.cmdSavePng_Click();
  const commands::FileRequest& save = s.desk.fileRequests.back();
  EXPECT_EQ(save.fileName, "USER_00000_00001.png");
  EXPECT_TRUE(save.flags & commands::cdl::kOverwritePrompt);
  EXPECT_EQ(ReadBytes(s.out / "portrait.png").at(1), 'P');
  EXPECT_EQ(s.commands.viewer().note(), exporter::PngSavedLine(s.out / "portrait.png"));
  s.desk.files.push_back(std::nullopt);
  s.commands.cmdSavePng_Click();
  EXPECT_EQ(s.desk.fileRequests.back().initialFolder, s.out.path());

  WriteBytes(s.dir / "OTHER.sff", ThreeSprites());
  s.commands.OpenSff(s.dir / "OTHER.sff");
  EXPECT_EQ(s.desk.selectedRows.back(), 0u);
  EXPECT_EQ(s.commands.viewer().row(), 0u);
  EXPECT_EQ(s.commands.viewer().shown()->pcxName, "OTHER_09000_00000.pcx");
  s.commands.CloseViewer();
  EXPECT_FALSE(s.desk.viewerShowing);
  EXPECT_TRUE(s.desk.messages.empty());
  s.desk.ExpectScriptUsed();
}

namespace {

// Groups 0 (items 0..3, item 2 linked to item 1), 5 (item 0) and 7 (items 0, 1), in display order rows 0..6.
Bytes SevenSprites() {
  const Palette palette = TestPalette(5);
  SffBuilder b;
  for (std::uint16_t i = 0; i < 4; ++i) {
    if (i == 2) {
      b.Add({.group = 0, .item = 2, .link = 1, .payload = {}});
      continue;
    }
    b.Add({.group = 0, .item = i, .payload = MakePcx(3, 2, PatternPixels(3, 2, i), &palette)});
  }
  b.Add({.group = 5, .item = 0, .payload = MakePcx(2, 2, PatternPixels(2, 2, 9), &palette)})
      .Add({.group = 7, .item = 0, .payload = MakePcx(1, 4, PatternPixels(1, 4, 7), &palette)})
      .Add({.group = 7, .item = 1, .payload = MakePcx(4, 1, PatternPixels(4, 1, 8), &palette)});
  return b.Build();
}

struct BrowserSession : Session {
  BrowserSession() {
    WriteBytes(dir / "USER.sff", SevenSprites());
    Open();
    commands.OpenViewer(0);
  }
  const commands::BrowserState& browser() const { return commands.viewer().browser(); }
};

}  // namespace

// The filter hides rows but keeps their numbers; the current row gives way to
// the first kept row; steps and groups go through what the filter keeps; go
// to finds a hidden row by clearing the filter.
TEST(BrowserCommands, FilterGroupsStepsAndGoTo) {
  BrowserSession s;
  EXPECT_EQ(s.browser().groups(), (std::vector<commands::GroupEntry>{{0, 4, 1}, {5, 1, 0}, {7, 2, 0}}));
  EXPECT_EQ(s.browser().chosenGroup(), 0);
  EXPECT_EQ(s.browser().groupRows(), (std::vector<std::size_t>{0, 1, 2, 3}));
  EXPECT_EQ(s.browser().CountText(), "7 / 7");

  s.commands.SetFilter("5-7");
  EXPECT_EQ(s.browser().visibleRows(), (std::vector<std::size_t>{4, 5, 6}));
  EXPECT_EQ(s.commands.viewer().row(), 4u);
  EXPECT_EQ(s.desk.selectedRows.back(), 4u) << "the main list follows";
  EXPECT_EQ(s.browser().chosenGroup(), 5);
  EXPECT_EQ(s.browser().CountText(), "3 / 7");
  s.commands.StepRow(1);
  EXPECT_EQ(s.commands.viewer().row(), 5u);
  EXPECT_EQ(s.browser().chosenGroup(), 7);
  s.commands.StepRow(100);
  EXPECT_EQ(s.commands.viewer().row(), 6u);
  s.commands.ChooseGroup(0);
  EXPECT_EQ(s.commands.viewer().row(), 4u);
  EXPECT_EQ(s.commands.viewer().shown()->pcxName, "USER_00005_00000.pcx");

  s.commands.SetFilter("5-7 nonsense");
  EXPECT_EQ(s.browser().visibleRows().size(), 3u) << "an unreadable term hides nothing";
  EXPECT_EQ(s.browser().filter().unreadable.size(), 1u);
  EXPECT_EQ(commands::UnreadableNote(s.browser()), "読み取れない条件: nonsense");
  // Terms are cut from the text as typed, wide characters whole.
  s.commands.SetFilter("ｘ 5-7 9-");
  EXPECT_EQ(commands::UnreadableTerms(s.browser()), (std::vector<std::string>{"ｘ", "9-"}));
  s.commands.SetFilter("5-7");
  EXPECT_EQ(commands::UnreadableNote(s.browser()), "") << "every term read";

  EXPECT_TRUE(s.commands.GoTo("0,3"));
  EXPECT_EQ(s.commands.viewer().row(), 3u);
  EXPECT_EQ(s.browser().filterText(), "");
  EXPECT_TRUE(s.commands.GoTo("6"));
  EXPECT_EQ(s.commands.viewer().row(), 5u) << "a lone number is the row's number";
  EXPECT_FALSE(s.commands.GoTo("9,9"));
  EXPECT_EQ(s.commands.viewer().row(), 5u);
  EXPECT_EQ(s.commands.viewer().note(), exporter::NotFoundLine("9,9"));
  EXPECT_FALSE(s.commands.GoTo("0"));
  s.commands.SetFilter("linked");
  EXPECT_EQ(s.browser().visibleRows(), (std::vector<std::size_t>{2}));
  EXPECT_TRUE(s.desk.messages.empty());
  s.desk.ExpectScriptUsed();
}

// A selection's export writes exactly Save All's files for those rows, the
// linked row holding its target's image; the group and the filtered rows go
// the same way; Cancel stops after the current file; the message says where
// and how many.
TEST(BrowserCommands, ExportsWriteSaveAllsFilesForTheirRows) {
  BrowserSession s;
  TempDir all;
  s.desk.folders.push_back(all.path());
  s.commands.cmdPCX_Click();
  s.desk.messages.clear();

  s.commands.SelectRows({6, 2, 2, 0});
  EXPECT_EQ(s.browser().selection(), (std::vector<std::size_t>{0, 2, 6}));
  s.desk.folders.push_back(s.out / "sel/");
  s.commands.ExportFromBrowser(commands::BrowserScope::kSelection, commands::ImageFormat::kPcx);
  const std::vector<std::string> names{"USER_00000_00000.pcx", "USER_00000_00001.pcx", "USER_00007_00001.pcx"};
  EXPECT_EQ(EntriesOf(s.out / "sel/"), names) << "the linked 0/2 is written under its target's name, as Save All does";
  for (const std::string& name : names) EXPECT_EQ(ReadBytes(s.out / ("sel/" + name)), ReadBytes(all / name)) << name;
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].lines, exporter::ExportDoneLines("PCX", s.out / "sel/", 3));
  EXPECT_TRUE(s.desk.progressShown.back().cancellable);
  EXPECT_EQ(s.desk.progressShown.back().total, 3u);

  s.commands.SetFilter("7");
  s.desk.chooserStarts.clear();
  s.desk.folders.push_back(s.out / "group/");
  s.commands.ExportFromBrowser(commands::BrowserScope::kGroup, commands::ImageFormat::kPng);
  EXPECT_EQ(s.desk.chooserStarts.at(0), s.out / "sel/") << "the chooser opens where the browser last wrote";
  EXPECT_EQ(EntriesOf(s.out / "group/"), (std::vector<std::string>{"USER_00007_00000.png", "USER_00007_00001.png"}));

  s.desk.messages.clear();
  s.commands.SetFilter("0-7");
  s.desk.cancelAfterSteps = s.desk.stepsShown + 2;
  s.desk.folders.push_back(s.out / "cut/");
  s.commands.ExportFromBrowser(commands::BrowserScope::kFiltered, commands::ImageFormat::kPcx);
  EXPECT_EQ(EntriesOf(s.out / "cut/"), (std::vector<std::string>{"USER_00000_00000.pcx", "USER_00000_00001.pcx"}));
  ASSERT_EQ(s.desk.messages.size(), 1u);
  EXPECT_EQ(s.desk.messages[0].lines, exporter::ExportCancelledLines("PCX", s.out / "cut/", 2));

  s.desk.messages.clear();
  s.commands.SelectRows({});
  s.commands.ExportFromBrowser(commands::BrowserScope::kSelection, commands::ImageFormat::kPng);
  ASSERT_EQ(s.desk.messages.size(), 1u) << "nothing selected: told, and no chooser";
  EXPECT_EQ(s.desk.messages[0].lines, commands::Lines{exporter::kNothingToExport});
  s.desk.ExpectScriptUsed();
}

namespace pelvaro::testing {
namespace {

// A remembered place comes back only with its title bar on a screen that is there now, whatever the settings
// hold; without one the window goes beside the main window, inside the main window's screen.
TEST(WindowPlace, RememberedOnlyOnAScreenElseBesideTheMainWindow) {
  using commands::ScreenRect;
  const std::vector<ScreenRect> screens{{0, 0, 1920, 1040}, {1920, 0, 1280, 984}};
  EXPECT_EQ(commands::RestoredPlace({2000, 100, 700, 500}, screens), (ScreenRect{2000, 100, 700, 500}));
  EXPECT_EQ(commands::RestoredPlace({1870, 100, 700, 500}, screens), (ScreenRect{1870, 100, 700, 500}));
  for (const ScreenRect& gone : {ScreenRect{20000, 15000, 700, 500}, ScreenRect{100, -5, 700, 500},
                                 ScreenRect{100, 1030, 700, 500}, ScreenRect{-650, 100, 700, 500},
                                 ScreenRect{100, 100, 0, 500}, ScreenRect{INT_MAX - 10, 100, INT_MAX, 500},
                                 ScreenRect{100, INT_MAX - 5, 700, INT_MAX}, ScreenRect{INT_MIN, 100, INT_MAX, 500}})
    EXPECT_EQ(commands::RestoredPlace(gone, screens), std::nullopt) << gone.x << "," << gone.y;

  const ScreenRect area{0, 0, 1920, 1040};
  EXPECT_EQ(commands::PlaceBeside({100, 200, 400, 300}, 700, 500, area), (ScreenRect{500, 200, 700, 500}));
  EXPECT_EQ(commands::PlaceBeside({1300, 200, 400, 300}, 700, 500, area), (ScreenRect{600, 200, 700, 500}));
  EXPECT_EQ(commands::PlaceBeside({700, 900, 400, 300}, 1000, 500, area), (ScreenRect{920, 540, 1000, 500}));
  EXPECT_EQ(commands::PlaceBeside({0, 0, 400, 300}, 3000, 2000, area), (ScreenRect{0, 0, 1920, 1040}));
}

}  // namespace
}  // namespace pelvaro::testing
