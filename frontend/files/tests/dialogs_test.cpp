#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

#include "frontend/console/tests/console_fixture.h"
#include "frontend/core/message_boxes.h"
#include "frontend/files/dialogs_attributes.h"
#include "frontend/files/dialogs_open.h"
#include "frontend/files/dialogs_pick.h"
#include "frontend/files/dialogs_prompt.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/file_copy.h"
#include "platform/face/dialogs.h"
#include "platform/system/dos_attributes.h"
#include "testsupport/file_contents.h"

using namespace frontend;
using frontend_testing::Write;
using platform::DialogAnswer;
using platform::DialogButtons;
using platform::DialogIcon;

namespace {

class Dialogs : public frontend_testing::ConsoleTest {};

TEST_F(Dialogs, BoxesHaveTheirIconsButtonsDefaultsAndResults) {
  struct Case {
    std::function<int()> show;
    std::vector<DialogAnswer> script;  // empty: Enter takes the default
    DialogIcon icon;
    DialogButtons buttons;
    DialogAnswer preset;
    int result;
  } cases[] = {
      {[&] { ErrorBox(frontEnd_, "e"); return 0; }, {}, DialogIcon::Error, DialogButtons::Ok, DialogAnswer::Ok, 0},
      {[&] { InfoBox(frontEnd_, "i"); return 0; }, {}, DialogIcon::Information, DialogButtons::Ok, DialogAnswer::Ok, 0},
      {[&] { return int{YesNoBox(frontEnd_, "q", kNo)}; }, {}, DialogIcon::Question, DialogButtons::YesNo, DialogAnswer::No, 0},
      {[&] { return int{YesNoBox(frontEnd_, "q", kYes)}; }, {}, DialogIcon::Question, DialogButtons::YesNo, DialogAnswer::Yes, 1},
      {[&] { return int{YesNoBox(frontEnd_, "q", kNo)}; }, {DialogAnswer::Yes}, DialogIcon::Question, DialogButtons::YesNo, DialogAnswer::No, 1},
      {[&] { return YesNoCancelBox(frontEnd_, "q", kYes); }, {}, DialogIcon::Question, DialogButtons::YesNoCancel, DialogAnswer::Yes, 1},
      {[&] { return YesNoCancelBox(frontEnd_, "q", kNo); }, {}, DialogIcon::Question, DialogButtons::YesNoCancel, DialogAnswer::No, 2},
      {[&] { return YesNoCancelBox(frontEnd_, "q", kCancel); }, {}, DialogIcon::Question, DialogButtons::YesNoCancel, DialogAnswer::Cancel, 3},
      {[&] { return YesNoCancelBox(frontEnd_, "q", kYes); }, {DialogAnswer::No}, DialogIcon::Question, DialogButtons::YesNoCancel, DialogAnswer::Yes, 2},
      {[&] { return YesNoCancelBox(frontEnd_, "q", kYes); }, {DialogAnswer::Cancel}, DialogIcon::Question, DialogButtons::YesNoCancel, DialogAnswer::Yes, 3},
  };
  int row = 0;
  for (const Case& c : cases) {
    platform::ScriptedDialogs dialogs;
    for (DialogAnswer answer : c.script) dialogs.Answer(answer);
    EXPECT_EQ(c.show(), c.result) << row;
    ASSERT_EQ(dialogs.asked().size(), 1u);
    const platform::DialogRequest& asked = dialogs.asked()[0];
    EXPECT_EQ(asked.caption, "Vantrel for Windows");
    EXPECT_EQ(asked.icon, c.icon) << row;
    EXPECT_EQ(asked.buttons, c.buttons) << row;
    EXPECT_EQ(asked.defaultAnswer, c.preset) << row++;
  }
}

TEST_F(Dialogs, CopyKeepsContentsAndTimesAndRefusesTheSourceUnderAnyName) {
  platform::ScriptedDialogs dialogs;
  for (size_t size : {size_t{0}, size_t{8192}, size_t{8193}}) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 31 + 7);
    Write(Path("in.bin"), data);
    const timespec times[2] = {{1000000000, 0}, {1234567890, 500}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("in.bin").c_str(), times, 0), 0);
    const CopyOutcome outcome = CopyFiles(frontEnd_, "in.bin", Path("Out Dir/*.copy"));
    EXPECT_EQ(outcome.result, kCopyFailed) << "no such directory";
    EXPECT_FALSE(std::filesystem::exists(Path("Out Dir")));
    std::filesystem::create_directories(Path("Out Dir"));
    const CopyOutcome copied = CopyFiles(frontEnd_, "in.bin", Path("Out Dir/*.copy"));
    ASSERT_EQ(copied.result, kCopyDone) << size;
    EXPECT_EQ(copied.target, Path("Out Dir/in.copy"));
    EXPECT_EQ(testsupport::ReadFileText(copied.target), data);
    struct stat info {};
    ASSERT_EQ(stat(copied.target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1234567890);
    std::filesystem::remove_all(Path("Out Dir"));
  }
  EXPECT_TRUE(dialogs.asked().empty());

  std::filesystem::create_directories(Path("sub"));
  std::filesystem::create_symlink(Path("in.bin"), Path("sub/link.bin"));
  for (const std::string& self : {std::string("in.bin"), Path("sub/../in.bin"), std::string("sub/link.bin")}) {
    EXPECT_EQ(CopyFiles(frontEnd_, Path("in.bin"), self).result, kCopyFailed) << self;
    ASSERT_FALSE(dialogs.asked().empty());
    EXPECT_EQ(dialogs.asked().back().text, "Error, cannot copy a file onto itself.");
  }
  EXPECT_EQ(std::filesystem::file_size(Path("in.bin")), 8193u);
}

