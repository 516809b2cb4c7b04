#include "script/script_program.h"

#include "platform/system/stop_signals.h"
#include "player/player_window.h"
#include "player/reporting_program.h"
#include "script/commands/command_context.h"
#include "script/language/run_loop.h"
#include "script/language/script_error.h"
#include "script/system/print_file.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"

namespace script {

namespace {

constexpr const char* kBanner = "VantScript V 3.0k";
constexpr const char* kVersionedTitle = "VantScript - V3.0k";
constexpr const char* kNotice = "Runs Vantrel presentation scripts.";

void ShowSyntaxBox(ScriptWindow& window) {
  window.ShowMessage(platform::DialogIcon::None, kScriptSyntax, std::string(kBanner) + "  " + kNotice);
}

void ShowPackageBox(ScriptWindow& window) {
  window.ShowMessage(platform::DialogIcon::Information,
                     "VantScript runs presentations written as scripts: videos, pictures, text, "
                     "keys and mouse areas, files and programs.\r\n"
                     "Its companions compress, convert, mix and play Vantrel videos.",
                     kVersionedTitle);
}

// A file the run wrote that could not be written whole: said, and the run fails.
int FailedWriting(const std::string& failure) {
  ShowPlayerMessage(platform::DialogIcon::Error, WritingErrorText(failure), "Error");
  return 1;
}

}  // namespace

int RunCommandScript(CommandContext& context, std::string commandText) {
  context.run.commandLine = commandText;
  std::string argument = TakeArgument(commandText);
  int exitCode = 0;
  try {
    if (argument.empty()) {
      std::string name = "autoexec.ss";
      if (!RunScript(context, name)) {
        ShowSyntaxBox(context.screen.window);
        exitCode = 1;
      }
    } else if (!RunScript(context, argument)) {
      ScriptError(context, "  Error opening:\r\n    ", {}, argument);
    }
  } catch (const ScriptFailure& failure) {
    CloseScriptWindow(context.screen);
    context.screen.window.ShowMessage(platform::DialogIcon::Error, failure.what(), "Error");
    exitCode = 1;
  } catch (const ScriptStopped&) {
    CloseScriptWindow(context.screen);
  }
  // However the run ended, what it printed goes to the printer, unless a signal stopped it.
  if (platform::StopSignalPending()) {
    DropPrinting(context.files, context.system.print);
    return 1;
  }
  if (const std::string failure = EndPrinting(context.files, context.system.print); !failure.empty()) {
    exitCode = FailedWriting(failure);
  }
  return exitCode;
}

int ScriptMain(std::string commandText, bool packageBox, PlaybackHook playbackHook) {
  CommandContext context(DefaultPlaybackWindow());
  context.screen.window.SetProgramTitle(kScriptTitle);
  context.screen.playbackHook = std::move(playbackHook);
  context.random.Seed(static_cast<uint32_t>(context.TimeSource().Now()));
  int exitCode = 1;
  if (SwitchLeftOver(commandText)) {
    ShowSyntaxBox(context.screen.window);
  } else {
    TrimText(commandText);
    CloseScriptWindow(context.screen);
    exitCode = RunCommandScript(context, commandText);
    if (const std::string failure = context.files.CloseAll(); !failure.empty()) exitCode = FailedWriting(failure);
    CloseScriptWindow(context.screen);
  }
  VantSetSystemRes(0);
  if (packageBox && !platform::StopSignalPending()) ShowPackageBox(context.screen.window);
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
