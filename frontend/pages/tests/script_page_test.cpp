#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>

#include "frontend/files/file_controls.h"
#include "frontend/pages/script_page.h"
#include "frontend/pages/tests/page_fixture.h"
#include "platform/face/dialogs.h"
#include "testsupport/file_contents.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

class ScriptPage : public frontend_testing::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    scripts_ = scratch_.File("my scripts");
    Touch(scripts_ + "/show.ss", "varset a 1\n");
    frontEnd_.settings.script.directory = scripts_;
    frontEnd_.settings.script.filename = "show.ss";
    frontEnd_.dialogs.askOutputName = [this](const OutputNameRequest& request) {
      askedName_ = request;
      return chosenName_;
    };
  }
  std::unique_ptr<Tscriptform> MakePage() { return std::make_unique<Tscriptform>(Context(), sheet_.get()); }
  static void Type(Tscriptform& page, const char* text) {
    page.memo().moveCursor(QTextCursor::End);
    page.memo().insertPlainText(QString::fromUtf8(text));
  }

  std::string scripts_;
  std::string chosenName_;  // what the output name dialog answers ("" cancels)
  OutputNameRequest askedName_;
};

TEST_F(ScriptPage, RunOnTheEditingPageRunsOnlyASavedScript) {
  struct Row {
    std::string name;
    bool named;    // the script was opened from the list, else it is new
    bool changed;  // typed into after opening
    bool vanish;   // its folder is gone before the run
    std::string chosen;
    std::vector<DialogAnswer> answers;
    bool started;
    std::string saved;    // the file's text afterwards
    std::string message;  // the last box shown
  };
  const std::string question = "Save changes to " + scripts_ + "/show.ss ?";
  const Row rows[] = {
      {"new, not saved", false, true, false, "", {DialogAnswer::No}, false, "",
       "Error: this script hasn't been saved yet."},
      {"new, never touched", false, false, false, "", {}, false, "", "Error: this script hasn't been saved yet."},
      {"new, no name chosen", false, true, false, "", {DialogAnswer::Yes}, false, "", "Save your changes ?"},
      {"new, saved under a name", false, true, false, "new.ss", {DialogAnswer::Yes}, true, "end\n",
       "Save your changes ?"},
      {"named and unchanged", true, false, false, "", {}, true, "varset a 1\n", ""},
      {"named, changed and saved", true, true, false, "", {DialogAnswer::Yes}, true, "varset a 1\nend\n", question},
      {"named, changed, not saved", true, true, false, "", {DialogAnswer::No}, true, "varset a 1\n", question},
      {"named, changed, cancelled", true, true, false, "", {DialogAnswer::Cancel}, false, "varset a 1\n", question},
      {"the save fails", true, true, true, "", {DialogAnswer::Yes}, false, "", "Error, could not save file."},
  };
  for (const Row& c : rows) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(scripts_);
    Touch(scripts_ + "/show.ss", "varset a 1\n");
    frontEnd_.scriptor = ScriptorState{};
    starter_.starts.clear();
    chosenName_ = c.chosen.empty() ? "" : scripts_ + "/" + c.chosen;
    auto page = MakePage();
    if (c.named) {
      page->EditOrSavePressed();
    } else {
      page->NewPressed();
    }
    ASSERT_EQ(page->pages().currentIndex(), Tscriptform::kEditPage);
    if (c.changed) Type(*page, c.named ? "\nend" : "end");
    if (c.vanish) std::filesystem::remove_all(scripts_);
    platform::ScriptedDialogs dialogs;
    for (DialogAnswer answer : c.answers) dialogs.Answer(answer);

    page->RunPressed();

    const std::string script = c.named ? "show.ss" : "new.ss";
    ExpectStart(c.started ? "\"/opt/vant/vantscw\" \"" + script + "\" /#1234" : "", scripts_);
    EXPECT_EQ(testsupport::ReadFileText(scripts_ + "/" + script), c.saved);
    EXPECT_EQ(dialogs.asked().empty() ? "" : dialogs.asked().back().text, c.message);
    // What was not saved stays marked.
    EXPECT_EQ(page->memo().document()->isModified(), c.changed && c.saved.find("end") == std::string::npos);
  }
}

TEST_F(ScriptPage, LeavingTheTabAndComingBackKeepsTheScript) {
  auto page = MakePage();
  page->NewPressed();
  Type(*page, "varset a 1\nvarset b 2\nend");
  QTextCursor caret = page->memo().textCursor();
  caret.setPosition(13);  // on the second line
  page->memo().setTextCursor(caret);
  EXPECT_EQ(page->lineIndicator().text().toStdString(), " Line: 2");
  page->SaveSettings();
  page.reset();

  auto again = MakePage();
  EXPECT_EQ(again->memo().toPlainText().toStdString(), "varset a 1\nvarset b 2\nend");
  EXPECT_TRUE(again->memo().document()->isModified());
  EXPECT_EQ(again->memo().textCursor().position(), 13);
  EXPECT_EQ(again->pages().currentIndex(), Tscriptform::kEditPage);
  EXPECT_EQ(again->pages().tabText(Tscriptform::kEditPage).toStdString(), "Edit - Untitled");
  EXPECT_EQ(again->editButton().text().toStdString(), "&Save");
  EXPECT_TRUE(again->saveAsButton().isEnabled());
  EXPECT_TRUE(again->lineIndicator().isVisibleTo(again.get()));

  // Closing asks about the unsaved script; Cancel keeps the program open.
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::Cancel);
  EXPECT_FALSE(again->MayClose());
  EXPECT_EQ(dialogs.asked().at(0).text, "Save your changes ?");
}

