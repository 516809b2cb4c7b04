#pragma once
// Facts about the file system that holds a path, standing in for drives: its type and mount
// point, whether it is a CD-ROM, a network or a removable medium, and its free and total space.
// Used by the script player's FILECDROM, FILEREMOVABLE, FILEREMOTE, DRIVEAVAIL and DRIVESIZE and
// by the front end's drive lists, drive summary and DIR.
#include <sys/statvfs.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A drive word names the root directory: "X:" and "X:\" become "/", and "X:\rest" or "X:/rest"
// becomes "/rest". Anything else is returned unchanged.
std::string PathOfDriveWord(const std::string& text);

struct MountEntry {
  unsigned major = 0;
  unsigned minor = 0;
  std::string root;  // the part of the file system mounted there
  std::string mountPoint;
  std::string fsType;
  std::string source;
};

// The lines of /proc/self/mountinfo text, in their order; malformed lines are left out. Escaped
// characters of names ("\040" for a blank) are decoded.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The mount that holds a full path without links: of the mount points that contain it, whole
// components compared, the deepest one on the device (when known) that holds the path; among
// several on one mount point the last, which hides the others. Null when none contains it.
const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, const std::string& fullPath,
                               std::optional<std::pair<unsigned, unsigned>> device = {});

enum class DriveKind { Fixed, Removable, CdRom, Remote };

// iso9660 and udf are CD-ROMs; nfs, nfs4, cifs, smb3 and smbfs are network file systems.
DriveKind KindOfFileSystemType(std::string_view fsType);

// /sys/dev/block/MAJ:MIN/removable, or that of the whole device for a partition.
bool IsRemovableDevice(unsigned major, unsigned minor, const std::string& sysRoot = "/sys");

struct DriveFacts {
  std::string mountPoint;
  std::string fsType;
  DriveKind kind = DriveKind::Fixed;
};

// The facts of the file system holding the path, or of the nearest existing directory above it
// when it does not exist yet. Nothing when the mount table cannot be read.
std::optional<DriveFacts> DescribeDrive(const std::string& path);

// Every mounted file system, for drive lists.
std::vector<MountEntry> ReadMountTable();

struct DriveSpace {
  uint64_t freeBytes = 0;  // what an unprivileged user may still fill
  uint64_t totalBytes = 0;
};

using StatvfsFunction = std::function<int(const char* path, struct statvfs* facts)>;

// Space of the file system holding the path (or the nearest existing directory above it). Sizes
// that do not fit 64 bits saturate. Nothing when the system cannot tell.
std::optional<DriveSpace> QueryDriveSpace(const std::string& path,
                                          const StatvfsFunction& query = ::statvfs);

// Sizes shown as 32-bit signed numbers stop at 2147483647.
int32_t SaturatedInt32(uint64_t value);

}  // namespace platform
