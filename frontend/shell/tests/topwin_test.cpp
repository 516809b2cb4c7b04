#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTabWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontend/core/front_end.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/shell/topwin.h"
#include "platform/face/dialogs.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;

namespace {

// A page that writes down what is done with it.
class RecordingPage : public TabPage {
 public:
  RecordingPage(QWidget* sheet, int index, std::vector<std::string>& log, bool mayClose)
      : TabPage(sheet), index_(index), log_(log), mayClose_(mayClose) {
    log_.push_back("make " + std::to_string(index_));
  }
  void SaveSettings() override { log_.push_back("save " + std::to_string(index_)); }
  void RefreshFileLists() override { log_.push_back("refresh " + std::to_string(index_)); }
  bool MayClose() override { return mayClose_; }

 private:
  int index_;
  std::vector<std::string>& log_;
  bool mayClose_;
};

class MainWindow : public ::testing::Test {
 protected:
  MainWindow() : frontEnd_(starter_) {
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.settings.main.directory = scratch_.path();
  }
  void SetUp() override { ASSERT_TRUE(frontend_testing::EnsureApplication()); }

  PageRegistry Pages(bool mayClose = true) {
    PageRegistry pages;
    for (int index = 0; index < kTabCount; ++index) {
      pages.Set(index, [this, index, mayClose](const PageContext&, QWidget* sheet) {
        return std::make_unique<RecordingPage>(sheet, index, log_, mayClose);
      });
    }
    return pages;
  }

  static void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
  }

  testsupport::ScratchDirectory scratch_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
  std::vector<std::string> log_;
};

TEST_F(MainWindow, PagesComeAndGoWithTheirTabsAndKeysActOnTheNextTick) {
  frontEnd_.settings.main.currentTab = 2;
  Ttopwin topwin(frontEnd_, Pages());
  EXPECT_TRUE(log_.empty());  // no page before the window is shown
  topwin.show();
  EXPECT_EQ(log_, std::vector<std::string>{"make 2"});
  EXPECT_EQ(frontEnd_.helpContext, 1077);
  EXPECT_EQ(topwin.windowTitle().toStdString(), "Vantrel for Windows");

  PressKey(topwin.currentPage(), Qt::Key_F5);
  EXPECT_EQ(topwin.CurrentTab(), 2);  // only posted
  topwin.Tick();
  EXPECT_EQ(topwin.CurrentTab(), 3);
  EXPECT_EQ(frontEnd_.helpContext, 1078);

  // A report and a key in the same tick: both are carried out, one per tick.
  log_.clear();
  platform::ReportRequest report;
  report.type = platform::ReportRequestType::Data;
  report.code = platform::kStatusReportKind;
  report.data = {'O', 'K', 0};
  EXPECT_EQ(ReceiveReport(frontEnd_, report, [] {}), 1u);
  PressKey(topwin.maintab(), Qt::Key_F7);
  topwin.Tick();
  topwin.Tick();
  topwin.Tick();
  EXPECT_EQ(log_, (std::vector<std::string>{"refresh 3", "save 3", "make 5"}));

  const QSize fixed = topwin.size();
  topwin.resize(fixed.width() + 56, fixed.height() + 183);
  EXPECT_EQ(topwin.size(), fixed);
}

TEST_F(MainWindow, ABatchGivenAtStartRunsOnTheCommandTab) {
  frontEnd_.settings.main.currentTab = 1;
  Ttopwin topwin(frontEnd_, Pages());
  topwin.SetPendingCommand("\"b.sbt\"");
  topwin.show();
  EXPECT_EQ(topwin.CurrentTab(), kCommandTab);
  EXPECT_EQ(log_, std::vector<std::string>{"make 7"});
  EXPECT_TRUE(starter_.starts.empty());
  frontEnd_.shiftHeld = [] { return true; };  // held by chance: a start-up line still runs
  topwin.Tick();
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text, "\"b.sbt\"");
  topwin.Tick();
  EXPECT_EQ(starter_.starts.size(), 1u);  // once
}

TEST_F(MainWindow, ClosingIsRefusedWhileADialogIsOpenAndWritesTheSettingsAfterwards) {
  platform::ScriptedDialogs dialogs;
  const std::string settingsPath = scratch_.File("config/Vantrel.INI");
  Ttopwin topwin(frontEnd_, Pages());
  topwin.SetSettingsPath(settingsPath);
  bool guardAllows = false;
  topwin.AddCloseGuard([&guardAllows] { return guardAllows; });
  topwin.show();
  topwin.SelectMainTab(kScriptorTab);

  QDialog modal(&topwin);
  modal.setModal(true);
  modal.show();
  EXPECT_FALSE(topwin.close());
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error, cannot close now.");
  modal.hide();

  EXPECT_FALSE(topwin.close());  // the guard refuses
  guardAllows = true;
  log_.clear();
  EXPECT_TRUE(topwin.close());
  EXPECT_EQ(log_, std::vector<std::string>{"save 4"});
  EXPECT_FALSE(topwin.isVisible());
  std::ifstream in(settingsPath);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("[VantMain]\nX="), std::string::npos);
  EXPECT_NE(text.str().find("CurrentTab=4\n"), std::string::npos);
}

TEST_F(MainWindow, APageWithUnsavedWorkKeepsTheWindowOpen) {
  Ttopwin topwin(frontEnd_, Pages(false));
  topwin.show();
  EXPECT_FALSE(topwin.close());
  EXPECT_TRUE(topwin.isVisible());
}

TEST_F(MainWindow, ARestoreNoticeBringsAMinimisedWindowBack) {
  Ttopwin topwin(frontEnd_, Pages());
  topwin.show();
  topwin.showMinimized();
  ASSERT_TRUE(topwin.isMinimized());
  platform::ReportRequest notice;
  notice.type = platform::ReportRequestType::Message;
  notice.code = platform::kRestoreNoticeMessage;
  EXPECT_EQ(ReceiveReport(frontEnd_, notice, [&topwin] { topwin.RestoreFromNotice(); }), 0u);
  EXPECT_FALSE(topwin.isMinimized());
  EXPECT_TRUE(topwin.isVisible());
}

TEST_F(MainWindow, F1OpensTheHelpPageOfTheTabOrSaysItIsNotInstalled) {
  const char* programs = std::getenv("VANT_BIN_DIR");
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  platform::ScriptedDialogs dialogs;
  frontEnd_.settings.main.directory = programs;
  frontEnd_.settings.main.currentTab = 6;
  Ttopwin topwin(frontEnd_, Pages());
  topwin.show();
  PressKey(topwin.currentPage(), Qt::Key_F1);
  topwin.Tick();
  const std::string page = std::string(programs) + "/help/sound_page.html";
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].text, "xdg-open \"" + page + "\"");
  EXPECT_TRUE(std::filesystem::exists(page));

  frontEnd_.settings.main.directory = scratch_.path();
  PressKey(topwin.maintab(), Qt::Key_F1);
  topwin.Tick();
  EXPECT_EQ(starter_.starts.size(), 1u);
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text,
            "The help is not installed: " + scratch_.path() + "/help/sound_page.html was not found.");
}

}  // namespace
