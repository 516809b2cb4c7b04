#include "frontend/files/file_controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "frontend/core/scoped_increment.h"
#include "frontend/core/text_format.h"
#include "frontend/files/directory_listing.h"

namespace frontend {
namespace {

constexpr int kPathRole = Qt::UserRole;
// How many characters of a typical name the file and directory lists show at the least.
constexpr int kListCharacters = 16;

QString Shown(const std::string& text) { return QFile::decodeName(text.c_str()); }
std::string FromShown(const QString& text) { return QFile::encodeName(text).toStdString(); }

std::string Normalised(const std::string& directory) {
  std::string out = std::filesystem::path(directory).lexically_normal().string();
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}


}  // namespace

FileControls::FileControls(QWidget* parent)
    : QWidget(parent),
      drives_(new QComboBox(this)),
      directories_(new QListWidget(this)),
      files_(new QListWidget(this)),
      filters_(new QComboBox(this)) {
  // The lists side by side, the filter and the drive below them across both: the filter shows
  // its whole description, a long mount point does not widen the page.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(files_, 0, 0);
  layout->addWidget(directories_, 0, 1);
  layout->addWidget(filters_, 1, 0, 1, 2);
  layout->addWidget(drives_, 2, 0, 1, 2);
  const int listWidth = fontMetrics().averageCharWidth() * kListCharacters;
  files_->setMinimumWidth(listWidth);
  directories_->setMinimumWidth(listWidth);
  drives_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  drives_->setMinimumContentsLength(kListCharacters);
  files_->setSelectionMode(QAbstractItemView::SingleSelection);

  QObject::connect(files_, &QListWidget::itemSelectionChanged, [this] { AnnounceSelection(); });
  QObject::connect(files_, &QListWidget::itemActivated, [this](QListWidgetItem* item) {
    if (item && onFileActivated) onFileActivated(WithSeparator(directory_) + FromShown(item->text()));
  });
  QObject::connect(directories_, &QListWidget::itemActivated, [this](QListWidgetItem* item) {
    if (item) SetDirectory(FromShown(item->data(kPathRole).toString()));
  });
  QObject::connect(drives_, &QComboBox::activated, [this](int index) {
    if (index >= 0 && static_cast<size_t>(index) < driveRoots_.size() &&
        !SetDirectory(driveRoots_[static_cast<size_t>(index)])) {
      // An unreadable drive leaves the lists where they were.
      RefreshDrives();
    }
  });
  QObject::connect(filters_, &QComboBox::currentIndexChanged, [this](int index) {
    if (index < 0 || static_cast<size_t>(index) >= filterEntries_.size()) return;
    mask_ = FileMask(filterEntries_[static_cast<size_t>(index)].mask);
    Refresh();
  });

  RefreshDrives();
  const char* home = std::getenv("HOME");
  if (!SetDirectory(home && *home ? home : "/")) SetDirectory("/");
}

void FileControls::SetFilter(const std::string& filter) {
  filterText_ = filter;
  filterEntries_ = ParseFilter(filter);
  {
    const QSignalBlocker blocker(filters_);
    filters_->clear();
    for (const FilterEntry& entry : filterEntries_) filters_->addItem(Shown(entry.description));
  }
  SetFilterIndex(0);
}

void FileControls::SetFilterIndex(int index) {
  if (filterEntries_.empty()) return;
  if (index < 0 || static_cast<size_t>(index) >= filterEntries_.size()) index = 0;
  {
    const QSignalBlocker blocker(filters_);
    filters_->setCurrentIndex(index);
  }
  mask_ = FileMask(filterEntries_[static_cast<size_t>(index)].mask);
  Refresh();
}

int FileControls::FilterIndex() const { return std::max(0, filters_->currentIndex()); }

void FileControls::SetMask(const std::string& mask) {
  mask_ = FileMask(mask);
  Refresh();
}

void FileControls::SetPartNames(const std::string& prefix) {
  const QString name = QString::fromStdString(prefix);
  drives_->setObjectName(name + "drive");
  directories_->setObjectName(name + "dir");
  files_->setObjectName(name + "file");
  filters_->setObjectName(name + "filter");
}

void FileControls::SetMultiSelect(bool multiple) {
  files_->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                    : QAbstractItemView::SingleSelection);
}

bool FileControls::MultiSelect() const {
  return files_->selectionMode() == QAbstractItemView::ExtendedSelection;
}

bool FileControls::SetDirectory(const std::string& given) {
  if (given.empty()) return false;
  std::string directory = given;
  if (directory[0] != '/') directory = WithSeparator(directory_.empty() ? "/" : directory_) + directory;
  directory = Normalised(directory);
  const DirectoryListing listing = ListDirectory(directory, mask_);
  if (!listing.readable) return false;
  const bool moved = directory != directory_;
  directory_ = directory;
  subdirectories_ = listing.directories;
  {
    ScopedIncrement scope(refreshing_);
    const QSignalBlocker blocker(drives_);
    const std::string drive = DriveOf(directory_, driveRoots_);
    for (size_t i = 0; i < driveRoots_.size(); ++i) {
      if (driveRoots_[i] == drive) drives_->setCurrentIndex(static_cast<int>(i));
    }
    FillDirectoryList();
    FillFileList(listing.files, {});
  }
  if (moved && onDirectoryChanged) onDirectoryChanged(directory_);
  AnnounceSelection();
  return true;
}

