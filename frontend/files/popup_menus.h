#pragma once
// The file, directory and drive pop-up menus that every page's file controls share. They work
// on the controls that were attached or entered last; a dialog with file controls of its own
// makes them the target while it is open.
#include <QMenu>
#include <QObject>
#include <QPointer>

#include "frontend/files/file_controls.h"

namespace frontend {

class FrontEnd;

class PopupMenus : public QObject {
 public:
  PopupMenus(FrontEnd& frontEnd, QWidget* owner);

  // Gives the controls the menus, their hints and shortcuts, and makes them the target.
  void Attach(FileControls& controls);
  void SetTarget(FileControls* controls) { target_ = controls; }
  FileControls* Target() const { return target_.data(); }

  QMenu& fileMenu() { return fileMenu_; }
  QMenu& directoryMenu() { return directoryMenu_; }
  QMenu& driveMenu() { return driveMenu_; }

  // The menu entries, callable directly (tests, keys).
  void ViewFile();
  void CopyFile();
  void RenameFile();
  void DeleteFile();
  void ChangeAttributes();
  void FileProperties();
  void CreateListFile();
  void SwitchToFile();
  void FindFile();
  void RecentFiles();
  void MakeDirectory();
  void RenameDirectory();
  void RemoveDirectory();
  void DirectoryProperties();
  void SwitchToDirectory();
  void RecentDirectories();
  void DriveProperties();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CopyOrRename(bool copy);
  // The one highlighted file's path, or empty after telling the user.
  std::string SingleHighlightedFile(bool refuseSeveral);
  std::string HighlightedDirectory();
  // Moves the target to the file's directory and highlights it.
  void GoToFile(const std::string& path);
  void UpdateAvailability();

  FrontEnd& frontEnd_;
  QPointer<FileControls> target_;
  QMenu fileMenu_;
  QMenu directoryMenu_;
  QMenu driveMenu_;
  QAction* attributesAction_ = nullptr;
  QAction* listAction_ = nullptr;
  QAction* findAction_ = nullptr;
};

// Makes other controls the target while it lives (dialogs with file controls of their own).
class ScopedMenuTarget {
 public:
  ScopedMenuTarget(PopupMenus& menus, FileControls& controls)
      : menus_(menus), previous_(menus.Target()) {
    menus_.Attach(controls);
  }
  ~ScopedMenuTarget() { menus_.SetTarget(previous_); }
  ScopedMenuTarget(const ScopedMenuTarget&) = delete;
  ScopedMenuTarget& operator=(const ScopedMenuTarget&) = delete;

 private:
  PopupMenus& menus_;
  QPointer<FileControls> previous_;
};

}  // namespace frontend
