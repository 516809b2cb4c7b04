#include "script/script_program.h"

#include "platform/system/stop_signals.h"
#include "player/player_window.h"
#include "player/reporting_program.h"
#include "script/print_file.h"
#include "script/run_loop.h"
#include "script/script_context.h"
#include "script/script_error.h"
#include "script/script_wait.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"

namespace script {

namespace {

constexpr const char* kBanner = "VantScript V 3.0k";
constexpr const char* kVersionedTitle = "VantScript - V3.0k";
constexpr const char* kNotice = "Runs Vantrel presentation scripts.";

void ShowSyntaxBox() {
  ShowPlayerMessage(platform::DialogIcon::None, kScriptSyntax, std::string(kBanner) + "  " + kNotice);
}

void ShowPackageBox() {
  ShowPlayerMessage(platform::DialogIcon::Information,
                    "VantScript runs presentations written as scripts: videos, pictures, text, "
                    "keys and mouse areas, files and programs.\r\n"
                    "Its companions compress, convert, mix and play Vantrel videos.",
                    kVersionedTitle);
}

}  // namespace

int RunCommandScript(ScriptContext& context, std::string commandText) {
  context.run.commandLine = commandText;
  std::string argument = TakeArgument(commandText);
  int exitCode = 0;
  try {
    if (argument.empty()) {
      std::string name = "autoexec.ss";
      if (!RunScript(context, name)) {
        ShowSyntaxBox();
        exitCode = 1;
      }
    } else if (!RunScript(context, argument)) {
      ScriptError(context, "  Error opening:\r\n    ", {}, argument);
    }
  } catch (const ScriptFailure& failure) {
    CloseScriptWindow(context);
    ShowPlayerMessage(platform::DialogIcon::Error, failure.what(), "Error");
    exitCode = 1;
  } catch (const ScriptStopped&) {
    CloseScriptWindow(context);
  }
  // However the run ended, what it printed goes to the printer, unless a signal stopped it.
  if (platform::StopSignalPending()) {
    DropPrinting(context);
    return 1;
  }
  EndPrinting(context);
  return exitCode;
}

int ScriptMain(std::string commandText, bool packageBox) {
  SetPlayerProgramTitle(kScriptTitle);
  ScriptContext context;
  context.random.Seed(static_cast<uint32_t>(context.TimeSource().Now()));
  int exitCode = 1;
  if (SwitchLeftOver(commandText)) {
    ShowSyntaxBox();
  } else {
    TrimText(commandText);
    CloseScriptWindow(context);
    exitCode = RunCommandScript(context, commandText);
    context.files.CloseAll();
    CloseScriptWindow(context);
  }
  VantSetSystemRes(0);
  if (packageBox && !platform::StopSignalPending()) ShowPackageBox();
  return platform::StopSignalPending() ? 1 : exitCode;
}

std::string ScriptReportText() { return std::string(kVersionedTitle) + "  " + kNotice; }

int ScriptWinMain(int argc, const char* const* argv) {
  // SIGINT, SIGTERM and SIGHUP stop the run: its files are closed with what it wrote, exit 1.
  platform::InstallStopSignals();
  return RunReportingProgram(argc, argv, ScriptReportText(), [](std::string text, bool packageBox) {
    return ScriptMain(std::move(text), packageBox);
  });
}

}  // namespace script
