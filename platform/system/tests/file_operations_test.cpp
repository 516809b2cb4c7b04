#include "platform/system/file_operations.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "testsupport/scratch_directory.h"
#include "platform/system/tests/test_files.h"
#include "testsupport/file_contents.h"

namespace {

using platform::CopyStatus;
using testfiles::WriteFile;

std::string Pattern(size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return text;
}

struct stat Stat(const std::string& name) {
  struct stat info {};
  stat(name.c_str(), &info);
  return info;
}

bool Exists(const std::string& name) { return std::filesystem::exists(name); }

void SetTimes(const std::string& name) {
  ASSERT_TRUE(testfiles::SetTimes(name, {1111111111, 222}, {1234567890, 123456789}));
}

TEST(CopyFile, ContentsTimesModeAndProgressAtBlockEdges) {
  const mode_t oldMask = umask(027);
  for (size_t size : {size_t{0}, size_t{8192}, size_t{8193}, size_t{3 * 8192 + 5}}) {
    testsupport::ScratchDirectory scratch;
    const std::string source = scratch / "in.bin", target = scratch / "out.bin";
    WriteFile(source, Pattern(size));
    SetTimes(source);
    size_t calls = 0;
    uint64_t last = 0;
    const platform::CopyResult result =
        platform::CopyFile(source, target, [&](uint64_t copied, uint64_t total) {
          EXPECT_EQ(total, size);
          ++calls;
          last = copied;
          return true;
        });
    ASSERT_TRUE(result.Copied()) << size << ": " << result.error;
    const struct stat copy = Stat(target);  // before reading it, which may change its access time
    EXPECT_EQ(copy.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(copy.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(copy.st_atim.tv_sec, 1111111111);
    EXPECT_EQ(copy.st_mode & 0777, 0640u);
    EXPECT_EQ(testsupport::ReadFileText(target), Pattern(size)) << size;
    EXPECT_EQ(calls, (size + 8191) / 8192) << size;
    EXPECT_EQ(last, size);
  }
  umask(oldMask);
  // An existing target is replaced and keeps its mode.
  testsupport::ScratchDirectory scratch;
  WriteFile(scratch / "new", "short");
  WriteFile(scratch / "old", Pattern(20000));
  ASSERT_EQ(chmod((scratch / "old").c_str(), 0600), 0);
  ASSERT_TRUE(platform::CopyFile(scratch / "new", scratch / "old").Copied());
  EXPECT_EQ(testsupport::ReadFileText(scratch / "old"), "short");
  EXPECT_EQ(Stat(scratch / "old").st_mode & 0777, 0600u);
}

TEST(CopyFile, OntoItselfUnderAnyNameIsRefusedUntouched) {
  testsupport::ScratchDirectory scratch;
  const std::string source = scratch / "clip.flc";
  ASSERT_EQ(mkdir((scratch / "sub").c_str(), 0755), 0);
  WriteFile(source, Pattern(9000));
  SetTimes(source);
  ASSERT_EQ(link(source.c_str(), (scratch / "hard").c_str()), 0);
  ASSERT_EQ(symlink("clip.flc", (scratch / "soft").c_str()), 0);
  for (const std::string& other : {source, scratch / "./clip.flc", scratch / "sub/../clip.flc",
                                   scratch / "hard", scratch / "soft"}) {
    for (mode_t mode : {0644, 0444}) {
      ASSERT_EQ(chmod(source.c_str(), mode), 0);
      EXPECT_EQ(platform::CopyFile(source, other).status, CopyStatus::SameFile) << other;
      EXPECT_EQ(platform::CopyFile(other, source).status, CopyStatus::SameFile) << other;
      EXPECT_TRUE(platform::SameFile(source, other));
    }
  }
  EXPECT_EQ(testsupport::ReadFileText(source), Pattern(9000));
  EXPECT_EQ(Stat(source).st_mtim.tv_sec, 1234567890);
  EXPECT_FALSE(platform::SameFile(source, scratch / "sub"));
  EXPECT_FALSE(platform::SameFile(source, scratch / "missing"));
}

TEST(CopyFile, CancelAndFailuresLeaveAnExistingTargetAsItWas) {
  testsupport::ScratchDirectory scratch;
  const std::string source = scratch / "in.bin", target = scratch / "out.bin";
  WriteFile(source, Pattern(30000));
  const auto onlyTheInput = [&] {
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1 + Exists(target))
        << "a temporary file was left";
  };
  for (bool existing : {false, true}) {  // cancelled after the second block
    if (existing) WriteFile(target, "old");
    int calls = 0;
    const auto cancel = [&](uint64_t, uint64_t) { return ++calls < 2; };
    EXPECT_EQ(platform::CopyFile(source, target, cancel).status, CopyStatus::Cancelled);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Exists(target), existing);
    onlyTheInput();
  }
  EXPECT_EQ(testsupport::ReadFileText(target), "old");
  // Writes fail as on a full disk once the copy reaches 10000 bytes (a short write first).
  const std::string failed = testfiles::TextFromChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10000, 10000};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("no limit");
    const platform::CopyResult result = platform::CopyFile(source, target);
    return std::to_string(static_cast<int>(result.status)) + " " + std::to_string(result.error);
  });
  EXPECT_EQ(failed, std::to_string(static_cast<int>(CopyStatus::Failed)) + " " +
                        std::to_string(EFBIG));
  EXPECT_EQ(testsupport::ReadFileText(target), "old");
  onlyTheInput();
  // A source whose size says nothing of what it holds fails (EIO) and still harms no target.
  EXPECT_EQ(platform::CopyFile("/proc/self/status", target).error, EIO);
  EXPECT_EQ(testsupport::ReadFileText(target), "old");
  onlyTheInput();
  ASSERT_EQ(unlink(target.c_str()), 0);
  EXPECT_EQ(testsupport::ReadFileText(source), Pattern(30000));
  EXPECT_EQ(platform::CopyFile(scratch / "none", target).error, ENOENT);
  EXPECT_EQ(platform::CopyFile(scratch.path(), target).error, EINVAL);
  ASSERT_EQ(mkfifo((scratch / "pipe").c_str(), 0600), 0);  // refused, never waited on
  EXPECT_EQ(platform::CopyFile(scratch / "pipe", target).error, EINVAL);
  EXPECT_EQ(platform::CopyFile(source, scratch / "pipe").error, EINVAL);
  EXPECT_EQ(platform::CopyFile(source, scratch / "no/dir/x").error, ENOENT);
  EXPECT_FALSE(Exists(target));
}

