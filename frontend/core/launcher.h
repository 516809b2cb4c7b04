#pragma once
// The tool launcher: every program start of the front end goes through RunCommand. Built-in
// console commands are carried out in the front end; a tool of the toolkit gets its program
// from the program directory and the report switch; anything else is started unchanged.
#include <string>
#include <utility>

namespace frontend {

class FrontEnd;

// Where a command comes from. Tools started from the Command page or a batch get the extra
// "/#" that closes their status window at once; only a command the user gives right now (typed
// or from a page) turns into a comment while SHIFT is held; batch lines stay out of the recent
// commands.
enum class CommandOrigin { Page, Typed, Batch, StartUp };

struct RunOutcome {
  bool toolStarted = false;  // a tool of the table was mapped and its program really started
  int processId = 0;         // of any program started (0: none)
  int startError = 0;        // errno of a start that failed ("  Command not found." on the console)
};

// Trimmed; a first word that begins with '"' runs to the next '"' (quotes kept), otherwise to
// the first character at or below the blank. Both parts come back trimmed.
std::pair<std::string, std::string> SplitFirstWord(const std::string& text);

// The name without its directory when that directory is `directory` (compared exactly), else
// the whole name; trimmed and in double quotes.
std::string QuoteRelativeName(const std::string& name, const std::string& directory);

// "%1" to "%9" replaced by the parameters' first to ninth word (missing words are empty), in
// one pass from left to right: a replaced text is not looked at again, "%10" is word 1 then 0.
std::string ExpandBatchParams(const std::string& command, const std::string& parameters);

// The program a tool word names ("vantc" or "VantCW.exe" -> "vantcw"), or "" for no tool.
std::string ToolProgramName(const std::string& firstWord);

// Rewrites a command whose first word names a tool: the program with the program directory in
// front, the rest, " /#" and the notify number, and "/#" behind it when closeAtOnce. False (and
// the command unchanged) for any other command.
bool MapToolCommand(const FrontEnd& frontEnd, std::string& command, bool closeAtOnce);

// Runs a command in a directory (empty: the console directory).
RunOutcome RunCommand(FrontEnd& frontEnd, const std::string& directory, const std::string& command,
                      CommandOrigin origin = CommandOrigin::Page);

// RunCommand for a page's button that starts one program: a start that fails is also said in an
// error box, since the console that says "  Command not found." is on another page.
void RunProgramForPage(FrontEnd& frontEnd, const std::string& directory, const std::string& command);

// Opens a file with what suits its type: executables run, list files open in the list editor,
// videos play, pictures show in the viewer, anything else goes to the desktop's opener.
void OpenFileByType(FrontEnd& frontEnd, const std::string& file);

// The pages' permanent frame-rate button: checks the rate and the file, asks, and runs the
// frame-rate changer on the file.
void SetPermanentFrameRate(FrontEnd& frontEnd, const std::string& file, const std::string& rate);

}  // namespace frontend