void FileControls::FillDirectoryList() {
  const QSignalBlocker blocker(directories_);
  directories_->clear();
  const std::vector<std::string> chain = DirectoryChain(directory_);
  for (size_t level = 0; level < chain.size(); ++level) {
    const std::string name = level == 0 ? "/" : NamePart(chain[level]);
    auto* item = new QListWidgetItem(QString(static_cast<int>(level) * 2, ' ') + Shown(name));
    item->setData(kPathRole, Shown(chain[level]));
    directories_->addItem(item);
  }
  directories_->setCurrentRow(static_cast<int>(chain.size()) - 1);
  const QString indent(static_cast<int>(chain.size()) * 2, ' ');
  for (const std::string& name : subdirectories_) {
    auto* item = new QListWidgetItem(indent + Shown(name));
    item->setData(kPathRole, Shown(WithSeparator(directory_) + name));
    directories_->addItem(item);
  }
}

void FileControls::FillFileList(const std::vector<std::string>& names,
                                const std::vector<std::string>& keep) {
  const QSignalBlocker blocker(files_);
  files_->clear();
  for (const std::string& name : names) files_->addItem(Shown(name));
  for (int row = 0; row < files_->count(); ++row) {
    const std::string name = FromShown(files_->item(row)->text());
    if (std::find(keep.begin(), keep.end(), name) != keep.end()) {
      files_->item(row)->setSelected(true);
      if (!files_->currentItem() || !files_->currentItem()->isSelected()) {
        files_->setCurrentRow(row, QItemSelectionModel::NoUpdate);
      }
    }
  }
}

std::vector<std::string> FileControls::FileNames() const {
  std::vector<std::string> names;
  for (int row = 0; row < files_->count(); ++row) names.push_back(FromShown(files_->item(row)->text()));
  return names;
}

std::vector<std::string> FileControls::SelectedFiles() const {
  std::vector<std::string> names;
  for (int row = 0; row < files_->count(); ++row) {
    if (files_->item(row)->isSelected()) names.push_back(FromShown(files_->item(row)->text()));
  }
  return names;
}

std::string FileControls::SelectedPath() const {
  const QListWidgetItem* current = files_->currentItem();
  if (!current || !current->isSelected()) {
    const std::vector<std::string> selected = SelectedFiles();
    return selected.empty() ? "" : WithSeparator(directory_) + selected.front();
  }
  return WithSeparator(directory_) + FromShown(current->text());
}

bool FileControls::SelectFile(const std::string& given) {
  std::string name = given;
  if (DirectoryPart(name) == WithSeparator(directory_)) name = NamePart(name);
  for (int row = 0; row < files_->count(); ++row) {
    if (FromShown(files_->item(row)->text()) == name) {
      files_->clearSelection();
      files_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
      files_->scrollToItem(files_->item(row));
      return true;
    }
  }
  return false;
}

void FileControls::ClearSelection() { files_->clearSelection(); }

std::string FileControls::HighlightedDirectory() const {
  const QListWidgetItem* item = directories_->currentItem();
  return item ? FromShown(item->data(kPathRole).toString()) : "";
}

void FileControls::Refresh(const std::string& select) {
  if (directory_.empty()) return;
  const DirectoryListing listing = ListDirectory(directory_, mask_);
  {
    ScopedIncrement scope(refreshing_);
    subdirectories_ = listing.directories;
    FillDirectoryList();
    FillFileList(listing.files, SelectedFiles());
    if (!select.empty()) SelectFile(select);
  }
  AnnounceSelection();
}

void FileControls::RefreshDrives() {
  driveRoots_ = DriveRoots();
  const QSignalBlocker blocker(drives_);
  drives_->clear();
  int widest = 0;
  for (const std::string& root : driveRoots_) {
    drives_->addItem(Shown(root));
    widest = std::max(widest, drives_->fontMetrics().horizontalAdvance(Shown(root)));
  }
  // The list that drops down shows every mount point whole, however narrow the box is.
  drives_->view()->setMinimumWidth(widest + drives_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                   2 * drives_->fontMetrics().averageCharWidth());
  const std::string drive = DriveOf(directory_.empty() ? "/" : directory_, driveRoots_);
  for (size_t i = 0; i < driveRoots_.size(); ++i) {
    if (driveRoots_[i] == drive) drives_->setCurrentIndex(static_cast<int>(i));
  }
}

void FileControls::AnnounceSelection() {
  if (!refreshing() && onSelectionChanged) onSelectionChanged();
}

}  // namespace frontend
