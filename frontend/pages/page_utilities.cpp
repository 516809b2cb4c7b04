#include "frontend/pages/page_utilities.h"

#include <unistd.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <cstdlib>

#include "frontend/core/busy_cursor.h"
#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/files/popup_menus.h"
#include "frontend/pages/tool_input.h"

namespace frontend {

void RestoreFileListState(FrontEnd& frontEnd, PopupMenus& menus, FileControls& files,
                          const std::string& filter, int filterIndex, const std::string& directory,
                          const std::string& fileName) {
  menus.Attach(files);
  if (!filter.empty()) files.SetFilter(filter);
  files.SetFilterIndex(filterIndex);
  if (directory.empty() || !files.SetDirectory(directory)) {
    if (!files.SetDirectory(frontEnd.ProgramDirectory())) files.SetDirectory("/");
  }
  if (!fileName.empty()) files.SelectFile(fileName);
  QListWidget* list = files.fileList();
  if (list->count() > 0 && list->selectedItems().isEmpty()) {
    list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  }
  if (files.onSelectionChanged) files.onSelectionChanged();
}

void SaveFileListState(const FileControls& files, std::string& fileName, std::string& directory) {
  directory = files.Directory();
  fileName = NamePart(files.SelectedPath());
}

void RefreshFileList(FileControls& files, const std::string& name) {
  BusyCursor busy;
  const int row = files.fileList()->currentRow();
  files.Refresh(name);
  QListWidget* list = files.fileList();
  if (list->count() > 0 && list->selectedItems().isEmpty() && row >= 0) {
    list->setCurrentRow(std::min(row, list->count() - 1), QItemSelectionModel::ClearAndSelect);
  }
}

int FindListItem(const FileControls& files, const std::string& name) {
  const std::vector<std::string> names = files.FileNames();
  const auto found = std::find(names.begin(), names.end(), name);
  return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

void DefaultOutputName(const FileControls& files, std::string& basedOn, QLineEdit& output,
                       const std::string& prefix, const std::string& extension) {
  const std::string input = files.SelectedPath();
  if (input.empty()) return;
  const OutputProposal proposal =
      ProposeOutputName(input, files.Directory(), output.text().toStdString(), basedOn, prefix, extension);
  basedOn = proposal.basedOn;
  output.setText(QString::fromStdString(proposal.shown));
}

void AddRunToRecentFiles(FrontEnd& frontEnd, const std::string& input, const std::string& output,
                         const std::string& listDirectory) {
  AddRecentFile(frontEnd.settings, input);
  const std::string name = Unquoted(output);
  if (!name.empty()) AddRecentFile(frontEnd.settings, name[0] == '/' ? name : WithSeparator(listDirectory) + name);
}

std::string MakeTempFileName() {
  const char* base = std::getenv("TMPDIR");
  std::string name = WithSeparator(base && *base ? base : "/tmp") + "XXXXXX";
  const int fd = mkstemp(name.data());  // O_EXCL: never a file someone else made
  if (fd < 0) return "";
  close(fd);
  return name;
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return SaveTextFile(path, text);
}

void SetCancelButton(QWidget& page, QPushButton& button) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &page);
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  QObject::connect(escape, &QShortcut::activated, &button, &QPushButton::click);
}

bool ConfirmResetDefaults(FrontEnd& frontEnd) {
  return YesNoBox(frontEnd, "Reset all options to their default values?", kNo);
}

}  // namespace frontend
