#pragma once
// The output name dialog every "save as", copy, rename and history save asks with: file
// controls to pick a place, an edit for the name, and the caller's overwrite policy. While it
// is open it receives the tools' reports and the main window's pop-up menus work on its file
// controls.
#include <functional>
#include <memory>
#include <string>

#include <QDialog>

#include "frontend/core/front_end.h"
#include "frontend/core/front_end_dialogs.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace frontend {

class FileControls;
class PopupMenus;
class ReportEndpoint;
class ScopedMenuTarget;

// The full name the typed text names: in the typed directory (relative ones from the list's
// directory) or the list's; the proposal's name added when that is a directory, its extension
// when the name has none.
std::string ResolveOutputName(const std::string& typed, const std::string& listDirectory,
                              const std::string& proposal);

class Toutwin : public QDialog {
 public:
  Toutwin(FrontEnd& frontEnd, const OutputNameRequest& request, PopupMenus* menus, QWidget* owner);
  ~Toutwin() override;

  FileControls& files() { return *files_; }
  QLineEdit& nameEdit() { return *name_; }
  QPushButton& okButton() { return *ok_; }
  QPushButton& cancelButton() { return *cancel_; }
  QGroupBox& promptGroup() { return *prompt_; }
  // The endpoint its tools report to while it is open.
  int32_t notifyNumber() const;

  // The OK button: the chosen full name when it may be used (and the dialog closes), else the
  // dialog stays.
  void OkPressed();
  void CancelPressed();
  // The chosen full name; empty when cancelled (or not yet chosen).
  const std::string& chosen() const { return chosen_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FilePicked();

  FrontEnd& frontEnd_;
  OutputNameRequest request_;
  ScopedHelpContext help_;
  QGroupBox* prompt_;
  FileControls* files_;
  QLineEdit* name_;
  QPushButton* ok_;
  QPushButton* cancel_;
  std::unique_ptr<ReportEndpoint> endpoint_;
  std::unique_ptr<ScopedNotifyTarget> notifyTarget_;
  std::unique_ptr<ScopedMenuTarget> menuTarget_;
  std::string chosen_;
};

// Puts the dialog in as the front end's output-name question wherever a person can answer;
// elsewhere (no display, tests) the question it replaces stays in use.
void InstallOutputNameDialog(FrontEnd& frontEnd, PopupMenus* menus);

}  // namespace frontend
