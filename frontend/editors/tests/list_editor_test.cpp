#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

#include <filesystem>

#include "frontend/console/tests/console_fixture.h"
#include "frontend/editors/list_editor.h"
#include "frontend/editors/list_lines.h"
#include "platform/face/dialogs.h"
#include "toolsupport/io/list_file.h"
#include "testsupport/file_contents.h"

using namespace frontend;
using frontend_testing::Write;

namespace {

// Lines are read as the tools read them, and a rewritten line reads back as it was meant.
TEST(ListLines, FrameFieldsRewriteLinesTheToolsReadBack) {
  struct Case {
    std::string line;
    std::string name;
    std::optional<int32_t> start, end;
    char field;
    std::string typed;
    std::string rewritten;
    bool changed;
  } cases[] = {
      {"clip.flc /S10 /e20", "clip.flc", 10, 20, 's', "12", "clip.flc /s12 /e20", true},
      {"clip.flc /s10 /e20", "clip.flc", 10, 20, 's', "", "clip.flc /e20", true},
      {"clip.flc /s10 /e20", "clip.flc", 10, 20, 's', " 10 ", "clip.flc /s10 /e20", false},
      {"a.bmp /s3", "a.bmp", 3, {}, 's', "x1", "a.bmp", true},
      {"a.bmp /s3", "a.bmp", 3, {}, 's', "-2", "a.bmp", true},
      {"/srv/s01/a.bmp", "/srv/s01/a.bmp", {}, {}, 'e', "5", "/srv/s01/a.bmp /e5", true},
      {"/s01/frames.flc /S7", "/s01/frames.flc", 7, {}, 'e', "9", "/s01/frames.flc /s7 /e9", true},
      {"my clip.flc\t/E4", "my clip.flc", {}, 4, 's', "0", "my clip.flc /s0 /e4", true},
      {"\"take /s2 two.bmp\"", "take /s2 two.bmp", {}, {}, 's', "1", "\"take /s2 two.bmp\" /s1", true},
      {"\"#1.bmp\" /e4", "#1.bmp", {}, 4, 's', "2", "\"#1.bmp\" /s2 /e4", true},
      {"# a note /s3", "", {}, {}, 's', "5", "# a note /s3", false},
      {"   ", "", {}, {}, 'e', "5", "   ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ListLine read = ReadListLine(c.line);
    EXPECT_EQ(read.name, c.name);
    EXPECT_EQ(read.start, c.start);
    EXPECT_EQ(read.end, c.end);
    const FrameEdit edit = SetFrameField(c.line, c.field, c.typed);
    EXPECT_EQ(edit.line, c.rewritten);
    EXPECT_EQ(edit.changed, c.changed);
    const toolsupport::ListEntry back = toolsupport::ParseListLine(edit.line);
    EXPECT_EQ(back.name, c.name);
  }
  EXPECT_EQ(SplitListText("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitListText("x\n"), std::vector<std::string>{"x"});
}

class ListEditor : public frontend_testing::ConsoleTest {
 protected:
  ListEditor() {
    frontEnd_.dialogs.askOutputName = [this](const OutputNameRequest& request) {
      asked_.push_back(request);
      return outputName_;
    };
  }

  platform::ScriptedDialogs dialogs_;
  std::vector<OutputNameRequest> asked_;
  std::string outputName_;
};

// What the editor writes, the tools' list reader reads: same names, same ranges.
TEST_F(ListEditor, AWrittenListGivesTheToolsTheSameEntries) {
  Tlistedit editor(frontEnd_, Path("untitled.lst"), {"/srv/s01/a.bmp /S2", "b c.bmp"}, true);
  editor.SelectLine(1);
  editor.EditFrame('e', "7");
  editor.SelectLine(0);
  editor.EditFrame('e', "9");
  EXPECT_EQ(editor.fstart()->text().toStdString(), "2");
  outputName_ = Path("My Frames.LST");
  ASSERT_TRUE(editor.SaveListAs());
  // The name keeps its case.
  EXPECT_EQ(editor.fileName(), Path("My Frames.LST"));
  EXPECT_EQ(editor.windowTitle().toStdString(), "List File Editor - My Frames.LST");
  EXPECT_FALSE(editor.modified());
  EXPECT_EQ(asked_.at(0).caption, "Save As List:");
  EXPECT_EQ(asked_.at(0).proposal, Path("untitled.lst"));

  toolsupport::ListWalker walker;
  ASSERT_TRUE(walker.OpenListFile(Path("My Frames.LST")));
  std::vector<std::tuple<std::string, int32_t, int32_t>> entries;
  toolsupport::ListEntry entry;
  while (walker.ParseListEntry(entry)) entries.emplace_back(entry.name, entry.start, entry.end);
  EXPECT_EQ(entries, (std::vector<std::tuple<std::string, int32_t, int32_t>>{{"/srv/s01/a.bmp", 2, 9},
                                                                             {"b c.bmp", 0, 7}}));
}

TEST_F(ListEditor, AskSaveListAnswers) {
  const std::string named = Path("clips.lst"), untitled = Path("untitled.lst");
  struct Case {
    std::string name;
    std::string file;
    bool modified;
    std::optional<platform::DialogAnswer> answer;
    std::string outputName;  // what the Save As dialog gives
    bool closes;
    std::string result;
    std::string savedTo;  // the file that then holds the list
    std::string error;
  } cases[] = {
      {"unchanged", named, false, {}, "", true, named, "", ""},
      {"No", named, true, platform::DialogAnswer::No, "", true, "", "", ""},
      {"Cancel", named, true, platform::DialogAnswer::Cancel, "", false, named, "", ""},
      {"Yes", named, true, platform::DialogAnswer::Yes, "", true, named, named, ""},
      {"Yes untitled", untitled, true, platform::DialogAnswer::Yes, Path("Set.lst"), true, Path("Set.lst"),
       Path("Set.lst"), ""},
      {"Yes untitled, no name", untitled, true, platform::DialogAnswer::Yes, "", false, untitled, "", ""},
      {"Yes, write fails", Path("gone/x.lst"), true, platform::DialogAnswer::Yes, "", false, Path("gone/x.lst"), "",
       "Error saving " + Path("gone/x.lst")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(named);
    std::filesystem::remove(Path("Set.lst"));
    platform::ScriptedDialogs dialogs;
    if (c.answer) dialogs.Answer(*c.answer);
    outputName_ = c.outputName;
    Tlistedit editor(frontEnd_, c.file, {"a.bmp /s1"}, c.modified);
    EXPECT_EQ(editor.AskSaveList(), c.closes);
    EXPECT_EQ(editor.result(), c.result);
    if (!c.savedTo.empty()) {
      EXPECT_EQ(testsupport::ReadFileText(c.savedTo), "a.bmp /s1\n");
    }
    EXPECT_EQ(std::filesystem::exists(named), c.savedTo == named);
    std::vector<std::string> asked;
    for (const platform::DialogRequest& request : dialogs.asked()) asked.push_back(request.text);
    std::vector<std::string> expected;
    if (c.answer) expected.push_back("Save file " + c.file + " ?");
    if (!c.error.empty()) expected.push_back(c.error);
    EXPECT_EQ(asked, expected);
  }
}

TEST_F(ListEditor, ButtonsEditTheLines) {
  Write(Path("more/c.bmp"), "");
  Write(Path("more/d.bmp"), "");
  Tlistedit editor(frontEnd_, Path("list.lst"), {"a.bmp", "b.bmp /s4"}, false);
  EXPECT_EQ(editor.fstart()->text().toStdString(), "");
  editor.MoveLine(-1);  // the first line stays first
  EXPECT_EQ(editor.Lines(), (std::vector<std::string>{"a.bmp", "b.bmp /s4"}));
  EXPECT_FALSE(editor.modified());
  editor.MoveLine(1);
  EXPECT_EQ(editor.Lines(), (std::vector<std::string>{"b.bmp /s4", "a.bmp"}));
  EXPECT_EQ(editor.lst()->currentRow(), 1);
  EXPECT_TRUE(editor.modified());
  // Files from another directory keep it; they go in before the selected line.
  dialogs_.ChooseFiles({Path("more/c.bmp"), Path("more/d.bmp")});
  editor.InsertFiles();
  EXPECT_EQ(editor.Lines(), (std::vector<std::string>{"b.bmp /s4", Path("more/c.bmp"), Path("more/d.bmp"), "a.bmp"}));
  dialogs_.ChooseFiles({Path("e f.bmp")});
  editor.SelectLine(0);
  editor.InsertFiles();
  EXPECT_EQ(editor.Lines().front(), "e f.bmp");
  editor.SelectLine(0);
  editor.RemoveLine();
  editor.RemoveLine();
  EXPECT_EQ(editor.Lines(), (std::vector<std::string>{Path("more/c.bmp"), Path("more/d.bmp"), "a.bmp"}));
  EXPECT_EQ(editor.lst()->currentRow(), 0);
  editor.SelectLine(2);
  editor.RemoveLine();
  EXPECT_EQ(editor.lst()->currentRow(), 1);
  EXPECT_EQ(editor.fend()->text().toStdString(), "");
}

}  // namespace
