#pragma once
// Copying one file with the copy window: its progress bar and its Cancel button.
#include <string>

#include "frontend/files/dialog_window.h"
#include "platform/system/file_operations.h"

class QProgressBar;

namespace frontend {

class FrontEnd;

inline constexpr int kCopyFailed = 0;
inline constexpr int kCopyDone = 1;
inline constexpr int kCopyCancelled = 2;

struct CopyOutcome {
  int result = kCopyFailed;
  std::string target;  // the full name the copy went to
  int error = 0;       // the system's reason for a failed copy (an errno), when there is one
};

// Copies the source (a full path, or one relative to the console directory) to the target name
// that the target pattern (wildcards allowed) gives for it. A copy onto the source itself, under
// any form of its name, is refused with an error box. Nothing of a failed or cancelled copy is
// left behind. The window shows while it copies when someone can see it.
CopyOutcome CopyFiles(FrontEnd& frontEnd, const std::string& source, const std::string& target);

// The copy window: "Copying <name>..." with a progress bar in blocks of 8192 bytes.
class Tcopyform : public WorkWindow {
 public:
  explicit Tcopyform(FrontEnd& frontEnd);

  // Copies while the window is shown; Cancel (after asking) stops it.
  platform::CopyResult Copy(const std::string& source, const std::string& target);

  QProgressBar* progress() const { return bar_; }

 private:
  QProgressBar* bar_;
};

}  // namespace frontend
