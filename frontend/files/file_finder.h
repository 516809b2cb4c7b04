#pragma once
// The file finder: every file below a directory whose name matches a pattern, with the window
// "Finding File..." counting while it searches.
#include <functional>
#include <string>
#include <vector>

#include "frontend/files/dialog_window.h"

class QLabel;

namespace frontend {

class ConsoleLines;
class FrontEnd;

inline constexpr int kFinderHelpContext = 1103;
inline constexpr int kFoundListHelpContext = 1099;

struct FinderProgress {
  size_t directoriesSearched = 0;
  std::string currentDirectory;
  size_t filesFound = 0;
};

// Searches depth first from the directory for files (read-only and hidden ones included) whose
// names match the mask, ignoring case. Links to directories and directories whose names begin
// with '.' are not entered, and what cannot be read is passed over, so the search always ends.
// `found` hears of each find; `step` is told after every directory and find, and stops the
// search by returning false. Gives the full paths, names as they are.
std::vector<std::string> SearchFiles(const std::string& directory, const std::string& mask,
                                     const std::function<void(const std::string& path)>& found,
                                     const std::function<bool(const FinderProgress&)>& step);

// The pattern (quotes removed; relative to the console directory) names the directory to start
// in and the mask. With a console the finds go to it as lines and the result is empty; without,
// the user picks one from the list of finds, which is the result (empty when none was picked or
// nothing was found, which an error box tells).
std::string FindFiles(FrontEnd& frontEnd, const std::string& pattern, ConsoleLines* console);

class Tfindform : public WorkWindow {
 public:
  explicit Tfindform(FrontEnd& frontEnd);

  // Searches while the window is shown; Cancel (after asking) stops it.
  std::vector<std::string> Search(const std::string& directory, const std::string& mask,
                                  const std::function<void(const std::string& path)>& found);

  QLabel* searchedLabel() const { return searched_; }
  QLabel* currentLabel() const { return current_; }
  QLabel* foundLabel() const { return found_; }

 private:
  QLabel* searched_;
  QLabel* current_;
  QLabel* found_;
};

}  // namespace frontend
