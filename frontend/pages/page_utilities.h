#pragma once
// What every tool page does with its file controls, output edit and temporary files.
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

namespace frontend {

class FileControls;
class FrontEnd;
class PopupMenus;

// Gives the controls the main window's pop-up menus, the filter and its index, the remembered
// directory (the program directory when it cannot be entered) and the remembered file (else
// the first one), then tells the controls' selection handler.
void RestoreFileListState(FrontEnd& frontEnd, PopupMenus& menus, FileControls& files,
                          const std::string& filter, int filterIndex, const std::string& directory,
                          const std::string& fileName);
// The list's directory and the highlighted file's name (empty when none is).
void SaveFileListState(const FileControls& files, std::string& fileName, std::string& directory);
// Reads the list again under the hourglass, highlighting `name` when given (a name or a path
// in the list's directory), else the names highlighted before, else the row highlighted before
// (the last row when the list got shorter); tells the selection handler.
void RefreshFileList(FileControls& files, const std::string& name = "");
// The row of the name in the list (compared exactly: names keep their case), or -1.
int FindListItem(const FileControls& files, const std::string& name);

// Fills the output edit with the default name for the highlighted input and remembers what it
// was based on; `extension` without its '.'.
void DefaultOutputName(const FileControls& files, std::string& basedOn, QLineEdit& output,
                       const std::string& prefix, const std::string& extension);

// After a tool was run on them: the input and the output (a name without directory lies in the
// list's directory) go to the top of the recent files.
void AddRunToRecentFiles(FrontEnd& frontEnd, const std::string& input, const std::string& output,
                         const std::string& listDirectory);

// A new empty file of its own name in the temporary directory ($TMPDIR, else /tmp), created
// exclusively; "" when none could be made.
std::string MakeTempFileName();
// Writes the lines, each ended by a line break, in place of the file's old text at once; false
// (the old text kept) when anything failed.
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

// Escape anywhere on the page presses the button, as it does a dialog's cancel button.
void SetCancelButton(QWidget& page, QPushButton& button);

// "Reset all options to their default values?"; true for Yes.
bool ConfirmResetDefaults(FrontEnd& frontEnd);

}  // namespace frontend
