#pragma once
// The small dialogs the pop-up menus (and later the pages) ask through. Each is a hook, so a
// window that comes later puts itself in place and tests put in fakes. The defaults go through
// the dialog service; a hook that is empty has no window yet, and its menu entry is greyed.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace frontend {

class FileControls;
class FrontEnd;

// 0: ask before overwriting an existing file; 1: the file must not exist; 2: accept it.
enum class OverwritePolicy { Ask = 0, MustNotExist = 1, Accept = 2 };

struct OutputNameRequest {
  std::string caption;
  std::string prompt;
  std::string button;
  std::string proposal;  // full name offered
  std::string filter;    // "description|mask|..."
  int filterIndex = 0;
  OverwritePolicy policy = OverwritePolicy::Ask;
  int helpContext = 0;
};

struct TextRequest {
  std::string caption;
  std::string label;
  std::string button;
  std::string offered;
  int helpContext = 0;
};

struct PickRequest {
  std::string caption;
  std::string prompt;
  std::vector<std::string> entries;
  int helpContext = 0;
};

struct FrontEndDialogs {
  // The chosen full name, or empty when cancelled.
  std::function<std::string(const OutputNameRequest&)> askOutputName;
  std::function<std::optional<std::string>(const TextRequest&)> askText;
  std::function<std::optional<std::string>(const PickRequest&)> pickFromList;
  // The attribute window: the new bits for the file, or nothing when cancelled.
  std::function<std::optional<unsigned>(const std::string& file, unsigned attributes)>
      editAttributes;
  // The file finder: the chosen file for the pattern (a full path), or empty.
  std::function<std::string(const std::string& pattern)> findFile;
  // A new list file of the highlighted files: its name, or empty when none was saved.
  std::function<std::string(FileControls& controls)> newListFromSelection;
  // The windows the console opens. The text editor on a file (empty: a new batch).
  std::function<void(const std::string& file)> editTextFile;
  // The list editor on a list file: the name to use afterwards (empty when discarded).
  std::function<std::string(const std::string& file)> editListFile;
  // Runs a batch file with the words that followed its name.
  std::function<void(const std::string& file, const std::string& parameters)> runBatchFile;
};

// The defaults: output name, text and pick through the dialog service; the others empty.
FrontEndDialogs ServiceDialogs(FrontEnd& frontEnd);

// The filter in the dialog service's form ("Sound files (*.wav);;All files (*)").
std::string ServiceFilter(const std::string& filter);

// Whether a chosen output name may be used under the policy (asking or telling the user).
// Accept takes an existing file only when it is the proposal itself under another name: a
// rename never replaces another file.
bool AcceptOutputName(FrontEnd& frontEnd, const std::string& name, OverwritePolicy policy,
                      const std::string& proposal = "");

}  // namespace frontend
