#include "frontend/directory_listing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "frontend/text_format.h"

namespace frontend {
namespace {

bool ByNameIgnoringCase(const std::string& a, const std::string& b) {
  const std::string la = LowerCase(a), lb = LowerCase(b);
  return la != lb ? la < lb : a < b;
}

// Mount table fields write a blank, tab, newline and backslash as octal escapes.
std::string UnescapeMountField(const std::string& field) {
  auto octal = [](char c) { return c >= '0' && c <= '7'; };
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        octal(field[i + 1]) && octal(field[i + 2]) && octal(field[i + 3])) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool IsPseudoFileSystem(const std::string& type, const std::string& mountPoint) {
  static const std::set<std::string> pseudo = {
      "proc",     "sysfs",     "devpts",    "devtmpfs", "cgroup",     "cgroup2",   "securityfs",
      "debugfs",  "tracefs",   "pstore",    "bpf",      "mqueue",     "hugetlbfs", "configfs",
      "fusectl",  "binfmt_misc", "autofs",  "efivarfs", "rpc_pipefs", "nsfs",      "ramfs"};
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

bool IsEnterableDirectory(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

DirectoryListing ListDirectory(const std::string& directory, const FileMask& mask) {
  DirectoryListing listing;
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return listing;
  listing.readable = true;
  const std::string base = WithSeparator(directory);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.empty() || name[0] == '.') continue;
    struct stat info {};
    if (stat((base + name).c_str(), &info) != 0) continue;  // a dangling link shows nothing
    if (S_ISDIR(info.st_mode)) {
      listing.directories.push_back(name);
    } else if (S_ISREG(info.st_mode) && mask.Matches(name)) {
      listing.files.push_back(name);
    }
  }
  closedir(dir);
  std::sort(listing.files.begin(), listing.files.end(), ByNameIgnoringCase);
  std::sort(listing.directories.begin(), listing.directories.end(), ByNameIgnoringCase);
  return listing;
}

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots = {"/"};
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') {
    std::string path = home;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    roots.push_back(path);
  }
  std::ifstream mounts("/proc/self/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type)) continue;
    mountPoint = UnescapeMountField(mountPoint);
    if (IsPseudoFileSystem(type, mountPoint)) continue;
    if (std::find(roots.begin(), roots.end(), mountPoint) == roots.end()) roots.push_back(mountPoint);
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
  DIR* dir = opendir(directory.c_str());
  if (!dir) return summary;
  const std::string base = WithSeparator(directory);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (lstat((base + name).c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      ++summary.subdirectories;
    } else {
      ++summary.files;
      summary.bytes += static_cast<int64_t>(info.st_size);
    }
  }
  closedir(dir);
  return summary;
}

SpaceSummary SummariseSpace(const std::string& path) {
  SpaceSummary summary;
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return summary;
  summary.known = true;
  summary.available = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
  summary.total = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
  return summary;
}

}  // namespace frontend
