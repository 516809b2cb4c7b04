#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "frontend/console/console_windows.h"
#include "frontend/console/tests/console_fixture.h"
#include "frontend/core/launcher.h"
#include "frontend/pages/command_page.h"
#include "frontend/shell/page_registry.h"
#include "frontend/shell/topwin.h"
#include "platform/face/dialogs.h"

using namespace frontend;

namespace {

class CommandPage : public frontend_testing::ConsoleTest {
 protected:
  static void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
  }
};

TEST(CommandRecall, UpGoesOlderDownGoesNewerAndBothWrap) {
  const std::vector<std::string> recent{"newest", "middle", "oldest"};
  struct Case {
    std::string keys;  // 'u' Up, 'd' Down, 'r' typing
    std::vector<std::string> shown;
  } cases[] = {
      {"uuuu", {"newest", "middle", "oldest", "newest"}},
      {"ddd", {"newest", "oldest", "middle"}},
      {"uudd", {"newest", "middle", "oldest", "middle"}},
      {"uuru", {"newest", "middle", "newest"}},
  };
  for (const Case& c : cases) {
    CommandRecall recall;
    std::vector<std::string> shown;
    for (char key : c.keys) {
      if (key == 'r') {
        recall.Reset();
        continue;
      }
      shown.push_back(*(key == 'u' ? recall.Older(recent) : recall.Newer(recent)));
    }
    EXPECT_EQ(shown, c.shown) << c.keys;
  }
  CommandRecall none;
  EXPECT_EQ(none.Older({}), std::nullopt);
  EXPECT_EQ(none.Newer({}), std::nullopt);
}

TEST(ConsoleTrimming, RemovesWholeLinesFromTheTopPastTheLimit) {
  struct Case {
    size_t lineLength, lines;
    size_t expectedLines;
  } cases[] = {
      {98, 122, 122},  // 100 characters a line with its break: 12200, under the limit
      {98, 123, 112},  // 12300: 10 lines are 1000 characters, so 11 go
      {4095, 4, 3},    // 16388: one line of 4097 is enough
  };
  for (const Case& c : cases) {
    ConsoleLines console;
    for (size_t i = 0; i < c.lines; ++i) console.Append(std::string(c.lineLength, 'x') + std::to_string(i % 10));
    const std::string last = console.lines().back();
    console.Trim();
    EXPECT_EQ(console.lines().size(), c.expectedLines) << c.lines;
    EXPECT_EQ(console.lines().back(), last);
  }
  ConsoleLines console;
  console.ShowPrompt("/x> ");
  console.ShowPrompt("/x> ");
  EXPECT_EQ(console.lines().size(), 1u);
}

TEST_F(CommandPage, RunsTypedCommandsShowsTheConsoleAndRecallsCommands) {
  PopupMenus menus(frontEnd_, nullptr);
  Tcommandform page({frontEnd_, menus}, nullptr);
  frontEnd_.ShowPrompt();
  EXPECT_FALSE(page.commandrun()->isEnabled());
  page.commandtorun()->setText("  ");
  EXPECT_FALSE(page.commandrun()->isEnabled());
  page.commandtorun()->setText("echo first");
  ASSERT_TRUE(page.commandrun()->isEnabled());
  page.commandrun()->click();
  page.commandtorun()->setText("vantc in.flc out.vnt");
  Press(page.commandtorun(), Qt::Key_Return);
  EXPECT_TRUE(page.commandtorun()->text().isEmpty());
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_NE(starter_.starts[0].text.find("/#"), std::string::npos);
  EXPECT_EQ(starter_.starts[0].text.substr(starter_.starts[0].text.size() - 2), "/#");  // closes at once
  const std::string shown = page.commandhistory()->toPlainText().toStdString();
  EXPECT_NE(shown.find(scratch_.path() + "> echo first\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("> vantc in.flc out.vnt\n"), std::string::npos) << shown;

  Press(page.commandtorun(), Qt::Key_Up);
  EXPECT_EQ(page.commandtorun()->text().toStdString(), "vantc in.flc out.vnt");
  EXPECT_EQ(page.commandtorun()->selectedText(), page.commandtorun()->text());
  Press(page.commandtorun(), Qt::Key_Up);
  EXPECT_EQ(page.commandtorun()->text().toStdString(), "echo first");
  Press(page.commandtorun(), Qt::Key_Escape);
  EXPECT_TRUE(page.commandtorun()->text().isEmpty());
  EXPECT_TRUE(frontEnd_.requests.empty());
  Press(page.commandtorun(), Qt::Key_Escape);
  EXPECT_EQ(frontEnd_.requests.Take(), kMainTab);

  Press(page.commandhistory(), Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(frontEnd_.console.lines(), std::vector<std::string>{frontEnd_.Prompt()});
}

TEST_F(CommandPage, ErrorsOnTheCommandTabStayInTheConsole) {
  platform::ScriptedDialogs dialogs;
  frontEnd_.settings.main.currentTab = kCommandTab;
  Ttopwin topwin(frontEnd_, StandardPages());
  topwin.show();
  auto* page = dynamic_cast<Tcommandform*>(topwin.currentPage());
  ASSERT_NE(page, nullptr);
  page->commandtorun()->setText(QString::fromStdString("md " + scratch_.path()));
  page->commandrun()->click();
  EXPECT_TRUE(dialogs.asked().empty());
  EXPECT_NE(page->commandhistory()->toPlainText().toStdString().find("  Could not make " + scratch_.path()),
            std::string::npos);
  topwin.SelectMainTab(kMainTab);
  RunCommand(frontEnd_, "", "md " + scratch_.path());
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error, could not make " + scratch_.path());
}

}  // namespace

namespace {

// What a user does on the Command tab: a built-in copy, then a tool on the copy, whose report
// shows in the history.
TEST(CommandPageEndToEnd, BuiltInsAndToolsRunAndTheToolsReportShows) {
  const char* programs = std::getenv("VANT_BIN_DIR");
  if (!programs) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(frontend_testing::EnsureApplication());
  testsupport::ScratchDirectory scratch;
  frontend_testing::WriteSquareWave(scratch.File("in put.wav"));
  platform::ScriptedDialogs dialogs;
  SystemProgramStarter starter;
  FrontEnd frontEnd(starter);
  InstallConsoleWindows(frontEnd);
  frontEnd.settings.main.directory = programs;
  frontEnd.settings.command.directory = scratch.path();
  frontEnd.settings.main.currentTab = kCommandTab;
  Ttopwin topwin(frontEnd, StandardPages());
  topwin.show();
  auto* page = dynamic_cast<Tcommandform*>(topwin.currentPage());
  ASSERT_NE(page, nullptr);
  for (const char* command : {"copy \"in put.wav\" Copy.wav", "AudPr Copy.wav \"out put.wav\""}) {
    page->commandtorun()->setText(QString::fromUtf8(command));
    page->commandrun()->click();
  }
  const auto history = [page] { return page->commandhistory()->toPlainText().toStdString(); };
  ASSERT_TRUE(frontend_testing::PumpEventsUntil([&] { return history().find("  Created out put.wav") != std::string::npos; }))
      << history();
  EXPECT_NE(history().find("  Copied in put.wav to Copy.wav\n"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(scratch.File("out put.wav")), 44u + 11025u);
  EXPECT_EQ(frontEnd.settings.recentCommands.front(), "AudPr Copy.wav \"out put.wav\"");
  EXPECT_TRUE(dialogs.asked().empty());
}

}  // namespace
