#include "platform/system/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/system/file_set.h"
#include "platform/system/tests/test_files.h"
#include "testsupport/file_contents.h"
#include "testsupport/scratch_directory.h"

namespace {

using testfiles::WriteFile;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

mode_t ModeOf(const std::string& name) {
  struct stat info {};
  stat(name.c_str(), &info);
  return info.st_mode & 07777;
}

// Writes through a replacement and commits or abandons it; what the folder holds afterwards.
TEST(FileReplacement, TheTargetChangesOnlyOnCommitAndNoTemporaryFileStays) {
  const mode_t oldMask = umask(027);
  struct Case {
    const char* what;
    const char* target;  // in the scratch folder, which holds "old" (0604) and "link" -> "old"
    bool commit;
    const char* expectedFile;  // the file that holds the result
    const char* expectedText;
    mode_t expectedMode;
  } cases[] = {
      {"new file", "new", true, "new", "written", 0640},
      {"new file, abandoned", "new", false, "old", "old text", 0604},
      {"existing file", "old", true, "old", "written", 0604},
      {"existing file, abandoned", "old", false, "old", "old text", 0604},
      {"through a link", "link", true, "old", "written", 0604},
      {"through a dangling link", "dangling", true, "missing", "written", 0640},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::ScratchDirectory scratch;
    WriteFile(scratch / "old", "old text");
    ASSERT_EQ(chmod((scratch / "old").c_str(), 0604), 0);
    ASSERT_EQ(symlink("old", (scratch / "link").c_str()), 0);
    ASSERT_EQ(symlink("missing", (scratch / "dangling").c_str()), 0);
    const std::set<std::string> before = Names(scratch.path());
    {
      platform::FileReplacement replacement;
      ASSERT_EQ(replacement.Begin(scratch / c.target), 0);
      EXPECT_NE(replacement.Path(), scratch / c.target);
      EXPECT_EQ(replacement.Path().rfind(scratch.path() + "/.", 0), 0u) << replacement.Path();
      WriteFile(replacement.Path(), "written");
      EXPECT_EQ(testsupport::ReadFileText(scratch / "old"), "old text");  // nothing changes before the commit
      if (c.commit) {
        EXPECT_EQ(replacement.Commit(), 0);
      }
    }
    std::set<std::string> expectedNames = before;
    if (c.commit) expectedNames.insert(c.expectedFile);
    EXPECT_EQ(Names(scratch.path()), expectedNames);
    EXPECT_EQ(testsupport::ReadFileText(scratch / c.expectedFile), c.expectedText);
    EXPECT_EQ(ModeOf(scratch / c.expectedFile), c.expectedMode);
    struct stat link {};
    ASSERT_EQ(lstat((scratch / "link").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
  }
  umask(oldMask);
}

TEST(FileReplacement, RefusalsDevicesAndNoReplace) {
  testsupport::ScratchDirectory scratch;
  WriteFile(scratch / "old", "old");
  ASSERT_EQ(mkdir((scratch / "dir").c_str(), 0755), 0);
  platform::FileReplacement replacement;
  EXPECT_EQ(replacement.Begin(scratch / "dir"), EISDIR);
  EXPECT_EQ(replacement.Begin(scratch / "no/such/folder"), ENOENT);
  EXPECT_EQ(replacement.Begin(""), ENOENT);
  // A device is written in place: it is never renamed over.
  ASSERT_EQ(replacement.Begin("/dev/null"), 0);
  EXPECT_EQ(replacement.Path(), "/dev/null");
  EXPECT_EQ(replacement.Commit(), 0);
  // Without replacing, an existing target stays and the temporary file goes.
  ASSERT_EQ(replacement.Begin(scratch / "old"), 0);
  WriteFile(replacement.Path(), "new");
  EXPECT_EQ(replacement.Commit(false), EEXIST);
  EXPECT_EQ(testsupport::ReadFileText(scratch / "old"), "old");
  EXPECT_EQ(Names(scratch.path()), (std::set<std::string>{"dir", "old"}));

  // Permissions count for an unprivileged user: a read-only file and a folder that cannot be
  // written are refused with the system's reason, before anything is made.
  ASSERT_EQ(chmod(scratch.path().c_str(), 0777), 0);
  WriteFile(scratch / "dir/kept", "kept");
  ASSERT_EQ(chmod((scratch / "dir/kept").c_str(), 0666), 0);  // the folder refuses, not the file
  ASSERT_EQ(chmod((scratch / "dir").c_str(), 0555), 0);
  WriteFile(scratch / "readonly", "readonly");
  ASSERT_EQ(chmod((scratch / "readonly").c_str(), 0444), 0);
  const std::string refused = testfiles::TextFromChild(
      [&] {
        platform::FileReplacement child;
        return std::to_string(child.Begin(scratch / "readonly")) + " " + std::to_string(child.Begin(scratch / "dir/kept")) +
               " " + std::to_string(child.Begin(scratch / "dir/new"));
      },
      true);
  EXPECT_EQ(refused, std::to_string(EACCES) + " " + std::to_string(EACCES) + " " + std::to_string(EACCES));
  EXPECT_EQ(Names(scratch / "dir"), std::set<std::string>{"kept"});
}

// A program that changes its directory between the start and the commit still replaces the file
// it named.
TEST(FileReplacement, RelativeNamesHoldAcrossAChangeOfDirectory) {
  testsupport::ScratchDirectory scratch;
  ASSERT_EQ(mkdir((scratch / "elsewhere").c_str(), 0755), 0);
  char* previous = getcwd(nullptr, 0);
  ASSERT_NE(previous, nullptr);
  ASSERT_EQ(chdir(scratch.path().c_str()), 0);
  platform::FileReplacement replacement;
  ASSERT_EQ(replacement.Begin("made.txt"), 0);
  WriteFile(replacement.Path(), "made");
  ASSERT_EQ(chdir("elsewhere"), 0);
  EXPECT_EQ(replacement.Commit(), 0);
  ASSERT_EQ(chdir(previous), 0);
  free(previous);
  EXPECT_EQ(testsupport::ReadFileText(scratch / "made.txt"), "made");
  EXPECT_EQ(Names(scratch / "elsewhere"), std::set<std::string>{});
}

TEST(FileSet, HoldsAFileUnderEveryNameItHas) {
  testsupport::ScratchDirectory scratch;
  WriteFile(scratch / "in", "in");
  WriteFile(scratch / "other", "other");
  ASSERT_EQ(link((scratch / "in").c_str(), (scratch / "hard").c_str()), 0);
  ASSERT_EQ(symlink("in", (scratch / "soft").c_str()), 0);
  ASSERT_EQ(mkdir((scratch / "sub").c_str(), 0755), 0);
  platform::FileSet inputs;
  inputs.Add(scratch / "missing");
  EXPECT_TRUE(inputs.Empty());
  inputs.Add(scratch / "soft");
  for (const std::string& name : {scratch / "in", scratch / "hard", scratch / "soft", scratch / "sub/../in"}) {
    EXPECT_TRUE(inputs.Holds(name)) << name;
  }
  EXPECT_FALSE(inputs.Holds(scratch / "other"));
  EXPECT_FALSE(inputs.Holds(scratch / "missing"));
  platform::FileSet more;
  more.Add(scratch / "other");
  more.Add(inputs);
  EXPECT_TRUE(more.Holds(scratch / "hard"));
  EXPECT_TRUE(more.Holds(scratch / "other"));
}

}  // namespace
