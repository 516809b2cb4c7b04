#include "platform/system/directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

#include "platform/system/wildcard.h"

namespace platform {
namespace {

char Folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Described(int directoryFd, const char* name, FoundEntry& entry) {
  struct stat info {};
  if (fstatat(directoryFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;  // gone since
  entry.isLink = S_ISLNK(info.st_mode);
  if (entry.isLink) {
    struct stat target {};
    if (fstatat(directoryFd, name, &target, 0) == 0) info = target;
  }
  entry.name = name;
  entry.size = static_cast<uint64_t>(info.st_size);
  entry.accessTime = info.st_atim;
  entry.modifyTime = info.st_mtim;
  entry.mode = info.st_mode;
  entry.isDirectory = S_ISDIR(info.st_mode);
  entry.isHidden = name[0] == '.';
  return true;
}

// Reads the whole directory, then sorts; closes it. Returns the errno of a failed read, else 0.
int ReadEntries(DIR* directory, const std::string& mask, std::vector<FoundEntry>& entries) {
  int error = 0;
  for (;;) {
    errno = 0;
    const dirent* item = readdir(directory);
    if (item == nullptr) {
      error = errno;
      break;
    }
    const std::string_view name = item->d_name;
    if (name == "." || name == ".." || !MatchesWildcard(name, mask)) continue;
    FoundEntry entry;
    if (Described(dirfd(directory), item->d_name, entry)) entries.push_back(std::move(entry));
  }
  closedir(directory);
  std::sort(entries.begin(), entries.end(), ComesBefore);
  return error;
}

}  // namespace

bool ComesBefore(const FoundEntry& a, const FoundEntry& b) {
  const size_t common = std::min(a.name.size(), b.name.size());
  for (size_t i = 0; i < common; ++i) {
    if (Folded(a.name[i]) != Folded(b.name[i])) return Folded(a.name[i]) < Folded(b.name[i]);
  }
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;
}

SearchPattern SplitSearchPattern(const std::string& pattern) {
  struct stat info {};
  if (pattern.empty()) return {"", "*.*"};
  if (pattern.back() == '/') return {pattern, "*.*"};
  if (stat(pattern.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {pattern + "/", "*.*"};
  const size_t slash = pattern.rfind('/');
  if (slash == std::string::npos) return {"", pattern};
  return {pattern.substr(0, slash + 1), pattern.substr(slash + 1)};
}

SearchResult ListDirectory(const std::string& directory, const std::string& mask) {
  SearchResult result;
  result.directory = directory;
  DIR* opened = opendir(directory.empty() ? "." : directory.c_str());
  if (opened == nullptr) {
    result.error = errno;
    return result;
  }
  result.error = ReadEntries(opened, mask, result.entries);
  return result;
}

SearchResult FindMatches(const std::string& pattern) {
  const SearchPattern split = SplitSearchPattern(pattern);
  SearchResult result = ListDirectory(split.directory, split.mask);
  result.directory = split.directory;
  return result;
}

bool WalkTree(const std::string& root, const std::string& mask, const TreeWalkEvents& events) {
  std::string start = root;
  if (!start.empty() && start.back() != '/') start += '/';
  std::vector<std::string> pending{start};
  std::set<std::pair<dev_t, ino_t>> searched;
  const auto skip = [&](const std::string& directory, int error) {
    if (events.skipped) events.skipped(directory, error);
  };
  while (!pending.empty()) {
    const std::string directory = std::move(pending.back());
    pending.pop_back();
    // The root may be reached through a link; below it, nothing is.
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (directory == start ? 0 : O_NOFOLLOW);
    const int fd = open(directory.empty() ? "." : directory.c_str(), flags);
    if (fd < 0) {
      skip(directory, errno);
      continue;
    }
    struct stat info {};
    const int statError = fstat(fd, &info) == 0 ? 0 : errno;
    if (statError != 0 || !searched.insert({info.st_dev, info.st_ino}).second) {
      close(fd);
      skip(directory, statError != 0 ? statError : ELOOP);
      continue;
    }
    DIR* opened = fdopendir(fd);
    if (opened == nullptr) {
      skip(directory, errno);
      close(fd);
      continue;
    }
    std::vector<FoundEntry> entries;
    if (const int error = ReadEntries(opened, "*", entries); error != 0) skip(directory, error);
    if (events.enteredDirectory && !events.enteredDirectory(directory, searched.size())) {
      return false;
    }
    for (const FoundEntry& entry : entries) {
      if (entry.isDirectory || !MatchesWildcard(entry.name, mask)) continue;
      if (events.foundFile && !events.foundFile(directory, entry)) return false;
    }
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
      if (entry->isDirectory && !entry->isLink && !entry->isHidden) {
        pending.push_back(directory + entry->name + "/");
      }
    }
  }
  return true;
}

}  // namespace platform