TEST_F(ScriptPage, EditLoadsTheHighlightedScriptAndSaveWritesItBack) {
  auto page = MakePage();
  EXPECT_EQ(page->editButton().text().toStdString(), "&Edit");
  EXPECT_FALSE(page->saveAsButton().isEnabled());
  page->EditOrSavePressed();
  EXPECT_EQ(page->pages().tabText(Tscriptform::kEditPage).toStdString(), "Edit: show.ss");
  EXPECT_EQ(page->memo().toPlainText().toStdString(), "varset a 1");
  EXPECT_FALSE(page->memo().document()->isModified());
  Type(*page, "\nend");
  platform::ScriptedDialogs dialogs;
  page->EditOrSavePressed();  // "&Save": no question for a script that has a name
  EXPECT_TRUE(dialogs.asked().empty());
  EXPECT_EQ(testsupport::ReadFileText(scripts_ + "/show.ss"), "varset a 1\nend\n");
  EXPECT_FALSE(page->memo().document()->isModified());

  // "Save &As" asks for a name, offering the script's folder.
  chosenName_ = scripts_ + "/copy.ss";
  page->SaveAsPressed();
  EXPECT_EQ(askedName_.proposal, scripts_ + "/show.ss");
  EXPECT_EQ(testsupport::ReadFileText(scripts_ + "/copy.ss"), "varset a 1\nend\n");
  EXPECT_EQ(page->pages().tabText(Tscriptform::kEditPage).toStdString(), "Edit: copy.ss");
  EXPECT_EQ(frontEnd_.settings.recentFiles.at(0), scripts_ + "/copy.ss");

  // Back on the file page the buttons follow the list again.
  page->pages().setCurrentIndex(Tscriptform::kFilePage);
  page->files().ClearSelection();
  EXPECT_FALSE(page->runButton().isEnabled());
  EXPECT_FALSE(page->lineIndicator().isVisibleTo(page.get()));
}

TEST_F(ScriptPage, HelpIsAskedForTheCommandUnderTheCaretButNotForALabel) {
  frontEnd_.settings.main.directory = scratch_.path();
  Touch(scratch_.File("help/scriptor_page.html"), "<html></html>");
  const std::string help = "xdg-open \"" + scratch_.File("help/scriptor_page.html") + "\"";
  struct Row {
    std::string text;
    int line;         // the caret's
    int selectFrom;   // -1: nothing selected
    bool asked;
  } rows[] = {
      {":start\nvarset a 1", 0, -1, false},
      {":start\nvarset a 1", 1, -1, true},
      {"  \n", 0, -1, false},
      {"# note\n  PRINT hello", 1, 9, true},
      {"end\n:done", 0, 4, false},  // the selection is a label
  };
  for (const Row& c : rows) {
    SCOPED_TRACE(c.text);
    starter_.starts.clear();
    auto page = MakePage();
    page->NewPressed();
    page->memo().setPlainText(QString::fromStdString(c.text));
    QTextCursor caret(page->memo().document()->findBlockByNumber(c.line));
    if (c.selectFrom >= 0) {
      caret.setPosition(c.selectFrom);
      caret.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    page->memo().setTextCursor(caret);
    page->HelpOnCurrentCommand();
    ASSERT_EQ(starter_.starts.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(starter_.starts[0].text, help);
    }
  }
}

// A user runs a script from the file page; the script player runs it and reports to the console.
TEST(ScriptPageEndToEnd, RunStartsTheScriptPlayerWhoseReportReachesTheConsole) {
  const char* programs = frontend_testing::ProgramFolder();
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  const std::string scripts = scratch.File("my scripts");
  std::filesystem::create_directories(scripts);
  std::ofstream(scripts + "/first show.ss") << "debugfile \"" << scratch.File("ran.txt") << "\"\ndebugtext \"ran\"\n";
  frontend_testing::LiveFrontEnd live(programs, scratch.path());
  ASSERT_TRUE(live.endpoint.listening());
  live.frontEnd.settings.script.directory = scripts;
  live.frontEnd.settings.script.filename = "first show.ss";
  Tscriptform page(live.Context(), &live.sheet);

  page.runButton().click();

  std::string console;
  ASSERT_TRUE(frontend_testing::WaitForConsoleLine(live.frontEnd.console, "  VantScript - V3.0k", console)) << console;
  EXPECT_NE(testsupport::ReadFileText(scratch.File("ran.txt")).find("ran"), std::string::npos);
}

}  // namespace
