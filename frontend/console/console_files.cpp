// DIR, DEL, REN/MOVE, COPY, ATTR, TYPE and SAVEHIST.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <fstream>
#include <vector>

#include "frontend/console/console.h"
#include "frontend/console/console_commands.h"
#include "frontend/core/basic_console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_copy.h"
#include "platform/system/directory_search.h"
#include "platform/system/dos_attributes.h"
#include "platform/system/drives.h"
#include "platform/system/file_operations.h"
#include "platform/system/wildcard.h"

namespace frontend {
namespace {

// Lines listed into the console between two trims.
constexpr int kLinesBetweenTrims = 11;

struct SourceFile {
  std::string path;
  uint64_t size = 0;
};

struct Sources {
  bool wildcard = false;  // a pattern (or a whole directory) rather than one name
  std::vector<SourceFile> files;
};

// ": <the system's reason>" for a failure with an errno, nothing without one.
std::string WithReason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : std::string(); }

// The files a name stands for: itself when it names one (exactly, case kept), else the files of
// the pattern or of the directory it names. Pattern runs leave out directories and, unless asked
// for, hidden files.
Sources MatchingFiles(const FrontEnd& frontEnd, const std::string& name, bool withHidden) {
  Sources sources;
  std::string path = ConsolePath(frontEnd, name);
  if (path.empty()) return sources;
  if (!platform::HasWildcard(path) && !platform::IsDirectory(path)) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) sources.files.push_back({path, static_cast<uint64_t>(info.st_size)});
    return sources;
  }
  sources.wildcard = true;
  if (!platform::HasWildcard(path)) path = WithSeparator(path) + "*.*";
  const platform::SearchResult found = platform::FindMatches(path);
  for (const platform::FoundEntry& entry : found.entries) {
    if (entry.isDirectory || (entry.isHidden && !withHidden)) continue;
    sources.files.push_back({found.directory + entry.name, entry.size});
  }
  return sources;
}

// A target that is a directory receives every name.
std::string TargetPattern(const std::string& target) {
  return platform::IsDirectory(target) ? WithSeparator(target) + "*.*" : target;
}

// "A", "R", "H", "S" in that order, a blank for each attribute not set.
std::string AttrLetters(unsigned attributes) {
  std::string out;
  out += (attributes & platform::kDosArchive) ? 'A' : ' ';
  out += (attributes & platform::kDosReadOnly) ? 'R' : ' ';
  out += (attributes & platform::kDosHidden) ? 'H' : ' ';
  out += (attributes & platform::kDosSystem) ? 'S' : ' ';
  return out;
}

std::string PaddedRight(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string PaddedLeft(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string DateAndTime(const timespec& when) {
  std::tm local {};
  const time_t seconds = when.tv_sec;
  if (localtime_r(&seconds, &local) == nullptr) return "";
  char text[32];
  return strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) ? text : "";
}

std::string Number(const FrontEnd& frontEnd, uint64_t value) {
  return FormatThousands(static_cast<int64_t>(value), frontEnd.thousandsSeparator);
}

struct AttributeWord {
  const char* word;
  unsigned bit;
  bool set;
};

// Read as whole words only: "a" or "s" alone is a file pattern.
const AttributeWord kAttributeWords[] = {
    {"a+", platform::kDosArchive, true},   {"r+", platform::kDosReadOnly, true},
    {"h+", platform::kDosHidden, true},    {"s+", platform::kDosSystem, true},
    {"+a", platform::kDosArchive, true},   {"+r", platform::kDosReadOnly, true},
    {"+h", platform::kDosHidden, true},    {"+s", platform::kDosSystem, true},
    {"a-", platform::kDosArchive, false},  {"r-", platform::kDosReadOnly, false},
    {"h-", platform::kDosHidden, false},   {"s-", platform::kDosSystem, false},
    {"-a", platform::kDosArchive, false},  {"-r", platform::kDosReadOnly, false},
    {"-h", platform::kDosHidden, false},   {"-s", platform::kDosSystem, false},
};

const AttributeWord* AttributeWordOf(const std::string& word) {
  const std::string lower = LowerCase(word);
  for (const AttributeWord& entry : kAttributeWords) {
    if (lower == entry.word) return &entry;
  }
  return nullptr;
}

}  // namespace

