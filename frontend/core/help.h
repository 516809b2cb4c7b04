#pragma once
// Help: a context number or a keyword opens a page of the front end's own help, HTML files
// installed beside the programs in help/, in the desktop's browser.
#include <string>

namespace frontend {

class FrontEnd;

inline constexpr int kHowDoIHelpContext = 1070;

// The page of a context number or keyword; the contents page for one without a page.
std::string HelpFileForContext(int context);
std::string HelpFileForKeyword(const std::string& keyword);

// Where the pages are: the program directory's help/.
std::string HelpDirectory(const FrontEnd& frontEnd);

// Opens the page; an information box says so when it is not installed, an error box when no
// browser could be started. True when a browser was started on it.
bool ShowHelpFile(FrontEnd& frontEnd, const std::string& file);
bool ShowContextHelp(FrontEnd& frontEnd, int context);
// Help for the context in force (the current tab's, or the open dialog's).
bool ShowTabHelp(FrontEnd& frontEnd);
bool ShowHowDoIHelp(FrontEnd& frontEnd);
bool ShowHelpKeyword(FrontEnd& frontEnd, const std::string& keyword);

}  // namespace frontend
