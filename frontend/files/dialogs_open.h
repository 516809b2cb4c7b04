#pragma once
// The open dialog on the shared file controls: the text editor's "&Open" and the list editor's
// "&Insert". While it is open it takes the tools' reports and its controls are what the file
// pop-up menus work on.
#include <memory>
#include <string>
#include <vector>

#include <QPointer>

#include "frontend/files/dialog_window.h"
#include "frontend/files/file_controls.h"

namespace frontend {

class ReportEndpoint;

struct OpenRequest {
  std::string caption = "Open a File:";
  std::string prompt = " Highlight a file to open: ";
  std::string button = "&Open";
  std::string filter;     // "description|mask|..."
  int filterIndex = 0;
  std::string mask;       // one of its own, when not the filter's
  bool multiSelect = false;
  std::string startFile;  // its directory is shown first (and it is highlighted)
  int helpContext = 0;
};

struct OpenResult {
  std::string file;                   // the chosen file's path; empty when cancelled
  std::vector<std::string> selected;  // every highlighted name, without directory, in list order
};

class Topenform : public DialogWindow {
 public:
  Topenform(FrontEnd& frontEnd, const OpenRequest& request);
  ~Topenform() override;

  FileControls& controls() const { return *controls_; }
  QPushButton* openButton() const { return open_; }
  // The endpoint the tools started from here report to (0 when none could be made).
  int32_t reportNumber() const;

  const OpenResult& result() const { return result_; }

 private:
  void Open();

  FileControls* controls_;
  QPushButton* open_;
  std::unique_ptr<ReportEndpoint> endpoint_;
  QPointer<FileControls> previousTarget_;  // what the pop-up menus worked on before
  OpenResult result_;
};

// The window when someone can see it; otherwise the dialog service answers.
OpenResult OpenFileDialog(FrontEnd& frontEnd, const OpenRequest& request);

}  // namespace frontend
