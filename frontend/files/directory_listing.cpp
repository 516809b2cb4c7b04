#include "frontend/files/directory_listing.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "frontend/core/text_format.h"
#include "platform/system/directory_search.h"
#include "platform/system/drives.h"

namespace frontend {
namespace {

bool IsPseudoFileSystem(const std::string& type, const std::string& mountPoint) {
  static const std::set<std::string> pseudo = {
      "proc",    "sysfs",  "devpts",  "devtmpfs", "cgroup",      "cgroup2", "securityfs",
      "debugfs", "tracefs", "pstore", "bpf",      "mqueue",      "hugetlbfs", "configfs",
      "fusectl", "binfmt_misc", "autofs", "efivarfs", "rpc_pipefs", "nsfs", "ramfs"};
  if (pseudo.count(type)) return true;
  for (const char* system : {"/proc", "/sys", "/dev", "/run"}) {
    const std::string root = system;
    if (mountPoint == root || mountPoint.rfind(root + "/", 0) == 0) return true;
  }
  return false;
}

bool IsUnder(const std::string& path, const std::string& directory) {
  if (directory == "/") return !path.empty() && path[0] == '/';
  return path == directory || path.rfind(directory + "/", 0) == 0;
}

}  // namespace

DirectoryListing ListDirectory(const std::string& directory, const FileMask& mask) {
  DirectoryListing listing;
  const platform::SearchResult found =
      platform::ListDirectory(WithSeparator(directory.empty() ? "." : directory), "*.*");
  if (found.error != 0 && found.entries.empty()) return listing;
  listing.readable = true;
  for (const platform::FoundEntry& entry : found.entries) {
    if (entry.isHidden) continue;
    if (entry.isDirectory) {
      listing.directories.push_back(entry.name);
    } else if (S_ISREG(entry.mode) && mask.Matches(entry.name)) {
      listing.files.push_back(entry.name);
    }
  }
  return listing;
}

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots = {"/"};
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') roots.push_back(WithoutSeparator(home));
  for (const platform::MountEntry& mount : platform::ReadMountTable()) {
    if (IsPseudoFileSystem(mount.fsType, mount.mountPoint)) continue;
    if (std::find(roots.begin(), roots.end(), mount.mountPoint) == roots.end()) {
      roots.push_back(mount.mountPoint);
    }
  }
  std::sort(roots.begin() + 1, roots.end());
  return roots;
}

std::string DriveOf(const std::string& path, const std::vector<std::string>& drives) {
  std::string best = "/";
  for (const std::string& drive : drives) {
    if (IsUnder(path, drive) && drive.size() > best.size()) best = drive;
  }
  return best;
}

std::vector<std::string> DirectoryChain(const std::string& directory) {
  std::vector<std::string> chain = {"/"};
  std::string path;
  size_t start = 1;
  while (start < directory.size()) {
    size_t end = directory.find('/', start);
    if (end == std::string::npos) end = directory.size();
    if (end > start) {
      path += "/" + directory.substr(start, end - start);
      chain.push_back(path);
    }
    start = end + 1;
  }
  return chain;
}

DirectorySummary SummariseDirectory(const std::string& directory) {
  DirectorySummary summary;
  for (const platform::FoundEntry& entry : platform::ListDirectory(WithSeparator(directory), "*.*").entries) {
    if (entry.isDirectory && !entry.isLink) {
      ++summary.subdirectories;
    } else {
      ++summary.files;
      summary.bytes += static_cast<int64_t>(entry.size);
    }
  }
  return summary;
}

}  // namespace frontend
