#include <gtest/gtest.h>

#include <QListWidget>

#include <filesystem>
#include <fstream>

#include "frontend/core/front_end.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/popup_menus.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/pages/tool_input.h"
#include "platform/face/dialogs.h"
#include "testsupport/environment_guard.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

class ToolInput : public ::testing::Test {
 protected:
  ToolInput() : frontEnd_(starter_) { frontEnd_.settings.main.directory = scratch_.path(); }
  void SetUp() override { ASSERT_TRUE(frontend_testing::EnsureApplication()); }

  // A fresh folder holding the files, shown in multi-select controls.
  std::unique_ptr<FileControls> ControlsOn(const std::string& folder, const std::vector<std::string>& names) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const std::string& name : names) std::ofstream(folder + "/" + name) << "x";
    auto controls = std::make_unique<FileControls>();
    controls->SetFilter("All files|*.*");
    controls->SetMultiSelect(true);
    EXPECT_TRUE(controls->SetDirectory(folder));
    return controls;
  }

  testsupport::ScratchDirectory scratch_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
};

std::vector<std::string> Frames(int first, int last, const char* pattern) {
  std::vector<std::string> names;
  for (int n = first; n <= last; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, pattern, n);
    names.push_back(name);
  }
  return names;
}

TEST_F(ToolInput, ANumberedFileMayStandForItsWholeSequence) {
  const std::vector<std::string> frames = Frames(5, 12, "frame%03d.bmp");
  std::vector<std::string> gapped = {"frame005.bmp", "frame006.bmp", "frame008.bmp"};
  struct Case {
    std::string name;
    std::vector<std::string> files;
    std::string selected;
    std::string output;
    std::vector<DialogAnswer> answers;
    std::string expected;
    std::string question;  // "" when nothing may be asked
  } cases[] = {
      {"series, yes", frames, "frame007.bmp", "New_frame007.vnt", {DialogAnswer::Yes},
       "\"frame???.bmp*5-12\" \"New_frame.vnt\"", "(5 to 12)"},
      {"series named like the file", frames, "frame007.bmp", "frame007.vnt", {DialogAnswer::Yes},
       "\"frame???.bmp*5-12\" \"frame.vnt\"", "(5 to 12)"},
      {"other output stays", frames, "frame012.bmp", "/videos/my clip.vnt", {DialogAnswer::Yes},
       "\"frame???.bmp*5-12\" \"/videos/my clip.vnt\"", "(5 to 12)"},
      {"series, no", frames, "frame007.bmp", "New_frame007.vnt", {DialogAnswer::No},
       "\"frame007.bmp\" \"New_frame007.vnt\"", "(5 to 12)"},
      {"series, cancel", frames, "frame007.bmp", "New_frame007.vnt", {DialogAnswer::Cancel}, "", "(5 to 12)"},
      {"a gap ends the run", gapped, "frame006.bmp", "x.vnt", {DialogAnswer::Yes},
       "\"frame???.bmp*5-6\" \"x.vnt\"", "(5 to 6)"},
      {"no neighbours", {"a1.bmp", "a3.bmp"}, "a1.bmp", "a1.vnt", {}, "\"a1.bmp\" \"a1.vnt\"", ""},
      {"no digits", {"clip.avi"}, "clip.avi", "clip.vnt", {}, "\"clip.avi\" \"clip.vnt\"", ""},
      {"twenty digits are no frame number",
       {"shot12345678901234567890.bmp", "shot12345678901234567891.bmp"}, "shot12345678901234567890.bmp",
       "s.vnt", {}, "\"shot12345678901234567890.bmp\" \"s.vnt\"", ""},
      {"nine digits padded in full", {"take000000005.bmp", "take000000006.bmp"}, "take000000006.bmp",
       "New_take000000006.vnt", {DialogAnswer::Yes}, "\"take?????????.bmp*5-6\" \"New_take.vnt\"", "(5 to 6)"},
      {"only digits in the name", {"007.bmp", "008.bmp"}, "008.bmp", "New_008.vnt", {DialogAnswer::Yes},
       "\"???.bmp*7-8\" \"New_008.vnt\"", "(7 to 8)"},
      {"a blank in the name", {"my shot1.bmp", "my shot2.bmp"}, "my shot2.bmp", "new_my shot2.vnt",
       {DialogAnswer::Yes}, "\"my shot?.bmp*1-2\" \"New_my shot.vnt\"", "(1 to 2)"},
      {"case counts", {"Frame1.bmp", "frame2.bmp"}, "Frame1.bmp", "o.vnt", {}, "\"Frame1.bmp\" \"o.vnt\"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = scratch_.File("case");
    auto controls = ControlsOn(folder, c.files);
    ASSERT_TRUE(controls->SelectFile(c.selected));
    platform::ScriptedDialogs dialogs;
    for (DialogAnswer answer : c.answers) dialogs.Answer(answer);
    EXPECT_EQ(GatherToolInput(frontEnd_, *controls, c.output), c.expected);
    if (c.question.empty()) {
      EXPECT_TRUE(dialogs.asked().empty());
    } else {
      ASSERT_EQ(dialogs.asked().size(), 1u);
      EXPECT_NE(dialogs.asked()[0].text.find(c.question), std::string::npos) << dialogs.asked()[0].text;
      EXPECT_EQ(dialogs.asked()[0].defaultAnswer, DialogAnswer::Yes);
    }
  }
}

TEST_F(ToolInput, SeveralFilesAreOfferedAsAListFileAndNothingRunsYet) {
  const std::string folder = scratch_.File("several");
  std::string madeFrom;
  frontEnd_.dialogs.newListFromSelection = [&](FileControls& controls) {
    madeFrom = controls.SelectedFiles().front() + "," + controls.SelectedFiles().back();
    std::filesystem::create_directories(folder + "/lists");
    std::ofstream(folder + "/lists/picked.lst") << "a.bmp\nc.bmp\n";
    return folder + "/lists/picked.lst";
  };
  struct Case {
    DialogAnswer answer;
    std::string lastMessage;  // "" when only the question was asked
  } cases[] = {
      {DialogAnswer::Yes, "The list file, " + folder + "/lists/picked.lst, has been created and is highlighted."},
      {DialogAnswer::No, "You must create a list file to process multiple selections."},
      {DialogAnswer::Cancel, ""},
  };
  for (const Case& c : cases) {
    auto controls = ControlsOn(folder, {"a.bmp", "b.bmp", "c.bmp"});
    controls->fileList()->item(0)->setSelected(true);
    controls->fileList()->item(2)->setSelected(true);
    platform::ScriptedDialogs dialogs;
    dialogs.Answer(c.answer);
    madeFrom.clear();
    EXPECT_EQ(GatherToolInput(frontEnd_, *controls, "out.vnt"), "");
    ASSERT_EQ(dialogs.asked().size(), c.lastMessage.empty() ? 1u : 2u);
    if (!c.lastMessage.empty()) {
      EXPECT_EQ(dialogs.asked()[1].text.rfind(c.lastMessage, 0), 0u);
    }
    if (c.answer == DialogAnswer::Yes) {
      EXPECT_EQ(madeFrom, "a.bmp,c.bmp");
      EXPECT_EQ(controls->Directory(), folder + "/lists");
      EXPECT_EQ(controls->SelectedFiles(), std::vector<std::string>{"picked.lst"});
    } else {
      EXPECT_TRUE(madeFrom.empty());
    }
  }
}

TEST(OutputNames, TheDefaultFollowsTheInputAndKeepsWhatWasTyped) {
  struct Case {
    std::string input, typed, basedOn, extension, shown, remembered;
  } cases[] = {
      {"/in/clip.avi", "", "", "vnt", "clip.vnt", "/in/clip.avi"},
      // The output would be the input itself: the prefix keeps them apart.
      {"/in/clip.avi", "", "", "avi", "New_clip.avi", "/in/New_clip.avi"},
      {"/in/clip.avi", "New_clip.avi", "/in/New_clip.avi", "avi", "New_clip.avi", "/in/New_clip.avi"},
      // A directory and an extension typed that differ from the remembered ones stay.
      {"/in/clip.avi", "/out/old.flc", "/in/old.avi", "vnt", "/out/clip.flc", "/in/clip.avi"},
      {"/in/clip.avi", "old.vnt", "/in/old.vnt", "flc", "clip.flc", "/in/clip.avi"},
      // After another output type the remembered name has no extension.
      {"/in/b.bmp", "a.vnt", "/in/a", "gif", "b.gif", "/in/b.bmp"},
      // Names keep their case: another spelling is another file.
      {"/in/Clip.AVI", "", "", "avi", "Clip.avi", "/in/Clip.AVI"},
      {"/in/.hidden", "", "", "vnt", ".hidden.vnt", "/in/.hidden"},
  };
  for (const Case& c : cases) {
    const OutputProposal proposal = ProposeOutputName(c.input, "/in", c.typed, c.basedOn, "New_", c.extension);
    EXPECT_EQ(proposal.shown, c.shown) << c.input << " " << c.typed;
    EXPECT_EQ(proposal.basedOn, c.remembered) << c.input << " " << c.typed;
  }
}

TEST_F(ToolInput, FileListsComeBackWhereTheyWereAndRefreshKeepTheirPlace) {
  const std::string folder = scratch_.File("list");
  auto controls = ControlsOn(folder, {"a.flc", "b.flc", "c.flc"});
  PopupMenus menus(frontEnd_, nullptr);
  int told = 0;
  controls->onSelectionChanged = [&told] { ++told; };

  RestoreFileListState(frontEnd_, menus, *controls, "Flics|*.flc|All|*.*", 0, folder, "b.flc");
  EXPECT_EQ(controls->SelectedFiles(), std::vector<std::string>{"b.flc"});
  EXPECT_EQ(menus.Target(), controls.get());
  EXPECT_GE(told, 1);
  // A vanished file: the first one; a vanished directory: the program directory.
  RestoreFileListState(frontEnd_, menus, *controls, "", 0, folder, "gone.flc");
  EXPECT_EQ(controls->SelectedFiles(), std::vector<std::string>{"a.flc"});
  RestoreFileListState(frontEnd_, menus, *controls, "", 1, folder + "/gone", "");
  EXPECT_EQ(controls->Directory(), scratch_.path());
  EXPECT_EQ(controls->FilterIndex(), 1);

  ASSERT_TRUE(controls->SetDirectory(folder));
  controls->SelectFile("c.flc");
  std::string name, directory;
  SaveFileListState(*controls, name, directory);
  EXPECT_EQ(name, "c.flc");
  EXPECT_EQ(directory, folder);
  // The highlighted file goes: the row before it takes its place.
  std::filesystem::remove(folder + "/c.flc");
  std::ofstream(folder + "/A.flc") << "x";
  RefreshFileList(*controls);
  EXPECT_EQ(controls->FileNames(), (std::vector<std::string>{"A.flc", "a.flc", "b.flc"}));
  EXPECT_EQ(controls->SelectedFiles(), std::vector<std::string>{"b.flc"});
  RefreshFileList(*controls, folder + "/A.flc");
  EXPECT_EQ(controls->SelectedFiles(), std::vector<std::string>{"A.flc"});
  EXPECT_EQ(FindListItem(*controls, "a.flc"), 1);
  EXPECT_EQ(FindListItem(*controls, "B.flc"), -1);
}

TEST(TempFiles, EachIsNewAndEmptyAndNoneIsMadeWhereNoneCanBe) {
  testsupport::ScratchDirectory scratch;
  testsupport::EnvironmentGuard environment;
  environment.Set("TMPDIR", scratch.path().c_str());
  const std::string first = MakeTempFileName(), second = MakeTempFileName();
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(first.rfind(scratch.path() + "/", 0), 0u);
  EXPECT_EQ(std::filesystem::file_size(first), 0u);
  EXPECT_TRUE(WriteTextLines(first, {"10 5 8000 1", "3 7 * 1"}));
  std::ifstream in(first);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "10 5 8000 1\n3 7 * 1\n");
  EXPECT_FALSE(WriteTextLines(scratch.File("no dir/x.txt"), {"a"}));
  environment.Set("TMPDIR", scratch.File("missing").c_str());
  EXPECT_EQ(MakeTempFileName(), "");
}

}  // namespace
