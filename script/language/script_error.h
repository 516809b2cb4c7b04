#pragma once
// The one error path of the script player: every script error ends the whole run. ScriptError
// builds the message with the place of the error, writes it to the trace and throws; the run's
// frame (ScriptMain) catches it, closes the window, shows the message and ends.
#include <stdexcept>
#include <string>
#include <string_view>

namespace script {

class ScriptContext;

class ScriptFailure : public std::runtime_error {
 public:
  explicit ScriptFailure(const std::string& text) : std::runtime_error(text) {}
};

// Thrown from a round of the run (after a command, in any wait) once a stop signal arrived: the
// run ends there as after an error, but without a message.
struct ScriptStopped {};

// The message box text of an error: the message (one leading blank dropped when shown), the
// detail, the extra text and, while a script runs, "  In script file: NAME  At line number: N.\r\n".
std::string ScriptErrorText(const ScriptContext& context, std::string_view message,
                            std::string_view detail, std::string_view extra);

[[noreturn]] void ScriptError(ScriptContext& context, std::string_view message,
                              std::string_view detail = {}, std::string_view extra = {});

// The shared errors of the parameters, each with the command line.
[[noreturn]] void ErrorNeedVariable(ScriptContext& context);
[[noreturn]] void ErrorNeedParameter(ScriptContext& context);
[[noreturn]] void ErrorNeedNonEmpty(ScriptContext& context);
[[noreturn]] void ErrorNeedNumber(ScriptContext& context);
// "  Bad script command:" with the command line.
[[noreturn]] void ErrorBadCommand(ScriptContext& context);
// "  Bad frame parameter:", "  Bad animation parameter:", "  Bad file parameter:" with the line:
// a number that names no open slot of its kind.
[[noreturn]] void ErrorBadFrame(ScriptContext& context);
[[noreturn]] void ErrorBadAnimation(ScriptContext& context);
[[noreturn]] void ErrorBadFile(ScriptContext& context);
// A file of the script's that could not be written: `failure` says which and why.
[[noreturn]] void ErrorWriting(ScriptContext& context, const std::string& failure);
// The same text, for a failure found when the run has ended.
std::string WritingErrorText(const std::string& failure);

}  // namespace script
