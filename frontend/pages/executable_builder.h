#pragma once
// The executable builder: binds the video highlighted on the Player page and the page's player
// switches into a copy of the player that plays them by itself. The binder's command comes from
// a plain record (BuildBinderCommand); the window shows the record in its controls, starts the
// binder and, while it is open, takes the binder's report to the console.
#include <memory>
#include <string>

#include "frontend/files/dialog_window.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace frontend {

class FileControls;
class FrontEnd;
class ReportEndpoint;
class ScopedMenuTarget;

struct ExecutableBuild {
  std::string inputFile;        // the video's full name; the binder runs in its directory
  std::string outputDirectory;  // where the directory list is
  std::string outputName;       // the name field: a name in that directory, or a full name
  std::string videos;           // "Compile what Vantrel files:", names separated by blanks
  std::string playerSwitches;   // "Create with what player switches:"

  bool operator==(const ExecutableBuild&) const = default;
};

// What the window shows first: the output is the video's name with ".exe" beside it, the video
// list the video's name in double quotes, the switches trimmed.
ExecutableBuild StartingBuild(const std::string& inputFile, const std::string& playerSwitches);

// The output's full name.
std::string OutputExecutable(const ExecutableBuild& build);

// The only player the toolkit delivers, in the program directory (with its trailing '/').
std::string DeliveredPlayer(const std::string& programDirectory);

// "VntCompi " + the player + the output + the switches in double quotes + the videos. Every
// name is in double quotes; the output is written without its directory when that directory is
// the input's (compared exactly: names keep their case).
std::string BuildBinderCommand(const ExecutableBuild& build, const std::string& programDirectory);

class Tselff : public DialogWindow {
 public:
  // `owner` the window it belongs to (the Player page); none: the main window.
  Tselff(FrontEnd& frontEnd, const std::string& inputFile, const std::string& playerSwitches,
         QWidget* owner);
  ~Tselff() override;

  // The record as the controls show it, and the controls from a record.
  ExecutableBuild CurrentBuild() const;
  void ShowBuild(const ExecutableBuild& build);

  // "Co&mpile": runs the binder; the window stays open for further builds.
  void CompilePressed();
  // The player's own list of its switches; nothing reports back.
  void ListPressed();
  // Reads the output list again, keeping the file highlighted.
  void RefreshOutputList();

  FileControls& outputFiles() { return *files_; }
  QLineEdit& outputEdit() { return *output_; }
  QLineEdit& videosEdit() { return *videos_; }
  QLineEdit& switchesEdit() { return *switches_; }
  QPushButton& compileButton() { return *compile_; }
  QRadioButton& systemButton(int number);  // 1 to 3: os1 to os3
  // The endpoint the binder reports to while the window is open (0 when none could be made).
  int32_t reportNumber() const;

 private:
  void OutputFileChanged();
  void OutputTextChanged();

  std::string input_;
  std::string defaultOutput_;
  FileControls* files_;
  QLineEdit* output_;
  QLineEdit* videos_;
  QLineEdit* switches_;
  QRadioButton* systems_[3];
  QPushButton* compile_;
  std::unique_ptr<ReportEndpoint> endpoint_;
  std::unique_ptr<ScopedMenuTarget> menuTarget_;
};

// "&Compile to Exe" of the Player page: the builder for the highlighted video and the page's
// player switches, shown modally over `owner`; returns when it is closed. Where nobody can see
// a window it returns at once.
void OpenExecutableBuilder(FrontEnd& frontEnd, const std::string& inputFile,
                           const std::string& playerSwitches, QWidget* owner);

}  // namespace frontend
