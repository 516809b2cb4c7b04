#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <functional>
#include <fstream>

#include "frontend/core/front_end.h"
#include "frontend/core/request_queue.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/files/output_name_dialog.h"
#include "frontend/files/popup_menus.h"
#include "frontend/pages/compress_page.h"
#include "frontend/shell/about_box.h"
#include "frontend/shell/main_page.h"
#include "frontend/shell/page_registry.h"
#include "platform/face/dialogs.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;
using platform::DialogAnswer;

namespace {

class OutputNameDialog : public ::testing::Test {
 protected:
  OutputNameDialog() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = scratch_.path();
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.notifyTargets.SetMain(1234);
  }
  void SetUp() override {
    ASSERT_TRUE(frontend_testing::EnsureApplication());
    std::filesystem::create_directories(scratch_.File("sub"));
    for (const char* name : {"normal.txt", "locked.txt", "source.flc"}) std::ofstream(scratch_.File(name)) << "x";
    chmod(scratch_.File("locked.txt").c_str(), 0444);
  }

  OutputNameRequest Request(OverwritePolicy policy, const std::string& proposal) {
    OutputNameRequest request;
    request.caption = "Save Command History:";
    request.prompt = " Save As: ";
    request.button = "&Save";
    request.proposal = proposal;
    request.filter = "Text files (*.Txt)|*.TXT|All files (*.*)|*.*";
    request.filterIndex = 1;
    request.policy = policy;
    request.helpContext = 1090;
    return request;
  }

  testsupport::ScratchDirectory scratch_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
};

TEST_F(OutputNameDialog, OkResolvesTheTypedNameAndKeepsToThePolicy) {
  const std::string untitled = scratch_.File("untitled.txt");
  const std::string source = scratch_.File("source.flc");
  struct Case {
    std::string name;
    OverwritePolicy policy;
    std::string proposal;
    std::string typed;
    std::vector<DialogAnswer> answers;
    std::string chosen;   // "" when the dialog stays open
    std::string message;  // the last thing said, "" for nothing
  } cases[] = {
      {"a new name", OverwritePolicy::Ask, untitled, "notes.txt", {}, scratch_.File("notes.txt"), ""},
      {"no extension", OverwritePolicy::Ask, untitled, "notes", {}, scratch_.File("notes.txt"), ""},
      {"a directory", OverwritePolicy::Ask, untitled, "sub", {}, scratch_.File("sub/untitled.txt"), ""},
      {"an absolute directory", OverwritePolicy::Ask, untitled, scratch_.File("sub") + "/../sub/x.log", {},
       scratch_.File("sub/x.log"), ""},
      {"nothing typed", OverwritePolicy::Ask, untitled, "", {}, untitled, ""},
      {"ask, yes", OverwritePolicy::Ask, untitled, "normal", {DialogAnswer::Yes}, scratch_.File("normal.txt"),
       "Overwrite " + scratch_.File("normal.txt") + " ?"},
      {"ask, no", OverwritePolicy::Ask, untitled, "normal", {}, "", "Overwrite " + scratch_.File("normal.txt") + " ?"},
      {"ask, read-only", OverwritePolicy::Ask, untitled, "locked", {}, "",
       "Error: output filename must be a normal file (not read-only, hidden, etc)."},
      {"must not exist", OverwritePolicy::MustNotExist, untitled, "normal.txt", {}, "",
       "Error: output filename must not already exist."},
      {"must not exist, read-only", OverwritePolicy::MustNotExist, untitled, "locked.txt", {}, "",
       "Error: output filename must not already exist."},
      // A rename never replaces another file, read-only or not.
      {"rename onto another file", OverwritePolicy::Accept, source, "normal.txt", {}, "",
       "Error: output filename must not already exist."},
      {"rename onto a read-only file", OverwritePolicy::Accept, source, "locked.txt", {}, "",
       "Error: output filename must not already exist."},
      {"rename to itself", OverwritePolicy::Accept, source, "./source.flc", {}, source, ""},
      {"rename to a new name", OverwritePolicy::Accept, source, "moved", {}, scratch_.File("moved.flc"), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::ScriptedDialogs dialogs;
    for (DialogAnswer answer : c.answers) dialogs.Answer(answer);
    Toutwin dialog(frontEnd_, Request(c.policy, c.proposal), nullptr, nullptr);
    EXPECT_EQ(dialog.files().Directory(), scratch_.path());
    EXPECT_EQ(dialog.nameEdit().text().toStdString(), std::filesystem::path(c.proposal).filename().string());
    dialog.nameEdit().setText(QString::fromStdString(c.typed));
    dialog.OkPressed();
    EXPECT_EQ(dialog.chosen(), c.chosen);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, !c.chosen.empty());
    EXPECT_EQ(dialogs.asked().empty() ? "" : dialogs.asked().back().text, c.message);
  }
}

