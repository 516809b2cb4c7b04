#include "frontend/files/file_finder.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/core/basic_console.h"
#include "frontend/core/console_lines.h"
#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_format.h"
#include "platform/face/dialogs.h"
#include "platform/system/directory_search.h"

namespace frontend {

std::vector<std::string> SearchFiles(const std::string& directory, const std::string& mask,
                                     const std::function<void(const std::string& path)>& found,
                                     const std::function<bool(const FinderProgress&)>& step) {
  std::vector<std::string> paths;
  FinderProgress progress;
  platform::TreeWalkEvents events;
  events.enteredDirectory = [&](const std::string& entered, size_t searched) {
    progress.directoriesSearched = searched;
    progress.currentDirectory = entered;
    return !step || step(progress);
  };
  events.foundFile = [&](const std::string& in, const platform::FoundEntry& file) {
    paths.push_back(in + file.name);
    progress.filesFound = paths.size();
    if (found) found(paths.back());
    return !step || step(progress);
  };
  platform::WalkTree(directory, mask, events);
  return paths;
}

Tfindform::Tfindform(FrontEnd& frontEnd)
    : WorkWindow(frontEnd, kFinderHelpContext, "Finding File...", "Cancel the file find ?"),
      searched_(new QLabel(this)),
      current_(new QLabel(this)),
      found_(new QLabel(this)) {
  auto* layout = new QVBoxLayout(this);
  for (QLabel* label : {searched_, current_, found_}) layout->addWidget(label);
  current_->setMinimumWidth(400);
  layout->addWidget(cancelButton(), 0, Qt::AlignHCenter);
}

std::vector<std::string> Tfindform::Search(const std::string& directory, const std::string& mask,
                                           const std::function<void(const std::string& path)>& found) {
  BeginJob();
  const std::string& separator = frontEnd().thousandsSeparator;
  std::vector<std::string> paths = SearchFiles(directory, mask, found, [&](const FinderProgress& progress) {
    searched_->setText(ShownText("Directories searched: " +
                                 FormatThousands(static_cast<int64_t>(progress.directoriesSearched), separator)));
    current_->setText(ShownText("Current directory: " + progress.currentDirectory));
    found_->setText(ShownText("Files found: " + FormatThousands(static_cast<int64_t>(progress.filesFound), separator)));
    return KeepGoing();
  });
  EndJob();
  return paths;
}

std::string FindFiles(FrontEnd& frontEnd, const std::string& pattern, ConsoleLines* console) {
  ScopedHelpContext help(frontEnd, kFinderHelpContext);
  const std::string name = Unquoted(pattern);
  const platform::SearchPattern split =
      platform::SplitSearchPattern(name.empty() ? frontEnd.ConsoleDirectory() : ConsolePath(frontEnd, name));
  const std::string directory = split.directory.empty() ? frontEnd.ConsoleDirectory() : split.directory;
  const auto found = [console](const std::string& path) {
    if (console) console->Append("  " + path);
  };
  std::vector<std::string> paths;
  if (platform::DialogsAreInteractive()) {
    Tfindform window(frontEnd);
    window.RunWork([&] { paths = window.Search(directory, split.mask, found); });
  } else {
    paths = SearchFiles(directory, split.mask, found, {});
  }
  if (console) {
    if (paths.empty()) console->Append("  No matching files found.");
    return "";
  }
  if (paths.empty()) {
    ErrorBox(frontEnd, "Error, no matching files found.");
    return "";
  }
  if (!frontEnd.dialogs.pickFromList) return "";
  return frontEnd.dialogs.pickFromList({"List of Found Files:", " Select a found file: ", paths,
                                        kFoundListHelpContext})
      .value_or("");
}

}  // namespace frontend
