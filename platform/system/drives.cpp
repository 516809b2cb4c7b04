#include "platform/system/drives.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <limits>
#include <sstream>

namespace platform {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "\ooo" stands for the byte of that octal value.
std::string Unescaped(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto octal = [&](size_t k) { return text[k] >= '0' && text[k] <= '7'; };
    if (text[i] == '\\' && i + 3 < text.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
      plain += static_cast<char>(((text[i + 1] - '0') << 6) | ((text[i + 2] - '0') << 3) |
                                 (text[i + 3] - '0'));
      i += 3;
    } else {
      plain += text[i];
    }
  }
  return plain;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (start < line.size()) {
    if (line[start] == ' ' || line[start] == '\t') {
      ++start;
      continue;
    }
    size_t end = line.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = line.size();
    fields.push_back(line.substr(start, end - start));
    start = end;
  }
  return fields;
}

bool ParseNumber(std::string_view text, unsigned& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

bool ParseLine(std::string_view line, MountEntry& entry) {
  // id parent major:minor root mount-point options [optional fields...] - type source options
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() < 8) return false;
  const size_t colon = fields[2].find(':');
  if (colon == std::string_view::npos || !ParseNumber(fields[2].substr(0, colon), entry.major) ||
      !ParseNumber(fields[2].substr(colon + 1), entry.minor)) {
    return false;
  }
  size_t separator = 6;
  while (separator < fields.size() && fields[separator] != "-") ++separator;
  if (separator + 1 >= fields.size()) return false;
  entry.root = Unescaped(fields[3]);
  entry.mountPoint = Unescaped(fields[4]);
  entry.fsType = Unescaped(fields[separator + 1]);
  entry.source = separator + 2 < fields.size() ? Unescaped(fields[separator + 2]) : "";
  return !entry.mountPoint.empty() && entry.mountPoint[0] == '/';
}

bool Contains(const std::string& mountPoint, const std::string& path) {
  if (mountPoint == "/") return !path.empty() && path[0] == '/';
  return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
         (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

// The path made full with its links resolved, or that of the nearest existing directory above.
std::optional<std::string> ExistingFullPath(const std::string& path) {
  std::string candidate = path.empty() ? "." : path;
  if (candidate[0] != '/') {
    char* current = getcwd(nullptr, 0);
    if (current == nullptr) return std::nullopt;
    candidate = std::string(current) + "/" + candidate;
    free(current);
  }
  for (;;) {
    if (char* resolved = realpath(candidate.c_str(), nullptr)) {
      std::string full = resolved;
      free(resolved);
      return full;
    }
    if ((errno != ENOENT && errno != ENOTDIR) || candidate == "/") return std::nullopt;
    while (candidate.size() > 1 && candidate.back() == '/') candidate.pop_back();
    const size_t slash = candidate.rfind('/');
    candidate = slash == 0 ? "/" : candidate.substr(0, slash);
  }
}

std::string ReadWholeFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

uint64_t SaturatedProduct(uint64_t a, uint64_t b) {
  if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a) {
    return std::numeric_limits<uint64_t>::max();
  }
  return a * b;
}

}  // namespace

std::string PathOfDriveWord(const std::string& text) {
  if (text.size() < 2 || !IsLetter(text[0]) || text[1] != ':') return text;
  if (text.size() == 2) return "/";
  if (text[2] == '\\' || text[2] == '/') return "/" + text.substr(3);
  return text;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> mounts;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    MountEntry entry;
    if (ParseLine(text.substr(start, end - start), entry)) mounts.push_back(std::move(entry));
    start = end + 1;
  }
  return mounts;
}

const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, const std::string& fullPath,
                               std::optional<std::pair<unsigned, unsigned>> device) {
  const auto onDevice = [&](const MountEntry& entry) {
    return device && entry.major == device->first && entry.minor == device->second;
  };
  bool deviceKnown = false;
  for (const MountEntry& entry : mounts) {
    if (Contains(entry.mountPoint, fullPath) && onDevice(entry)) deviceKnown = true;
  }
  const MountEntry* best = nullptr;
  for (const MountEntry& entry : mounts) {
    if (!Contains(entry.mountPoint, fullPath) || (deviceKnown && !onDevice(entry))) continue;
    if (best == nullptr || entry.mountPoint.size() >= best->mountPoint.size()) best = &entry;
  }
  return best;
}

DriveKind KindOfFileSystemType(std::string_view fsType) {
  for (std::string_view cdrom : {"iso9660", "udf"}) {
    if (fsType == cdrom) return DriveKind::CdRom;
  }
  for (std::string_view remote : {"nfs", "nfs4", "cifs", "smb3", "smbfs"}) {
    if (fsType == remote) return DriveKind::Remote;
  }
  return DriveKind::Fixed;
}

bool IsRemovableDevice(unsigned major, unsigned minor, const std::string& sysRoot) {
  const std::string device =
      sysRoot + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
  // A partition has no flag of its own; ".." after the link is the whole device.
  for (const std::string& flag : {device + "/removable", device + "/../removable"}) {
    std::ifstream file(flag);
    char value = 0;
    if (file.get(value)) return value == '1';
  }
  return false;
}

std::optional<DriveFacts> DescribeDrive(const std::string& path) {
  const std::optional<std::string> full = ExistingFullPath(path);
  if (!full) return std::nullopt;
  struct stat info {};
  std::optional<std::pair<unsigned, unsigned>> device;
  if (stat(full->c_str(), &info) == 0) device = {{major(info.st_dev), minor(info.st_dev)}};
  const std::vector<MountEntry> mounts = ReadMountTable();
  const MountEntry* mount = MountHolding(mounts, *full, device);
  if (mount == nullptr) return std::nullopt;
  DriveFacts facts{mount->mountPoint, mount->fsType, KindOfFileSystemType(mount->fsType)};
  if (facts.kind == DriveKind::Fixed && IsRemovableDevice(mount->major, mount->minor)) {
    facts.kind = DriveKind::Removable;
  }
  return facts;
}

std::vector<MountEntry> ReadMountTable() {
  return ParseMountInfo(ReadWholeFile("/proc/self/mountinfo"));
}

std::optional<DriveSpace> QueryDriveSpace(const std::string& path, const StatvfsFunction& query) {
  const std::optional<std::string> full = ExistingFullPath(path);
  struct statvfs facts {};
  if (!full || query(full->c_str(), &facts) != 0) return std::nullopt;
  const uint64_t unit = facts.f_frsize != 0 ? facts.f_frsize : facts.f_bsize;
  return DriveSpace{SaturatedProduct(facts.f_bavail, unit), SaturatedProduct(facts.f_blocks, unit)};
}

int32_t SaturatedInt32(uint64_t value) {
  return value > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
             ? std::numeric_limits<int32_t>::max()
             : static_cast<int32_t>(value);
}

}  // namespace platform