TEST_F(OutputNameDialog, WhileOpenItTakesTheReportsTheMenusAndTheHelpContext) {
  PopupMenus menus(frontEnd_, nullptr);
  FileControls pageControls;
  menus.Attach(pageControls);
  frontEnd_.helpContext = 1085;
  {
    Toutwin dialog(frontEnd_, Request(OverwritePolicy::Ask, scratch_.File("untitled.txt")), &menus, nullptr);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Save Command History:");
    EXPECT_EQ(dialog.promptGroup().title().toStdString(), " Save As: ");
    EXPECT_EQ(dialog.okButton().text().toStdString(), "&Save");
    EXPECT_NE(dialog.notifyNumber(), 0);
    EXPECT_EQ(frontEnd_.notifyTargets.Current(), dialog.notifyNumber());
    EXPECT_EQ(menus.Target(), &dialog.files());
    EXPECT_EQ(frontEnd_.helpContext, 1090);
    EXPECT_EQ(dialog.files().FilterIndex(), 1);

    // Picking a file copies its name; picking none gives the proposal's back.
    ASSERT_TRUE(dialog.files().SelectFile("normal.txt"));
    EXPECT_EQ(dialog.nameEdit().text().toStdString(), "normal.txt");
    dialog.files().ClearSelection();
    EXPECT_EQ(dialog.nameEdit().text().toStdString(), "untitled.txt");

    dialog.nameEdit().setText("typed.txt");
    dialog.CancelPressed();
    EXPECT_EQ(dialog.chosen(), "");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_EQ(frontEnd_.notifyTargets.Current(), 1234);
  EXPECT_EQ(menus.Target(), &pageControls);
  EXPECT_EQ(frontEnd_.helpContext, 1085);
}

TEST_F(OutputNameDialog, WithoutAPersonToAnswerTheDialogServiceAsks) {
  platform::ScriptedDialogs dialogs;  // scripted: nobody sees a window
  dialogs.ChooseFiles({scratch_.File("normal.txt")});
  InstallOutputNameDialog(frontEnd_, nullptr);
  EXPECT_EQ(frontEnd_.dialogs.askOutputName(Request(OverwritePolicy::Accept, scratch_.File("source.flc"))), "");
  ASSERT_EQ(dialogs.asked().size(), 2u);
  EXPECT_EQ(dialogs.asked()[1].text, "Error: output filename must not already exist.");
}

TEST_F(OutputNameDialog, TheMainPageButtonsLeadToTheirTabs) {
  PopupMenus menus(frontEnd_, nullptr);
  QWidget sheet;
  Tmainform page(PageContext{frontEnd_, menus}, &sheet);
  struct Case {
    std::string caption;
    std::vector<int> requests;
    std::string started;
  } cases[] = {
      {"Vant (compress) a graphics file", {1}, ""},
      {"Mix sound into a Vantrel file", {2}, ""},
      {"Playback a Vantrel file", {3}, ""},
      {"Use the VantScript environment", {4}, ""},
      {"Convert a graphics file", {5}, ""},
      {"Convert a sound file", {6}, ""},
      {"Use the Vantrel command line", {7}, ""},
      {"E&xit", {kRequestClose}, ""},
      {"View your system information", {}, "\"" + scratch_.path() + "/kdxsiw\" /#1234"},
      {"Visit the Vantrel web page", {}, std::string("xdg-open \"") + kMakerWebAddress + "\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    starter_.starts.clear();
    QPushButton* button = page.Button(c.caption);
    ASSERT_NE(button, nullptr);
    button->click();
    std::vector<int> posted;
    while (const std::optional<int> request = frontEnd_.requests.Take()) posted.push_back(*request);
    EXPECT_EQ(posted, c.requests);
    EXPECT_EQ(starter_.starts.empty() ? "" : starter_.starts.back().text, c.started);
  }
  EXPECT_FALSE(frontEnd_.frameRateRequest);
  page.Button("Change a Vantrel file frame rate")->click();
  EXPECT_TRUE(frontEnd_.frameRateRequest);
  EXPECT_EQ(frontEnd_.requests.Take(), 2);

  page.Button("&About")->click();
  auto* about = page.findChild<Taboutwin*>();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(about->isModal());
  EXPECT_EQ(about->windowTitle().toStdString(), "About Vantrel for Windows...");
  EXPECT_EQ(about->description().toPlainText().toStdString().rfind(
                "Vantrel is a compressor for 8-bit video and animation data.", 0),
            0u);
  about->address().setFocus();
  QCoreApplication::processEvents();
  EXPECT_FALSE(about->address().hasFocus());
  about->closeButton().click();
  EXPECT_TRUE(frontend_testing::PumpEventsUntil([&page] { return page.findChild<Taboutwin*>() == nullptr; }, 20000));
}

// Escape on a page presses its cancel button, wherever the focus is on the page.
TEST_F(OutputNameDialog, EscapeOnAPagePressesItsCancelButton) {
  PopupMenus menus(frontEnd_, nullptr);
  frontEnd_.settings.compress.directory = scratch_.path();
  struct Case {
    std::string page;
    std::function<std::unique_ptr<TabPage>(QWidget*)> make;
    int request;
  } cases[] = {
      {"main", [&](QWidget* sheet) { return std::make_unique<Tmainform>(PageContext{frontEnd_, menus}, sheet); },
       kRequestClose},
      {"compress", [&](QWidget* sheet) { return std::make_unique<Tvantform>(PageContext{frontEnd_, menus}, sheet); },
       kMainTab},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    QWidget sheet;
    std::unique_ptr<TabPage> page = c.make(&sheet);
    sheet.show();
    sheet.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    page->FocusFirstControl();
    while (frontEnd_.requests.Take()) {
    }
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : page.get(), Qt::Key_Escape);
    EXPECT_EQ(frontEnd_.requests.Take(), c.request);
  }
}

}  // namespace
