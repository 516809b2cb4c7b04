// vantrelw: the front end of the toolkit.
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "frontend/console/console_windows.h"
#include "frontend/core/front_end.h"
#include "frontend/files/output_name_dialog.h"
#include "frontend/pages/script_command.h"
#include "frontend/shell/page_registry.h"
#include "frontend/shell/start_up.h"
#include "frontend/shell/topwin.h"
#include "platform/face/display_env.h"
#include "platform/gui/qt_application.h"
#include "platform/gui/qt_faces.h"
#include "platform/gui/stop_requests.h"
#include "platform/system/program_help.h"
#include "platform/system/program_start.h"
#include "platform/system/stop_signals.h"

namespace {

std::string CurrentDirectory() {
  char path[PATH_MAX];
  return getcwd(path, sizeof path) ? std::string(path) : std::string("/");
}

}  // namespace

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "vantrelw", frontend::kStartUpUsage)) {
    return *answered;
  }
  // SIGINT, SIGTERM and SIGHUP end the front end at any moment, a dialog that waits included:
  // every event loop ends, the windows go with their report endpoints, exit code 1.
  platform::InstallStopSignals();
  if (!platform::WindowsAvailable()) {
    std::fputs("vantrelw: no display to show the front end on.\n", stderr);
    return 1;
  }
  platform::FilterQtMessages();
  QApplication application(argc, argv);
  platform::UseQtFacesInProcess();
  platform::QuitOnStopRequest();
  QApplication::setApplicationName(QStringLiteral("Vantrel for Windows"));

  std::vector<std::string> arguments(argv + 1, argv + argc);
  const frontend::StartUpArguments startUp = frontend::ScanStartUpArguments(arguments);

  frontend::SystemProgramStarter starter;
  frontend::FrontEnd frontEnd(starter);
  frontend::InstallConsoleWindows(frontEnd);
  frontEnd.settings =
      frontend::LoadStartUpSettings(startUp, platform::OwnProgramDirectory(), CurrentDirectory());
  if (chdir(frontEnd.ConsoleDirectory().c_str()) != 0) {
    // The current directory stays; the console directory was checked when read.
  }
  const QString separator = QLocale::system().groupSeparator();
  if (!separator.isEmpty()) frontEnd.thousandsSeparator = separator.left(16).toStdString();
  frontEnd.shiftHeld = [] {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
  };

  frontend::Ttopwin topwin(frontEnd, frontend::StandardPages());
  frontend::InstallOutputNameDialog(frontEnd, &topwin.menus());
  // Away from the Scriptor tab nothing else asks about an unsaved script.
  topwin.AddCloseGuard([&frontEnd, &topwin] {
    return topwin.CurrentTab() == frontend::kScriptorTab || frontend::ConfirmHeldScriptSave(frontEnd);
  });
  topwin.SetSettingsPath(startUp.settingsPath);
  topwin.SetPendingCommand(startUp.pendingCommand);
  topwin.show();
  const int exitCode = platform::ExitCodeAfterStopSignals(application.exec());
  return topwin.SettingsSaveFailed() ? 1 : exitCode;
}
