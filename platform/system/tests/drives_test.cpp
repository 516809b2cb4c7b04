#include "platform/system/drives.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "testsupport/scratch_directory.h"
#include "platform/system/tests/test_files.h"

namespace {

using platform::DriveKind;

constexpr const char* kMountInfo =
    "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
    "25 24 0:23 / /dev/shm rw,relatime - tmpfs tmpfs rw,size=1k\n"
    "30 25 0:27 / /dev/shm rw,relatime - tmpfs tmpfs rw,size=2k\n"
    "41 27 11:0 / /media/ann/My\\040Disc ro,nosuid shared:7 master:2 - iso9660 /dev/sr0 ro\n"
    "43 27 0:50 / /srv/share rw - nfs4 server:/export rw\n"
    "45 27 254:0 /home/ann/stuff /mnt/bound rw - ext4 /dev/vda rw\n"
    "46 27 254:9 / /mnt rw - ext4 /dev/vdj rw\n"
    "garbage line\n"
    "47 27 x:y / /bad rw - ext4 /dev/x rw\n"
    "48 27 1:2 / /nodash rw ext4 /dev/x rw\n"
    "\n"
    "49 27 1:3 / relative rw - ext4 /dev/x rw";

TEST(ParseMountInfo, ReadsEveryWellFormedLineAndTheMountHoldingAPath) {
  const std::vector<platform::MountEntry> mounts = platform::ParseMountInfo(kMountInfo);
  ASSERT_EQ(mounts.size(), 7u);
  EXPECT_EQ(mounts[0].source, "/dev/vda");
  EXPECT_EQ(mounts[3].mountPoint, "/media/ann/My Disc");
  EXPECT_EQ(mounts[3].major * 1000 + mounts[3].minor, 11000u);
  EXPECT_EQ(mounts[5].root, "/home/ann/stuff");
  using Device = std::optional<std::pair<unsigned, unsigned>>;
  struct Case {
    const char* path;
    Device device;
    const char *mountPoint, *fsType;
  } cases[] = {
      {"/", {}, "/", "ext4"},
      {"/media/ann/My Disc/video/a.vnt", {}, "/media/ann/My Disc", "iso9660"},
      {"/media/ann/My Discs", {}, "/", "ext4"},  // whole components only
      {"/srv/share", {}, "/srv/share", "nfs4"},
      {"/mnt/bound/y", std::pair{254u, 0u}, "/mnt/bound", "ext4"},
      // A later mount over /mnt hides the one at /mnt/bound: the device tells.
      {"/mnt/bound/y", std::pair{254u, 9u}, "/mnt", "ext4"},
      // A device that no mount names (a subvolume): the deepest mount point.
      {"/mnt/bound/y", std::pair{0u, 99u}, "/mnt/bound", "ext4"},
  };
  for (const Case& c : cases) {
    const platform::MountEntry* mount = platform::MountHolding(mounts, c.path, c.device);
    ASSERT_NE(mount, nullptr) << c.path;
    EXPECT_EQ(mount->mountPoint + " " + mount->fsType, std::string(c.mountPoint) + " " + c.fsType);
  }
  // Of two mounts on one point the later hides the earlier.
  EXPECT_EQ(platform::MountHolding(mounts, "/dev/shm/x")->minor, 27u);
  EXPECT_EQ(platform::MountHolding(mounts, "relative"), nullptr);
}

TEST(DriveKinds, FromTheFileSystemTypeAndTheDeviceFlag) {
  for (const char* type : {"iso9660", "udf"}) {
    EXPECT_EQ(platform::KindOfFileSystemType(type), DriveKind::CdRom) << type;
  }
  for (const char* type : {"nfs", "nfs4", "cifs", "smb3", "smbfs"}) {
    EXPECT_EQ(platform::KindOfFileSystemType(type), DriveKind::Remote) << type;
  }
  for (const char* type : {"ext4", "vfat", "nfsd"}) {
    EXPECT_EQ(platform::KindOfFileSystemType(type), DriveKind::Fixed) << type;
  }
  // A fake sysfs: a stick with a partition, and a fixed disk.
  testsupport::ScratchDirectory sys;
  std::filesystem::create_directories(sys / "dev/block");
  std::filesystem::create_directories(sys / "devices/sdb/sdb1");
  std::filesystem::create_directories(sys / "devices/vda");
  testfiles::WriteFile(sys / "devices/sdb/removable", "1\n");
  testfiles::WriteFile(sys / "devices/vda/removable", "0\n");
  ASSERT_EQ(symlink("../../devices/sdb", (sys / "dev/block/8:16").c_str()), 0);
  ASSERT_EQ(symlink("../../devices/sdb/sdb1", (sys / "dev/block/8:17").c_str()), 0);
  ASSERT_EQ(symlink("../../devices/vda", (sys / "dev/block/254:0").c_str()), 0);
  EXPECT_TRUE(platform::IsRemovableDevice(8, 16, sys.path()));
  EXPECT_TRUE(platform::IsRemovableDevice(8, 17, sys.path()));
  EXPECT_FALSE(platform::IsRemovableDevice(254, 0, sys.path()));
  EXPECT_FALSE(platform::IsRemovableDevice(0, 27, sys.path()));
  // The real table: a path not made yet belongs to the drive of its nearest directory.
  const auto missing = platform::DescribeDrive(sys / "not/made/yet.vnt");
  const auto there = platform::DescribeDrive(sys.path());
  ASSERT_TRUE(missing && there);
  EXPECT_EQ(missing->mountPoint, there->mountPoint);
  EXPECT_EQ(platform::DescribeDrive("/")->mountPoint, "/");
}

TEST(QueryDriveSpace, SixtyFourBitSizesAndSaturation) {
  testsupport::ScratchDirectory scratch;
  struct Case {
    fsblkcnt_t blocks, available;
    unsigned long fragment;
    uint64_t total, free;
    int32_t total32;
  } cases[] = {
      {1000, 250, 4096, 4096000, 1024000, 4096000},
      {1u << 20, 1u << 19, 4096, 1ull << 32, 1ull << 31, 2147483647},
      {524287, 0, 4096, 2147479552, 0, 2147479552},
      {100, 10, 0, 51200, 5120, 51200},  // no fragment size: the block size of 512 counts
      {~fsblkcnt_t{0}, ~fsblkcnt_t{0}, 4096, ~0ull, ~0ull, 2147483647},
  };
  for (const Case& c : cases) {
    std::string asked;
    const auto fake = [&](const char* path, struct statvfs* facts) {
      asked = path;
      *facts = {};
      facts->f_blocks = c.blocks;
      facts->f_bavail = c.available;
      facts->f_bfree = c.available + 1;
      facts->f_frsize = c.fragment;
      facts->f_bsize = 512;
      return 0;
    };
    const auto space = platform::QueryDriveSpace(scratch / "later/file", fake);
    ASSERT_TRUE(space.has_value());
    EXPECT_EQ(asked, std::filesystem::canonical(scratch.path()).string());  // nearest existing
    EXPECT_EQ(space->totalBytes, c.total);
    EXPECT_EQ(space->freeBytes, c.free);
    EXPECT_EQ(platform::SaturatedInt32(space->totalBytes), c.total32);
  }
  EXPECT_FALSE(platform::QueryDriveSpace("/", [](const char*, struct statvfs*) { return -1; }));
  const auto real = platform::QueryDriveSpace(scratch.path());
  ASSERT_TRUE(real.has_value());
  EXPECT_LE(real->freeBytes, real->totalBytes);
}

TEST(PathOfDriveWord, DriveWordsNameTheRoot) {
  struct Case {
    const char *text, *path;
  } cases[] = {{"C:", "/"},         {"d:\\", "/"},         {"D:/", "/"},  {"c:\\clips", "/clips"},
               {"c:/x/y", "/x/y"},  {"c:name", "c:name"},  {"1:", "1:"},  {"ab:", "ab:"},
               {"/home", "/home"},  {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(platform::PathOfDriveWord(c.text), c.path) << c.text;
}

}  // namespace