TEST_F(Dialogs, ACopyWhoseWritesFailHalfWayLeavesNoTarget) {
  Write(Path("in.bin"), std::string(30000, 'w'));
  // Writes fail as on a full disk once a file reaches 10000 bytes.
  rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limited = old;
  limited.rlim_cur = 10000;
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const CopyOutcome outcome = CopyFiles(frontEnd_, "in.bin", "out.bin");
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, previous);
  EXPECT_EQ(outcome.result, kCopyFailed);
  EXPECT_FALSE(std::filesystem::exists(Path("out.bin")));
  EXPECT_EQ(std::filesystem::file_size(Path("in.bin")), 30000u);
}

TEST_F(Dialogs, ACancelledCopyInTheWindowLeavesNoTarget) {
  Write(Path("big.bin"), std::string(5 * 8192, 'b'));
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::No);   // the first Cancel is taken back
  dialogs.Answer(DialogAnswer::Yes);  // the second one stops the copy
  Tcopyform window(frontEnd_);
  window.show();
  int clicks = 0;
  QTimer clicker;
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    if (clicks++ < 2) window.cancelButton()->click();
  });
  clicker.start(0);
  const platform::CopyResult result = window.Copy(Path("big.bin"), Path("copy.bin"));
  EXPECT_EQ(result.status, platform::CopyStatus::Cancelled);
  EXPECT_EQ(window.windowTitle().toStdString(), "Copying big.bin...");
  EXPECT_EQ(window.progress()->maximum(), 6);
  EXPECT_FALSE(std::filesystem::exists(Path("copy.bin")));
  ASSERT_EQ(dialogs.asked().size(), 2u);
  EXPECT_EQ(dialogs.asked()[0].text, "Do you want to cancel the file copy?");
  EXPECT_EQ(dialogs.asked()[0].defaultAnswer, DialogAnswer::No);
}