void ConsoleDir(FrontEnd& frontEnd, const std::string& argument) {
  const std::string name = Unquoted(argument);
  const platform::SearchPattern split = platform::SplitSearchPattern(
      name.empty() ? frontEnd.ConsoleDirectory() : ConsolePath(frontEnd, name));
  frontEnd.console.AppendToLastLine("Dir " + split.directory + split.mask);
  const platform::SearchResult found = platform::ListDirectory(split.directory, split.mask);
  if (found.entries.empty()) {
    frontEnd.console.Append("  No files found.");
    return;
  }
  uint64_t bytes = 0;
  int listed = 0;
  for (const platform::FoundEntry& entry : found.entries) {
    const std::string size = entry.isDirectory ? "       <DIR>" : PaddedLeft(Number(frontEnd, entry.size), 12);
    frontEnd.console.Append("    " + PaddedRight(entry.name, 12) + "  " + size + "  " +
                            AttrLetters(platform::DosAttributesFrom(entry.name, entry.mode)) + "  " +
                            DateAndTime(entry.modifyTime));
    if (!entry.isDirectory) bytes += entry.size;
    if (++listed % kLinesBetweenTrims == 0) frontEnd.console.Trim();
  }
  const std::optional<platform::DriveSpace> space = platform::QueryDriveSpace(frontEnd.ConsoleDirectory());
  frontEnd.console.Append("  " + Number(frontEnd, bytes) + " bytes in " + std::to_string(listed) +
                          " file(s).  " + Number(frontEnd, space ? space->freeBytes : 0) +
                          " bytes free.");
}

void ConsoleDelete(FrontEnd& frontEnd, const std::string& argument) {
  const std::string name = Unquoted(argument);
  if (name.empty()) {
    frontEnd.console.AppendToLastLine("Del - error, no file name given.");
    return;
  }
  frontEnd.console.AppendToLastLine("Del " + name);
  const Sources sources = MatchingFiles(frontEnd, name, false);
  if (sources.files.empty() && !sources.wildcard) ReportError(frontEnd, "Could not delete " + name);
  uint64_t count = 0, bytes = 0;
  for (const SourceFile& file : sources.files) {
    const std::string shown = ShownName(frontEnd, file.path);
    const BoxAnswer answer = YesNoCancelBox(frontEnd, "Delete the file: " + shown + " ?", kNo);
    if (answer == kCancel) break;
    if (answer != kYes) continue;
    if (unlink(file.path.c_str()) != 0) {
      ReportError(frontEnd, "Could not delete " + shown);
      continue;
    }
    frontEnd.console.Append("  " + shown + " was deleted.");
    ++count;
    bytes += file.size;
  }
  frontEnd.console.Append("  " + Number(frontEnd, count) + " file(s) deleted.  " +
                          Number(frontEnd, bytes) + " bytes freed.");
}

