#include "platform/face/dialogs.h"
#include "platform/face/display_env.h"
#include "platform/gui/qt_faces.h"
#include "platform/gui/qt_application.h"
#include "platform/system/stop_signals.h"
#include "testsupport/environment_guard.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <map>

using namespace platform;

namespace {

using Environment = testsupport::EnvironmentGuard;

TEST(DisplayEnvironment, ConsoleWithoutDisplayAndNoPersonOnOffscreen) {
  Environment env;
  env.Set("DISPLAY", nullptr);
  env.Set("WAYLAND_DISPLAY", nullptr);
  env.Set("QT_QPA_PLATFORM", nullptr);
  EXPECT_FALSE(WindowsAvailable());
  EXPECT_FALSE(PersonCanAnswer());
  env.Set("QT_QPA_PLATFORM", "offscreen");
  EXPECT_TRUE(WindowsAvailable());
  EXPECT_FALSE(PersonCanAnswer());
  EXPECT_FALSE(DialogsAreInteractive());
  env.Set("QT_QPA_PLATFORM", "xcb");
  EXPECT_TRUE(PersonCanAnswer());  // displays named in DISPLAY are tried in display_env_test
}

TEST(Dialogs, ScriptedAnswersInOrderThenDefaults) {
  ScriptedDialogs dialogs;
  dialogs.Answer(DialogAnswer::Yes);
  dialogs.ChooseFiles({"/a b/one.vnt", "/two.vnt"});
  dialogs.Answer(DialogAnswer::No);

  EXPECT_TRUE(AskYesNo("Tool", "Do you want to cancel?", true));
  EXPECT_EQ(PromptOpenFiles("Open", "/tmp", "Videos (*.vnt)"),
            (std::vector<std::string>{"/a b/one.vnt", "/two.vnt"}));
  EXPECT_EQ(AskYesNoCancel("Tool", "Delete?", DialogAnswer::Cancel), DialogAnswer::No);
  // Script used up: the defaults.
  EXPECT_FALSE(AskYesNo("Tool", "Again?", true));
  EXPECT_TRUE(AskYesNo("Tool", "Again?", false));
  EXPECT_EQ(PromptSaveFile("Save", "/tmp", "x.vnt", ""), std::nullopt);

  ASSERT_EQ(dialogs.asked().size(), 6u);
  EXPECT_EQ(dialogs.asked()[0].text, "Do you want to cancel?");
  EXPECT_EQ(dialogs.asked()[0].buttons, DialogButtons::YesNo);
  EXPECT_EQ(dialogs.asked()[0].defaultAnswer, DialogAnswer::No);
  EXPECT_EQ(dialogs.asked()[1].kind, DialogKind::OpenFiles);
  EXPECT_EQ(dialogs.asked()[1].directory, "/tmp");
  EXPECT_EQ(dialogs.asked()[2].buttons, DialogButtons::YesNoCancel);
  EXPECT_EQ(dialogs.asked()[5].fileName, "x.vnt");
}

TEST(Dialogs, TextPromptsAndChoicesGiveTheTypedOrPickedEntry) {
  ScriptedDialogs dialogs;
  dialogs.Enter("new folder");
  dialogs.Enter("/home/ann");
  EXPECT_EQ(PromptText("Make New Directory:", "Make in /tmp:", "x"), "new folder");
  EXPECT_EQ(PromptChoice("List of Recent Directories:", "Pick:", {"/tmp", "/home/ann"}),
            "/home/ann");
  // Used up: cancelled; and an empty list offers nothing at all.
  EXPECT_EQ(PromptText("Again", "Label", ""), std::nullopt);
  EXPECT_EQ(PromptChoice("Empty", "Pick:", {}), std::nullopt);
  ASSERT_EQ(dialogs.asked().size(), 3u);
  EXPECT_EQ(dialogs.asked()[0].kind, DialogKind::Text);
  EXPECT_EQ(dialogs.asked()[0].value, "x");
  EXPECT_EQ(dialogs.asked()[1].kind, DialogKind::Choice);
  EXPECT_EQ(dialogs.asked()[1].choices, (std::vector<std::string>{"/tmp", "/home/ann"}));
}

TEST(Dialogs, ConsoleFacePrintsAndTakesTheDefault) {
  const std::unique_ptr<DialogFace> console = MakeConsoleDialogFace();
  ScopedDialogFace scope(*console);
  testing::internal::CaptureStderr();
  ShowMessageBox("VantC", "Error opening the input file.\r\n  clip.flc", DialogIcon::Error);
  const bool overwrite = AskYesNo("VantC", "File out.vnt exists, overwrite?", true);
  const DialogAnswer answer = AskYesNoCancel("", "Save?", DialogAnswer::Yes);
  const auto file = PromptOpenFile("Open a File:", "/tmp", "");
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(overwrite);
  EXPECT_EQ(answer, DialogAnswer::Yes);
  EXPECT_FALSE(file);
  EXPECT_EQ(printed,
            "VantC: Error opening the input file.\n  clip.flc\n"
            "VantC: File out.vnt exists, overwrite? -> No\n"
            "Save? -> Yes\n"
            "Open a File: -> no file chosen\n");
}

// Acts on the next modal dialog as soon as it shows, the way a person would, and again on
// every tick while that dialog stays open (a busy machine may show it before it is ready to
// take the answer); a notice the dialog opens on top of itself is handed to `act` too. The
// first dialog seen is the one answered: once it closes, the helper is done. After 20 seconds
// every modal dialog is rejected, so that a dialog that ignores its answer fails the test
// instead of hanging it.
void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  auto target = std::make_shared<QPointer<QWidget>>();
  auto seen = std::make_shared<bool>(false);
  auto deadline = std::make_shared<QElapsedTimer>();
  deadline->start();
  QObject::connect(timer, &QTimer::timeout, [timer, act, target, seen, deadline] {
    QWidget* modal = QApplication::activeModalWidget();
    if (*seen && (target->isNull() || !(*target)->isVisible())) {
      timer->stop();
      timer->deleteLater();
      return;
    }
    if (modal == nullptr) return;
    if (deadline->elapsed() > 20000) {
      ADD_FAILURE() << "a modal dialog did not take its answer";
      while (QWidget* open = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(open)) dialog->reject(); else open->close();
      }
      timer->stop();
      timer->deleteLater();
      return;
    }
    if (!*seen) {
      *seen = true;
      *target = modal;
    }
    act(modal);
  });
  timer->start(50);
}

