#include "frontend/files/popup_menus.h"

#include <QComboBox>
#include <QEvent>
#include <QListWidget>

#include "frontend/core/busy_cursor.h"
#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/name_parts.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/directory_listing.h"
#include "frontend/files/menu_commands.h"
#include "platform/face/frame_guard.h"
#include "platform/system/dos_attributes.h"
#include "platform/system/drives.h"

namespace frontend {
namespace {

QAction* AddEntry(QMenu& menu, const char* caption, const QKeySequence& keys,
                  std::function<void()> action) {
  QAction* entry = menu.addAction(QString::fromUtf8(caption));
  entry->setShortcut(keys);
  entry->setShortcutContext(Qt::WidgetShortcut);
  QObject::connect(entry, &QAction::triggered, platform::Guarded(std::string("The menu entry ") + caption, std::move(action)));
  return entry;
}

}  // namespace

PopupMenus::PopupMenus(FrontEnd& frontEnd, QWidget* owner)
    : QObject(owner), frontEnd_(frontEnd), fileMenu_(owner), directoryMenu_(owner), driveMenu_(owner) {
  QAction* view = AddEntry(fileMenu_, "&View", Qt::CTRL | Qt::Key_V, [this] { ViewFile(); });
  fileMenu_.setDefaultAction(view);
  AddEntry(fileMenu_, "&Copy", Qt::CTRL | Qt::Key_C, [this] { CopyFile(); });
  AddEntry(fileMenu_, "R&ename/Move", Qt::CTRL | Qt::Key_E, [this] { RenameFile(); });
  AddEntry(fileMenu_, "&Delete", Qt::Key_Delete, [this] { DeleteFile(); });
  attributesAction_ = AddEntry(fileMenu_, "&Attributes", Qt::CTRL | Qt::Key_A, [this] { ChangeAttributes(); });
  AddEntry(fileMenu_, "P&roperties", Qt::CTRL | Qt::Key_R, [this] { FileProperties(); });
  fileMenu_.addSeparator();
  listAction_ = AddEntry(fileMenu_, "Create a &list file", Qt::CTRL | Qt::Key_L, [this] { CreateListFile(); });
  AddEntry(fileMenu_, "&Switch to a specific file", Qt::CTRL | Qt::Key_S, [this] { SwitchToFile(); });
  findAction_ = AddEntry(fileMenu_, "&Find a file", Qt::CTRL | Qt::Key_F, [this] { FindFile(); });
  AddEntry(fileMenu_, "Recen&t files", Qt::CTRL | Qt::Key_T, [this] { RecentFiles(); });

  AddEntry(directoryMenu_, "&Make new...", Qt::CTRL | Qt::Key_M, [this] { MakeDirectory(); });
  AddEntry(directoryMenu_, "R&ename", Qt::CTRL | Qt::Key_E, [this] { RenameDirectory(); });
  AddEntry(directoryMenu_, "&Delete", Qt::Key_Delete, [this] { RemoveDirectory(); });
  AddEntry(directoryMenu_, "P&roperties", Qt::CTRL | Qt::Key_R, [this] { DirectoryProperties(); });
  directoryMenu_.addSeparator();
  AddEntry(directoryMenu_, "&Switch to a specific directory", Qt::CTRL | Qt::Key_S,
           [this] { SwitchToDirectory(); });
  AddEntry(directoryMenu_, "Recen&t directories", Qt::CTRL | Qt::Key_T, [this] { RecentDirectories(); });

  AddEntry(driveMenu_, "P&roperties", Qt::CTRL | Qt::Key_R, [this] { DriveProperties(); });
  QObject::connect(&fileMenu_, &QMenu::aboutToShow, [this] { UpdateAvailability(); });
}

void PopupMenus::Attach(FileControls& controls) {
  target_ = &controls;
  struct Part {
    QWidget* widget;
    QMenu* menu;
    const char* hint;
  };
  const Part parts[] = {
      {controls.fileList(), &fileMenu_, "Right click for file managment options."},
      {controls.directoryList(), &directoryMenu_, "Right click for directory managment options."},
      {controls.driveBox(), &driveMenu_, "Right click for drive managment options."},
  };
  for (const Part& part : parts) {
    if (part.widget->property("vantMenusAttached").toBool()) continue;
    part.widget->setProperty("vantMenusAttached", true);
    part.widget->setToolTip(QString::fromUtf8(part.hint));
    part.widget->addActions(part.menu->actions());
    part.widget->setContextMenuPolicy(Qt::CustomContextMenu);
    part.widget->installEventFilter(this);
    QWidget* widget = part.widget;
    QMenu* menu = part.menu;
    FileControls* owner = &controls;
    QObject::connect(widget, &QWidget::customContextMenuRequested, this,
                     [this, widget, menu, owner](const QPoint& at) {
                       target_ = owner;
                       menu->popup(widget->mapToGlobal(at));
                     });
  }
  UpdateAvailability();
}

bool PopupMenus::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    for (QObject* object = watched; object; object = object->parent()) {
      if (auto* controls = dynamic_cast<FileControls*>(object)) {
        target_ = controls;
        break;
      }
    }
  }
  return false;
}

