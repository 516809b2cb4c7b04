#pragma once
// The script player program: runs the script named on its command line (or "autoexec.ss") and
// reports to the front end when it was started by one.
#include <string>

#include "script/screen/animation_player.h"

namespace script {

inline constexpr const char* kScriptTitle = "VantScript";
inline constexpr const char* kScriptSyntax = "  Syntax:  VantScr  <Vantrel Script[.ss]>";

// The program entry: command text, report switch, run, report. Returns the exit code.
int ScriptWinMain(int argc, const char* const* argv);

// Runs the command text's script. Returns 0 when it ran to its end; 1 after a script error,
// when the script could not be opened, or after the syntax box (a switch left over, or no
// argument and no "autoexec.ss"). With `packageBox` an information box ends the run. The
// playback hook, when given, runs as the screen's (measuring).
int ScriptMain(std::string commandText, bool packageBox = true, PlaybackHook playbackHook = {});

class CommandContext;

// The run inside ScriptMain: the script named by the command text's first argument (else
// "autoexec.ss") runs in the context; a script error closes the window and shows its message.
// The exit code as ScriptMain gives it (the syntax box only for a missing "autoexec.ss").
int RunCommandScript(CommandContext& context, std::string commandText);

// The text the script player reports to the front end.
std::string ScriptReportText();

}  // namespace script