TEST(MoveFile, NeverReplacesAnExistingTarget) {
  testsupport::ScratchDirectory scratch;
  WriteFile(scratch / "a", "first");
  WriteFile(scratch / "b", "second");
  std::filesystem::create_directories(scratch / "dir/inner");
  struct Case {
    std::string source, target;
    int error;
  } cases[] = {
      {scratch / "a", scratch / "b", EEXIST},     {scratch / "a", scratch / "dir", EEXIST},
      {scratch / "dir", scratch / "b", EEXIST},   {scratch / "none", scratch / "c", ENOENT},
      {scratch / "dir", scratch / "dir/inner/moved", EINVAL},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::MoveFile(c.source, c.target), c.error) << c.target;
  }
  EXPECT_EQ(testsupport::ReadFileText(scratch / "a") + testsupport::ReadFileText(scratch / "b"), "firstsecond");
  EXPECT_EQ(platform::MoveFile(scratch / "a", scratch / "dir/a"), 0);
  EXPECT_EQ(testsupport::ReadFileText(scratch / "dir/a"), "first");
  EXPECT_FALSE(Exists(scratch / "a"));
  EXPECT_EQ(platform::MoveFile(scratch / "dir", scratch / "renamed"), 0);
  EXPECT_TRUE(Exists(scratch / "renamed/inner"));
}

TEST(MoveFile, AcrossFileSystemsOnlyAFileMovesAndNothingIsReplaced) {
  testsupport::ScratchDirectory scratch;
  const std::string other = "/dev/shm";
  if (access(other.c_str(), W_OK) != 0 || Stat(other).st_dev == Stat(scratch.path()).st_dev) {
    GTEST_SKIP() << "no second writable file system";
  }
  const std::string source = scratch / "clip.vnt";
  const std::string target = other + "/vant-move-" + std::to_string(getpid());
  WriteFile(source, Pattern(10000));
  SetTimes(source);
  ASSERT_EQ(chmod(source.c_str(), 0604), 0);
  WriteFile(target, "there");
  EXPECT_EQ(platform::MoveFile(source, target), EEXIST);
  EXPECT_EQ(testsupport::ReadFileText(target), "there");
  ASSERT_EQ(unlink(target.c_str()), 0);
  EXPECT_EQ(platform::MoveFile(source, target), 0);
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(Stat(target).st_mtim.tv_sec, 1234567890);
  EXPECT_EQ(Stat(target).st_mode & 0777, 0604u);
  EXPECT_EQ(testsupport::ReadFileText(target), Pattern(10000));
  unlink(target.c_str());
  ASSERT_EQ(mkdir((scratch / "dir").c_str(), 0755), 0);
  EXPECT_EQ(platform::MoveFile(scratch / "dir", target), EXDEV);
  EXPECT_TRUE(Exists(scratch / "dir"));
  EXPECT_FALSE(Exists(target));
}

}  // namespace