void PopupMenus::UpdateAvailability() {
  attributesAction_->setEnabled(static_cast<bool>(frontEnd_.dialogs.editAttributes));
  listAction_->setEnabled(static_cast<bool>(frontEnd_.dialogs.newListFromSelection));
  findAction_->setEnabled(static_cast<bool>(frontEnd_.dialogs.findFile));
}

std::string PopupMenus::SingleHighlightedFile(bool refuseSeveral) {
  if (!target_) return "";
  const std::vector<std::string> selected = target_->SelectedFiles();
  if (refuseSeveral && selected.size() > 1) {
    ErrorBox(frontEnd_, "Error, only one file can be copied, renamed, or moved at a time.");
    return "";
  }
  const std::string path = target_->SelectedPath();
  if (path.empty()) ErrorBox(frontEnd_, "Error, you must highlight a file.");
  return path;
}

std::string PopupMenus::HighlightedDirectory() {
  const std::string directory = target_ ? target_->HighlightedDirectory() : "";
  if (directory.empty()) ErrorBox(frontEnd_, "Error, no directory is highlighted.");
  return directory;
}

void PopupMenus::GoToFile(const std::string& path) {
  if (!target_ || path.empty()) return;
  if (!target_->SetDirectory(DirectoryPart(path).empty() ? "/" : DirectoryPart(path))) return;
  if (!target_->Mask().Matches(NamePart(path))) target_->SetMask(NamePart(path));
  target_->SelectFile(NamePart(path));
  AddRecentFile(frontEnd_.settings, path);
}

void PopupMenus::ViewFile() {
  const std::string file = SingleHighlightedFile(false);
  if (!file.empty()) OpenFileByType(frontEnd_, file);
}

void PopupMenus::CopyFile() { CopyOrRename(true); }
void PopupMenus::RenameFile() { CopyOrRename(false); }

void PopupMenus::CopyOrRename(bool copy) {
  const std::string file = SingleHighlightedFile(true);
  if (file.empty() || !frontEnd_.dialogs.askOutputName) return;
  QPointer<FileControls> controls = target_;
  OutputNameRequest request;
  request.caption = copy ? "Copy a File" : "Rename or Move a File";
  request.button = copy ? "C&opy" : "&Rename";
  request.policy = copy ? OverwritePolicy::Ask : OverwritePolicy::Accept;
  request.helpContext = copy ? 1091 : 1089;
  request.prompt = (copy ? " Copy " : " Rename ") + NamePart(file) + " to: ";
  request.proposal = file;
  request.filter = controls->FilterText();
  request.filterIndex = controls->FilterIndex();
  const std::string target = frontEnd_.dialogs.askOutputName(request);
  if (target.empty()) return;
  RunCommand(frontEnd_, CommandDirectory(file),
             copy ? CopyFileCommand(file, target) : RenameFileCommand(file, target));
  if (controls) controls->Refresh(target);
}

void PopupMenus::DeleteFile() {
  const std::string file = SingleHighlightedFile(false);
  if (file.empty()) return;
  QPointer<FileControls> controls = target_;
  RunCommand(frontEnd_, CommandDirectory(file), DeleteFileCommand(file));
  if (controls) controls->Refresh();
}

