#include "frontend/core/help.h"

#include <sys/stat.h>

#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_format.h"

namespace frontend {
namespace {

constexpr const char* kContentsPage = "index.html";

struct ContextPage {
  int context;
  const char* file;
};

// One page per window and tab; windows that come later add their rows.
const ContextPage kContextPages[] = {
    {kHowDoIHelpContext, "how_do_i.html"},
    {1107, "main_page.html"},
    {1085, "vant_page.html"},
    {1077, "mixer_page.html"},
    {1078, "player_page.html"},
    {1080, "scriptor_page.html"},
    {1081, "graphics_page.html"},
    {1082, "sound_page.html"},
    {1083, "command_page.html"},
    {1086, "command_page.html"},  // recent commands
    {1090, "command_page.html"},  // saving the history
    {1103, "file_finder.html"},
    {1099, "file_finder.html"},  // the list of found files
    {1104, "text_editor.html"},
    {1105, "text_editor.html"},  // its open dialog
    {1088, "text_editor.html"},  // saving a text
    {1106, "file_attributes.html"},
    {1102, "batch_runner.html"},
    {1110, "list_editor.html"},
};

struct KeywordPage {
  const char* keyword;  // compared ignoring case; a trailing ':' matches every keyword it begins
  const char* file;
};

const KeywordPage kKeywordPages[] = {
    {"Main Window", kContentsPage},
    {"Analysis Window", "analysis_window.html"},
    {"VantScript:", "scriptor_page.html"},
    {"How do I", "how_do_i.html"},
};

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string HelpFileForContext(int context) {
  for (const ContextPage& page : kContextPages) {
    if (page.context == context) return page.file;
  }
  return kContentsPage;
}

std::string HelpFileForKeyword(const std::string& keyword) {
  const std::string wanted = LowerCase(TrimBlanks(keyword));
  for (const KeywordPage& page : kKeywordPages) {
    const std::string key = LowerCase(page.keyword);
    const bool prefix = !key.empty() && key.back() == ':';
    if (prefix ? wanted.rfind(key, 0) == 0 : wanted == key) return page.file;
  }
  return kContentsPage;
}

// Beside the program in the build; in share/vant/help/ of the tree it is installed into.
std::string HelpDirectory(const FrontEnd& frontEnd) {
  const std::string besideProgram = frontEnd.ProgramDirectory() + "help/";
  const std::string installed = frontEnd.ProgramDirectory() + "../share/vant/help/";
  if (!IsFile(besideProgram + kContentsPage) && IsFile(installed + kContentsPage)) return installed;
  return besideProgram;
}

bool ShowHelpFile(FrontEnd& frontEnd, const std::string& file) {
  const std::string path = HelpDirectory(frontEnd) + file;
  if (!IsFile(path)) {
    InfoBox(frontEnd, "The help is not installed: " + path + " was not found.");
    return false;
  }
  if (!frontEnd.starter().Start("xdg-open " + Quoted(path), "").started) {
    ErrorBox(frontEnd, "Error, no web browser could be started to show " + path + ".");
    return false;
  }
  return true;
}

bool ShowContextHelp(FrontEnd& frontEnd, int context) {
  return ShowHelpFile(frontEnd, HelpFileForContext(context));
}

bool ShowTabHelp(FrontEnd& frontEnd) { return ShowContextHelp(frontEnd, frontEnd.helpContext); }

bool ShowHowDoIHelp(FrontEnd& frontEnd) { return ShowContextHelp(frontEnd, kHowDoIHelpContext); }

bool ShowHelpKeyword(FrontEnd& frontEnd, const std::string& keyword) {
  return ShowHelpFile(frontEnd, HelpFileForKeyword(keyword));
}

}  // namespace frontend