void ConsoleRename(FrontEnd& frontEnd, const std::string& source, const std::string& target) {
  const std::string from = Unquoted(source), to = Unquoted(target);
  if (from.empty() || to.empty()) {
    frontEnd.console.AppendToLastLine("Ren - error, must give input and output names.");
    return;
  }
  frontEnd.console.AppendToLastLine("Ren " + from + " " + to);
  uint64_t count = 0;
  const auto rename = [&](const std::string& path, const std::string& renamed) {
    if (const int error = platform::MoveFile(path, renamed); error != 0) {
      ReportError(frontEnd, "Could not rename " + ShownName(frontEnd, path) + WithReason(error));
      return;
    }
    frontEnd.console.Append("  Renamed " + ShownName(frontEnd, path) + " to " + ShownName(frontEnd, renamed));
    MoveRememberedPaths(frontEnd, path, renamed);
    ++count;
  };
  const std::string sourcePath = ConsolePath(frontEnd, from);
  const std::string pattern = TargetPattern(ConsolePath(frontEnd, to));
  struct stat info {};
  if (!platform::HasWildcard(sourcePath) && lstat(sourcePath.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    // A directory goes as a whole.
    rename(sourcePath, platform::WildcardTargetName(pattern, sourcePath));
  } else {
    const Sources sources = MatchingFiles(frontEnd, from, false);
    if (sources.files.empty() && !sources.wildcard) ReportError(frontEnd, "Could not rename " + from);
    for (const SourceFile& file : sources.files) rename(file.path, platform::WildcardTargetName(pattern, file.path));
  }
  frontEnd.console.Append("  " + Number(frontEnd, count) + " file(s) renamed.");
}

void ConsoleCopy(FrontEnd& frontEnd, const std::string& source, const std::string& target) {
  const std::string from = Unquoted(source), to = Unquoted(target);
  if (from.empty()) {
    frontEnd.console.AppendToLastLine("Copy - error, must give an input name.");
    return;
  }
  frontEnd.console.AppendToLastLine("Copy " + from + (to.empty() ? "" : " " + to));
  const std::string pattern = TargetPattern(to.empty() ? frontEnd.ConsoleDirectory() : ConsolePath(frontEnd, to));
  const Sources sources = MatchingFiles(frontEnd, from, false);
  if (sources.files.empty() && !sources.wildcard) ReportError(frontEnd, "Could not copy " + from);
  uint64_t count = 0, bytes = 0;
  for (const SourceFile& file : sources.files) {
    const CopyOutcome outcome = CopyFiles(frontEnd, file.path, pattern);
    if (outcome.result == kCopyCancelled) {
      frontEnd.console.Append("  Copy was cancelled.");
      if (sources.wildcard) break;
    } else if (outcome.result == kCopyDone) {
      frontEnd.console.Append("  Copied " + ShownName(frontEnd, file.path) + " to " +
                              ShownName(frontEnd, outcome.target));
      ++count;
      bytes += file.size;
    } else {
      ReportError(frontEnd, "Could not copy " + ShownName(frontEnd, file.path) + WithReason(outcome.error));
    }
  }
  frontEnd.console.Append("  " + Number(frontEnd, count) + " file(s) copied.  " +
                          Number(frontEnd, bytes) + " bytes copied.");
}

void ConsoleAttrib(FrontEnd& frontEnd, const std::string& arguments) {
  unsigned set = 0, cleared = 0;
  std::string pattern;
  bool twoPatterns = false;
  for (std::string rest = arguments;;) {
    auto [word, more] = SplitFirstWord(rest);
    if (word.empty()) break;
    rest = more;
    if (const AttributeWord* attribute = AttributeWordOf(word)) {
      (attribute->set ? set : cleared) |= attribute->bit;
      (attribute->set ? cleared : set) &= ~attribute->bit;
    } else if (pattern.empty()) {
      pattern = Unquoted(word);
    } else {
      twoPatterns = true;
    }
  }
  if (pattern.empty() || twoPatterns) {
    frontEnd.console.Append("  Attribute command error.");
    return;
  }
  const Sources sources = MatchingFiles(frontEnd, pattern, true);
  if (sources.files.empty()) {
    frontEnd.console.Append("  No files found.");
    return;
  }
  for (const SourceFile& file : sources.files) {
    const std::string shown = ShownName(frontEnd, file.path);
    const std::optional<unsigned> old = platform::GetDosAttributes(file.path);
    const unsigned wanted = old ? ((*old & ~cleared) | set) : 0;
    if (!old || platform::SetDosAttributes(file.path, wanted).outcome != platform::AttributeChange::Done) {
      frontEnd.console.Append("  Error changing attributes of " + shown);
      continue;
    }
    frontEnd.console.Append("  Attributes from '" + AttrLetters(*old) + "' to '" + AttrLetters(wanted) +
                            "' on " + shown);
  }
}

void ConsoleType(FrontEnd& frontEnd, const std::string& argument) {
  const std::string name = Unquoted(argument);
  const std::string path = ConsolePath(frontEnd, name);
  struct stat info {};
  std::ifstream in;
  if (!path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    frontEnd.console.Append("  Error displaying the file " + name);
    return;
  }
  int listed = 0;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    frontEnd.console.Append(line);
    if (++listed % kLinesBetweenTrims == 0) frontEnd.console.Trim();
  }
}

void ConsoleSaveHistory(FrontEnd& frontEnd, const std::string& argument) {
  std::string name = Unquoted(argument);
  if (!name.empty() && platform::SplitName(name).extension.empty()) name += ".txt";
  std::string text;
  for (const std::string& line : frontEnd.console.lines()) text += line + "\n";
  const bool saved = !name.empty() && SaveTextFile(ConsolePath(frontEnd, name), text);
  frontEnd.console.Append(saved ? "  History saved to " + name : "  Error saving to " + name);
}

}  // namespace frontend