void PopupMenus::ChangeAttributes() {
  const std::string file = SingleHighlightedFile(false);
  if (file.empty() || !frontEnd_.dialogs.editAttributes) return;
  QPointer<FileControls> controls = target_;
  const std::optional<unsigned> now = platform::GetDosAttributes(file);
  if (!now) {
    ErrorBox(frontEnd_, "Error changing attributes of " + file);
    return;
  }
  const std::optional<unsigned> wanted = frontEnd_.dialogs.editAttributes(file, *now);
  if (!wanted || *wanted == *now) return;
  RunCommand(frontEnd_, CommandDirectory(file), AttribCommand(file, *wanted));
  if (controls) controls->Refresh();
}

void PopupMenus::FileProperties() {
  const std::string file = SingleHighlightedFile(false);
  if (!file.empty()) RunCommand(frontEnd_, CommandDirectory(file), FilePropertiesCommand(file));
}

void PopupMenus::CreateListFile() {
  if (!target_ || !frontEnd_.dialogs.newListFromSelection) return;
  QPointer<FileControls> controls = target_;
  const std::string list = frontEnd_.dialogs.newListFromSelection(*controls);
  if (controls) controls->Refresh(list);
}

void PopupMenus::SwitchToFile() {
  if (!target_ || !frontEnd_.dialogs.askText) return;
  QPointer<FileControls> controls = target_;
  const std::optional<std::string> typed = frontEnd_.dialogs.askText(
      {"Enter a File Name:", "Switch to file:", "&Switch", "", 1093});
  if (!typed || TrimBlanks(*typed).empty() || !controls) return;
  std::string path = AbsoluteIn(controls->Directory(), *typed);
  if (ExtensionOf(path).empty()) path += controls->Mask().FirstExtension();
  target_ = controls;
  GoToFile(path);
}

void PopupMenus::FindFile() {
  if (!target_ || !frontEnd_.dialogs.askText || !frontEnd_.dialogs.findFile) return;
  QPointer<FileControls> controls = target_;
  const std::optional<std::string> typed =
      frontEnd_.dialogs.askText({"Find a File Name:", "Find what file:", "&Find", "", 1092});
  if (!typed || TrimBlanks(*typed).empty() || !controls) return;
  const std::string found = frontEnd_.dialogs.findFile(AbsoluteIn(controls->Directory(), *typed));
  target_ = controls;
  GoToFile(found);
}

void PopupMenus::RecentFiles() {
  if (!target_ || !frontEnd_.dialogs.pickFromList) return;
  QPointer<FileControls> controls = target_;
  const std::optional<std::string> chosen = frontEnd_.dialogs.pickFromList(
      {"List of Recent Files:", " Select a recently used file: ", frontEnd_.settings.recentFiles, 1101});
  if (!chosen || !controls) return;
  target_ = controls;
  GoToFile(*chosen);
}

void PopupMenus::MakeDirectory() {
  const std::string directory = HighlightedDirectory();
  if (directory.empty() || !frontEnd_.dialogs.askText) return;
  QPointer<FileControls> controls = target_;
  const std::optional<std::string> typed = frontEnd_.dialogs.askText(
      {"Make New Directory:", "Make in " + directory + ":", "&Make Dir.", "", 1096});
  if (!typed || TrimBlanks(*typed).empty()) return;
  const std::string made = AbsoluteIn(directory, *typed);
  RunCommand(frontEnd_, CommandDirectory(made), MakeDirectoryCommand(made));
  if (controls) controls->Refresh();
}

