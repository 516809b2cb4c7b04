#pragma once
// The file controls every page shows: a drive list (the root, the home directory and the
// mounted file systems), a directory list (the path from the root down and the
// sub-directories), a file list (optionally several files at once) and a filter list of
// "description|mask" entries. They are connected to each other: the drive moves the
// directory, the directory fills the file list, the filter sets its mask.
#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "frontend/core/file_mask.h"

class QComboBox;
class QListWidget;

namespace frontend {

class FileControls : public QWidget {
 public:
  explicit FileControls(QWidget* parent = nullptr);

  QComboBox* driveBox() const { return drives_; }
  QListWidget* directoryList() const { return directories_; }
  QListWidget* fileList() const { return files_; }
  QComboBox* filterBox() const { return filters_; }
  // Names the parts prefix + "drive", "dir", "file" and "filter".
  void SetPartNames(const std::string& prefix);

  // "description|mask|description|mask..."; the first entry's mask applies.
  void SetFilter(const std::string& filter);
  const std::string& FilterText() const { return filterText_; }
  void SetFilterIndex(int index);
  int FilterIndex() const;
  // A mask of its own (not one of the filter's), as when a file that does not match is chosen.
  void SetMask(const std::string& mask);
  const FileMask& Mask() const { return mask_; }

  void SetMultiSelect(bool multiple);
  bool MultiSelect() const;

  // False (and nothing changes) when the directory cannot be read.
  bool SetDirectory(const std::string& directory);
  const std::string& Directory() const { return directory_; }

  std::vector<std::string> FileNames() const;
  // Highlighted names (without directory), in list order.
  std::vector<std::string> SelectedFiles() const;
  // The current file's full path; empty when none is highlighted.
  std::string SelectedPath() const;
  // Highlights the name (and only it); false when the list does not hold it.
  bool SelectFile(const std::string& name);
  void ClearSelection();
  // The highlighted entry of the directory list (full path); empty when none.
  std::string HighlightedDirectory() const;

  // Reads the directory again, keeping highlighted names that are still there, then
  // highlights `select` (a name or a path in this directory) when given.
  void Refresh(const std::string& select = "");
  // Reads the drive list again.
  void RefreshDrives();

  // While the lists are being filled no selection change is announced.
  bool refreshing() const { return refreshing_ > 0; }

  std::function<void()> onSelectionChanged;
  std::function<void(const std::string& path)> onFileActivated;
  std::function<void(const std::string& directory)> onDirectoryChanged;

 private:
  void FillDirectoryList();
  void FillFileList(const std::vector<std::string>& files, const std::vector<std::string>& keep);
  void AnnounceSelection();

  QComboBox* drives_;
  QListWidget* directories_;
  QListWidget* files_;
  QComboBox* filters_;
  std::string filterText_;
  std::vector<FilterEntry> filterEntries_;
  std::vector<std::string> driveRoots_;
  std::vector<std::string> subdirectories_;
  FileMask mask_;
  std::string directory_;
  int refreshing_ = 0;
};

}  // namespace frontend
