#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextCursor>

#include <filesystem>
#include <fstream>

#include "frontend/core/front_end.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/pages/edited_text.h"
#include "platform/face/dialogs.h"
#include "testsupport/scratch_directory.h"
#include "testsupport/file_contents.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

TEST(EditedTexts, NothingUnsavedIsThrownAway) {
  testsupport::ScratchDirectory scratch;
  const std::string named = scratch.File("Intro.SS");
  const std::string chosen = scratch.File("New Script.SS");
  const std::string unwritable = scratch.File("missing dir/x.ss");
  struct Case {
    std::string name;
    std::string fileName;
    bool modified, forced;
    std::vector<DialogAnswer> answers;
    std::string dialogAnswer;  // what the output name dialog gives ("" cancelled)
    bool mayGoOn;
    std::string savedAs;  // the text's name afterwards; its file holds the lines
    bool stillModified;
    std::string question;  // the first thing asked, "" for nothing
  } cases[] = {
      {"unchanged", named, false, false, {}, "", true, named, false, ""},
      {"no", named, true, false, {DialogAnswer::No}, "", true, named, true, "Save changes to " + named + " ?"},
      {"cancel", named, true, false, {DialogAnswer::Cancel}, "", false, named, true, "Save changes to " + named + " ?"},
      {"yes saves under its name", named, true, false, {DialogAnswer::Yes}, "", true, named, false, "Save changes to " + named + " ?"},
      {"a new text asks for a name, which keeps its case", "", true, false, {DialogAnswer::Yes}, chosen,
       true, chosen, false, "Save your changes ?"},
      {"no name chosen", "", true, false, {DialogAnswer::Yes}, "", false, "", true, "Save your changes ?"},
      {"save as asks at once", named, false, true, {}, chosen, true, chosen, false, ""},
      {"a failed save is no save", "", true, false, {DialogAnswer::Yes}, unwritable, false, "", true,
       "Save your changes ?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(named);
    std::filesystem::remove(chosen);
    frontend_testing::FakeStarter starter;
    FrontEnd frontEnd(starter);
    std::vector<OutputNameRequest> asked;
    frontEnd.dialogs.askOutputName = [&](const OutputNameRequest& request) {
      asked.push_back(request);
      return c.dialogAnswer;
    };
    platform::ScriptedDialogs dialogs;
    for (DialogAnswer answer : c.answers) dialogs.Answer(answer);
    EditedText text{c.fileName, {"SCREEN 320 200", "END"}, c.modified};

    EXPECT_EQ(SaveEditedText(frontEnd, text, {1099, ".ss", "Scripts|*.ss", scratch.path()}, c.forced), c.mayGoOn);
    EXPECT_EQ(text.fileName, c.savedAs);
    EXPECT_EQ(text.modified, c.stillModified);
    const bool wrote = !c.stillModified && (c.modified || c.forced);
    if (wrote) {
      EXPECT_EQ(testsupport::ReadFileText(c.savedAs), "SCREEN 320 200\nEND\n");
    }
    if (!c.savedAs.empty() && !wrote) {
      EXPECT_FALSE(std::filesystem::exists(c.savedAs));
    }
    const std::string first = dialogs.asked().empty() ? "" : dialogs.asked()[0].text;
    EXPECT_EQ(first, c.question);
    if (c.dialogAnswer == unwritable) {
      EXPECT_EQ(dialogs.asked().back().text, "Error, could not save file.");
    }
    if (!asked.empty()) {
      EXPECT_EQ(asked[0].caption, "Save As Filename:");
      EXPECT_EQ(asked[0].button, "&Save");
      EXPECT_EQ(asked[0].proposal, c.fileName.empty() ? scratch.File("untitled.ss") : c.fileName);
    }
  }
}

TEST(EditedTexts, FindWrapsOnceAndGotoLandsAtTheEndOfTheLine) {
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  frontend_testing::FakeStarter starter;
  FrontEnd frontEnd(starter);
  std::vector<std::string> typed;
  std::vector<TextRequest> asked;
  frontEnd.dialogs.askText = [&](const TextRequest& request) -> std::optional<std::string> {
    asked.push_back(request);
    if (typed.empty()) return std::nullopt;
    std::string next = typed.front();
    typed.erase(typed.begin());
    return next;
  };
  QPlainTextEdit memo;
  memo.setPlainText(QStringLiteral("Alpha\nbeta ALPHA\ngamma"));
  platform::ScriptedDialogs dialogs;
  std::string findText = "old";

  struct Find {
    std::string what;
    int selectedFrom;  // -1: not found, the caret stays
  } finds[] = {{"alpha", 11}, {"alpha", 0}, {"GAMMA", 17}, {"zeta", -1}};
  for (const Find& f : finds) {
    typed = {f.what};
    const int before = memo.textCursor().selectionStart();
    MemoFindText(frontEnd, findText, memo);
    EXPECT_EQ(findText, f.what);
    EXPECT_EQ(memo.textCursor().selectionStart(), f.selectedFrom < 0 ? before : f.selectedFrom) << f.what;
  }
  EXPECT_EQ(asked[0].caption, "Find Text:");
  EXPECT_EQ(asked[0].offered, "old");
  EXPECT_EQ(asked[1].offered, "alpha");
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Find text was not found.");

  std::string line;
  struct Goto {
    std::string what;
    int caret;
  } gotos[] = {{"2", 16}, {"0", 16}, {"9", 16}, {"x", 16}, {"3", 22}, {"1", 5}};
  for (const Goto& g : gotos) {
    typed = {g.what};
    MemoGotoLine(frontEnd, line, memo);
    EXPECT_EQ(memo.textCursor().position(), g.caret) << g.what;
  }
  EXPECT_EQ(asked.back().caption, "Goto Line Number:");
  EXPECT_EQ(asked.back().helpContext, 1097);
}

}  // namespace
