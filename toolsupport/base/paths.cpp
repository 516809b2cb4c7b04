#include "toolsupport/base/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "toolsupport/base/text_words.h"

namespace {

std::string CurrentDirectory() {
  std::error_code error;
  std::filesystem::path current = std::filesystem::current_path(error);
  return error ? std::string("/") : current.string();
}

}  // namespace

size_t FindExtension(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return std::string::npos;
  // ".profile", "." and ".." have no extension: the dot begins the name.
  if (path.find_first_not_of('.', nameStart) >= dot) return std::string::npos;
  return dot;
}

void MakeFullPath(std::string& path) {
  if (path.empty()) return;
  const std::string full = path[0] == '/' ? path : CurrentDirectory() + "/" + path;
  const bool trailingSeparator = full.back() == '/';
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= full.size()) {
    size_t end = full.find('/', start);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  if (result.empty() || trailingSeparator) result += '/';
  path = result;
}

void AddPathSeparator(std::string& directory) {
  TrimText(directory);
  if (!directory.empty() && directory.back() != '/') directory += '/';
}

std::string WithSeparator(std::string directory) {
  if (directory.empty()) return directory;
  while (directory.size() > 1 && directory.back() == '/' && directory[directory.size() - 2] == '/') {
    directory.pop_back();
  }
  if (directory.back() != '/') directory += '/';
  return directory;
}

std::string WithoutSeparator(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool EnterDirectory(bool keep, std::string& directory) {
  TrimText(directory);
  if (directory.empty()) directory.assign(1, '.');
  MakeFullPath(directory);
  if (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  struct stat info {};
  if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  if (keep) return chdir(directory.c_str()) == 0;
  return access(directory.c_str(), X_OK) == 0;
}

void ReducePath(bool keepExtension, bool keepName, bool keepDirectory, bool /*keepDrive*/,
                std::string& path) {
  TrimText(path);
  if (path.empty()) return;
  MakeFullPath(path);
  std::string probe = path;
  const bool isDirectory = EnterDirectory(false, probe);
  if (isDirectory) {
    AddPathSeparator(path);
    path += "*.*";
  }
  const size_t slash = path.rfind('/');
  const std::string directory = path.substr(0, slash + 1);
  const std::string file = path.substr(slash + 1);
  const size_t dot = FindExtension(file);
  const std::string name = file.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : file.substr(dot);

  std::string reduced;
  if (keepDirectory) reduced += directory;
  if (keepName && !isDirectory) reduced += name;
  if (keepExtension && !isDirectory) reduced += extension;
  path = reduced;
}

uint64_t GetFileLength(const std::string& fileName) {
  struct stat info {};
  if (stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  return static_cast<uint64_t>(info.st_size);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat infoA {}, infoB {};
  if (stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0) {
    return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
  }
  std::string fullA = a, fullB = b;
  MakeFullPath(fullA);
  MakeFullPath(fullB);
  return fullA == fullB;
}