TEST(Dialogs, QtFaceOnTheOffscreenPlatform) {
  ASSERT_TRUE(MakeGuiApplication());
  const std::unique_ptr<DialogFace> qt = MakeQtDialogFace();
  ScopedDialogFace scope(*qt);

  QString shownText;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    shownText = box->text();
    defaultButton = box->standardButton(box->defaultButton());
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(AskYesNo("VantC", "Do you want to cancel?", true));
  EXPECT_EQ(shownText, "Do you want to cancel?");
  EXPECT_EQ(defaultButton, QMessageBox::No);

  WhenModal([](QWidget* modal) {  // Escape answers No
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(modal, &escape);
  });
  EXPECT_FALSE(AskYesNo("VantC", "Overwrite?", false));

  QTemporaryDir scratch;
  const std::string chosen = scratch.path().toStdString();
  fclose(fopen((chosen + "/clip.vnt").c_str(), "w"));
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) {  // a notice of the file dialog's own: dismiss it and try again
      if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
      return;
    }
    // Typed into the name box: selectFile() leaves the box alone once it has the focus,
    // which the offscreen platform gives it at an unpredictable moment.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(chosen + "/clip.vnt"));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  const auto file = PromptOpenFile("Open a File:", chosen, "Videos (*.vnt)");
  ASSERT_TRUE(file);
  EXPECT_EQ(*file, chosen + "/clip.vnt");
}

// A stop signal ends the dialog that waits with the answer Escape gives, and no dialog after it
// waits for anyone: each gives its escape answer at once.
TEST(Dialogs, StopSignalEndsTheWaitingDialogAndAnyAfterIt) {
  ASSERT_TRUE(MakeGuiApplication());
  const std::unique_ptr<DialogFace> qt = MakeQtDialogFace();
  ScopedDialogFace scope(*qt);
  platform::InstallStopSignals();

  bool signalled = false;
  WhenModal([&](QWidget*) {
    if (!signalled) std::raise(SIGTERM);  // as a person would not: the box stays unanswered
    signalled = true;
  });
  EXPECT_EQ(AskYesNoCancel("VantPlay", "Save?", DialogAnswer::Yes), DialogAnswer::Cancel);
  EXPECT_TRUE(signalled);

  // Any dialog that did show now is dismissed by this timer and counted.
  int shown = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&shown] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ++shown;
      dialog->reject();
    }
  });
  watch.start(20);
  EXPECT_FALSE(AskYesNo("VantPlay", "Again?", false));
  ShowMessageBox("VantPlay", "Summary", DialogIcon::None);
  EXPECT_EQ(PromptOpenFile("Open a File:", "/tmp", ""), std::nullopt);
  EXPECT_EQ(PromptText("Name", "Label", "x"), std::nullopt);
  watch.stop();
  EXPECT_EQ(shown, 0);
  platform::RemoveStopSignals();
}

}  // namespace