void PopupMenus::RenameDirectory() {
  const std::string directory = HighlightedDirectory();
  if (directory.empty() || !frontEnd_.dialogs.askText) return;
  if (directory == "/") {
    ErrorBox(frontEnd_, "Error, the root directory can't be renamed.");
    return;
  }
  QPointer<FileControls> controls = target_;
  const std::optional<std::string> typed = frontEnd_.dialogs.askText(
      {"Rename Directory To:", "Rename " + directory + " to:", "&Rename", NamePart(directory), 1095});
  if (!typed || TrimBlanks(*typed).empty()) return;
  const std::string renamed = AbsoluteIn(CommandDirectory(directory), *typed);
  RunCommand(frontEnd_, CommandDirectory(directory), RenameDirectoryCommand(directory, renamed));
  if (!controls) return;
  // The list follows its directory to the new name when it lay in the renamed one.
  const std::string shown = controls->Directory();
  if (shown == directory || shown.rfind(directory + "/", 0) == 0) {
    if (controls->SetDirectory(renamed + shown.substr(directory.size()))) return;
  }
  controls->Refresh();
}

void PopupMenus::RemoveDirectory() {
  const std::string directory = HighlightedDirectory();
  if (directory.empty()) return;
  if (directory == "/") {
    ErrorBox(frontEnd_, "Error, the root directory can't be removed.");
    return;
  }
  QPointer<FileControls> controls = target_;
  if (!YesNoBox(frontEnd_, "Remove directory " + directory + " ?", kNo)) return;
  const std::string parent = WithoutSeparator(CommandDirectory(directory));
  if (controls) {
    const std::string shown = controls->Directory();
    if (shown == directory || shown.rfind(directory + "/", 0) == 0) controls->SetDirectory(parent);
  }
  RunCommand(frontEnd_, parent, RemoveDirectoryCommand(directory));
  if (controls) controls->Refresh();
}

void PopupMenus::DirectoryProperties() {
  const std::string directory = HighlightedDirectory();
  if (directory.empty()) return;
  DirectorySummary summary;
  {
    BusyCursor busy;
    summary = SummariseDirectory(directory);
  }
  const std::string& separator = frontEnd_.thousandsSeparator;
  InfoBox(frontEnd_, directory + ":\n  Total files: " + FormatThousands(summary.files, separator) +
                         "\n  Total bytes: " + FormatThousands(summary.bytes, separator) +
                         "\n  Total subdirectories: " +
                         FormatThousands(summary.subdirectories, separator));
}

void PopupMenus::SwitchToDirectory() {
  if (!target_ || !frontEnd_.dialogs.askText) return;
  QPointer<FileControls> controls = target_;
  const std::optional<std::string> typed = frontEnd_.dialogs.askText(
      {"Enter a Directory Name:", "Switch to directory:", "&Switch", "", 1094});
  if (!typed || TrimBlanks(*typed).empty() || !controls) return;
  const std::string directory = AbsoluteIn(controls->Directory(), *typed);
  AddToRecentList(frontEnd_.settings.recentDirs, controls->Directory());
  if (!controls->SetDirectory(directory)) {
    ErrorBox(frontEnd_, "Error, the directory " + directory + " cannot be entered.");
  }
}

void PopupMenus::RecentDirectories() {
  if (!target_ || !frontEnd_.dialogs.pickFromList) return;
  QPointer<FileControls> controls = target_;
  const std::optional<std::string> chosen = frontEnd_.dialogs.pickFromList(
      {"List of Recent Directories:", " Select a recently used directory: ",
       frontEnd_.settings.recentDirs, 1100});
  if (!chosen || !controls) return;
  AddToRecentList(frontEnd_.settings.recentDirs, controls->Directory());
  if (!controls->SetDirectory(*chosen)) {
    ErrorBox(frontEnd_, "Error, the directory " + *chosen + " cannot be entered.");
  }
}

void PopupMenus::DriveProperties() {
  if (!target_) return;
  const std::string drive = target_->driveBox()->currentText().toStdString();
  const std::optional<platform::DriveSpace> space = platform::QueryDriveSpace(drive);
  if (!space) {
    ErrorBox(frontEnd_, "Error, no summary of " + drive + " is available.");
    return;
  }
  const std::string& separator = frontEnd_.thousandsSeparator;
  InfoBox(frontEnd_, "Drive summary on " + drive + ":\n   Available space: " +
                         FormatThousands(static_cast<int64_t>(space->freeBytes >> 20), separator) +
                         " MB\n   Total space: " +
                         FormatThousands(static_cast<int64_t>(space->totalBytes >> 20), separator) +
                         " MB");
}

}  // namespace frontend