TEST_F(Dialogs, PromptPickListAndAttributeWindowsKeepWhatTheirButtonsSay) {
  Tstrwin prompt(frontEnd_, {"Find Text:", "Find:", "&Find Next", "last", 1098});
  EXPECT_EQ(prompt.strtext()->selectedText().toStdString(), "last");
  EXPECT_TRUE(prompt.confirmButton()->isDefault());
  prompt.strtext()->setText("typed");
  prompt.cancelButton()->click();
  EXPECT_EQ(prompt.text(), "typed");
  EXPECT_FALSE(prompt.confirmed());
  prompt.confirmButton()->click();
  EXPECT_TRUE(prompt.confirmed());

  Tlistwin pick(frontEnd_, {"List of Recent Files:", " Select: ", {"/a/one", "/b/two"}, 1101});
  EXPECT_FALSE(pick.selectButton()->isEnabled());
  pick.List()->item(1)->setSelected(true);
  EXPECT_TRUE(pick.selectButton()->isEnabled());
  pick.selectButton()->click();
  EXPECT_EQ(pick.picked(), "/b/two");
  EXPECT_EQ(pick.List()->count(), 0);  // emptied on closing

  Tattrform attributes(frontEnd_, platform::kDosHidden | platform::kDosDirectory);
  EXPECT_TRUE(attributes.readOnlyBox()->isEnabled());
  EXPECT_TRUE(attributes.hiddenBox()->isChecked());
  for (QCheckBox* fixed : {attributes.hiddenBox(), attributes.systemBox(), attributes.archiveBox()}) {
    EXPECT_FALSE(fixed->isEnabled());
  }
  attributes.readOnlyBox()->setChecked(true);
  EXPECT_EQ(attributes.Attributes(), platform::kDosReadOnly | platform::kDosHidden | platform::kDosDirectory);

  // Where nobody can see the windows, the dialog service answers for them.
  platform::ScriptedDialogs dialogs;
  dialogs.Enter("from the script");
  EXPECT_EQ(AskText(frontEnd_, {"Goto Line Number:", "Goto:", "&Goto", "", 1097}), "from the script");
  dialogs.Enter("/b/two");
  EXPECT_EQ(PickFromList(frontEnd_, {"L", "P", {"/a/one", "/b/two"}, 1}), "/b/two");
  EXPECT_EQ(EditAttributes(frontEnd_, "/a/one", 0), std::nullopt);
  EXPECT_EQ(dialogs.asked().back().caption, "Change File Attributes");
}

TEST_F(Dialogs, OpenDialogTakesTheReportsWhileOpenAndOpensOnlyAHighlightedFile) {
  Write(Path("docs/a.sbt"), "x");
  Write(Path("docs/b.sbt"), "x");
  frontEnd_.notifyTargets.SetMain(77);
  OpenRequest request;
  request.filter = "Batch files (*.sbt)|*.sbt|All files (*.*)|*.*";
  request.startFile = Path("docs/untitled");
  request.multiSelect = true;
  request.helpContext = 1105;
  {
    Topenform window(frontEnd_, request);
    EXPECT_EQ(window.windowTitle().toStdString(), "Open a File:");
    EXPECT_EQ(window.controls().Directory(), Path("docs"));
    EXPECT_FALSE(window.openButton()->isEnabled());
    ASSERT_NE(window.reportNumber(), 0);
    EXPECT_EQ(frontEnd_.notifyTargets.Current(), window.reportNumber());
    window.controls().fileList()->item(0)->setSelected(true);
    window.controls().fileList()->item(1)->setSelected(true);
    ASSERT_TRUE(window.openButton()->isEnabled());
    window.openButton()->click();
    EXPECT_FALSE(window.result().file.empty());
    EXPECT_EQ(window.result().selected, (std::vector<std::string>{"a.sbt", "b.sbt"}));
  }
  EXPECT_EQ(frontEnd_.notifyTargets.Current(), 77);

  platform::ScriptedDialogs dialogs;
  dialogs.ChooseFiles({Path("docs/b.sbt")});
  EXPECT_EQ(OpenFileDialog(frontEnd_, request).selected, std::vector<std::string>{"b.sbt"});
  EXPECT_EQ(dialogs.asked()[0].directory, Path("docs") + "/");
  EXPECT_TRUE(OpenFileDialog(frontEnd_, request).file.empty());
}

}  // namespace
