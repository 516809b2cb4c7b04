#pragma once
// The Scriptor page: scripts in a file list, one script edited in a memo, and the script player
// started on a script. The edited script lives in the front end (FrontEnd::scriptor), so that it
// survives leaving the tab and the main window can ask about it when it closes.
#include "frontend/core/tab_page.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace frontend {

class FileControls;

class Tscriptform : public TabPage {
 public:
  static constexpr int kFilePage = 0;
  static constexpr int kEditPage = 1;

  Tscriptform(const PageContext& context, QWidget* sheet);

  void SaveSettings() override;
  void RefreshFileLists() override;
  void FocusFirstControl() override;
  bool MayClose() override;

  void NewPressed();
  void EditOrSavePressed();
  void RunPressed();
  void SaveAsPressed();
  void HelpOnCurrentCommand();

  FileControls& files() { return *files_; }
  QTabWidget& pages() { return *pages_; }
  QPlainTextEdit& memo() { return *memo_; }
  QLabel& lineIndicator() { return *line_; }
  QPushButton& editButton() { return *edit_; }
  QPushButton& runButton() { return *run_; }
  QPushButton& saveAsButton() { return *saveAs_; }

 private:
  QWidget* MakeFilePage();
  QWidget* MakeEditPage();
  void MakeMemoMenu();
  void PageChanged();
  void SelectionChanged();
  void ShowLine();
  // The memo into the held script, and the held script's name and mark back into the page.
  void TakeMemo();
  void ShowHeldState();
  bool ConfirmSave(bool forceSaveAs);
  void ShowScript(const std::string& fileName, const std::string& text);
  void RunScript(const std::string& script);

  FrontEnd& frontEnd_;
  FileControls* files_;
  QTabWidget* pages_;
  QPlainTextEdit* memo_;
  QLabel* line_;
  QPushButton* new_;
  QPushButton* edit_;
  QPushButton* run_;
  QPushButton* saveAs_;
  int shownLine_ = 0;
};

}  // namespace frontend
