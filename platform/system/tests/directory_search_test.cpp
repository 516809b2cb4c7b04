#include "platform/system/directory_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "testsupport/scratch_directory.h"
#include "platform/system/tests/test_files.h"

namespace {

using testfiles::WriteFile;

std::vector<std::string> Names(const platform::SearchResult& result) {
  std::vector<std::string> names;
  for (const platform::FoundEntry& entry : result.entries) names.push_back(entry.name);
  return names;
}

TEST(FindMatches, CollectsEveryMatchInNameOrderWithItsFacts) {
  testsupport::ScratchDirectory scratch;
  WriteFile(scratch / "b.txt", "12345");
  WriteFile(scratch / "A.TXT", "");
  WriteFile(scratch / "a.txt", "x");
  WriteFile(scratch / ".hidden.txt", "xy");
  WriteFile(scratch / "readme", "abc");
  ASSERT_EQ(mkdir((scratch / "sub.txt").c_str(), 0755), 0);
  ASSERT_EQ(symlink("b.txt", (scratch / "link.txt").c_str()), 0);
  ASSERT_EQ(symlink("missing", (scratch / "dangling.txt").c_str()), 0);
  ASSERT_TRUE(testfiles::SetTimes(scratch / "b.txt", {1000000000, 0}, {1234567890, 500}));

  const platform::SearchResult texts = platform::FindMatches(scratch / "*.TxT");
  EXPECT_EQ(texts.error, 0);
  EXPECT_EQ(texts.directory, scratch.path() + "/");
  EXPECT_EQ(Names(texts), (std::vector<std::string>{".hidden.txt", "A.TXT", "a.txt", "b.txt",
                                                    "dangling.txt", "link.txt", "sub.txt"}));
  const auto& entries = texts.entries;
  EXPECT_TRUE(entries[0].isHidden && !entries[1].isHidden);
  EXPECT_EQ(entries[3].size, 5u);
  EXPECT_EQ(entries[3].modifyTime.tv_sec * 1000 + entries[3].modifyTime.tv_nsec, 1234567890500);
  EXPECT_EQ(entries[3].accessTime.tv_sec, 1000000000);
  EXPECT_TRUE(entries[4].isLink && entries[5].isLink && !entries[3].isLink);
  EXPECT_EQ(entries[5].size, 5u);  // what the link points to
  EXPECT_TRUE(entries[6].isDirectory && !entries[3].isDirectory);

  // A directory searches all of it; "*.*" takes names without a dot too.
  EXPECT_EQ(platform::FindMatches(scratch.path()).entries.size(), 8u);
  EXPECT_EQ(platform::FindMatches(scratch / "read*.*").entries.size(), 1u);
  EXPECT_TRUE(platform::FindMatches(scratch / "*.none").entries.empty());
  EXPECT_EQ(platform::FindMatches(scratch / "nowhere/*.*").error, ENOENT);
}

TEST(SplitSearchPattern, DirectoriesSearchEverything) {
  testsupport::ScratchDirectory scratch;
  ASSERT_EQ(mkdir((scratch / "clips").c_str(), 0755), 0);
  struct Case {
    std::string pattern, directory, mask;
  } cases[] = {
      {"", "", "*.*"},          {"*.vnt", "", "*.vnt"},           {"/", "/", "*.*"},
      {"a/b/", "a/b/", "*.*"},  {"a/b/c?.flc", "a/b/", "c?.flc"},
      {scratch / "clips", scratch / "clips/", "*.*"},
      {scratch / "clips/x*", scratch / "clips/", "x*"},
  };
  for (const Case& c : cases) {
    const platform::SearchPattern split = platform::SplitSearchPattern(c.pattern);
    EXPECT_EQ(split.directory + "|" + split.mask, c.directory + "|" + c.mask);
  }
}

// One line a directory ("D"), a file ("F") and a skipped directory ("S" and its errno), and "stop"
// when a callback stopped the walk.
std::string WalkLog(const std::string& root, const std::string& mask, size_t stopAfterFiles = 0) {
  std::string log;
  size_t files = 0;
  platform::TreeWalkEvents events;
  events.enteredDirectory = [&](const std::string& directory, size_t searched) {
    log += "D " + directory.substr(root.size()) + " " + std::to_string(searched) + "\n";
    return true;
  };
  events.foundFile = [&](const std::string& directory, const platform::FoundEntry& file) {
    log += "F " + directory.substr(root.size()) + file.name + "\n";
    return ++files != stopAfterFiles;
  };
  events.skipped = [&](const std::string& directory, int error) {
    log += "S " + directory.substr(std::min(root.size(), directory.size())) + " " +
           std::to_string(error) + "\n";
  };
  if (!platform::WalkTree(root, mask, events)) log += "stop";
  return log;
}

TEST(WalkTree, NeverFollowsDirectoryLinksAndSkipsWhatItMayNotRead) {
  testsupport::ScratchDirectory scratch;
  const std::string root = scratch / "tree";
  for (const char* directory : {"", "/sub", "/sub/deeper", "/.hidden", "/locked"}) {
    ASSERT_EQ(mkdir((root + directory).c_str(), 0755), 0);
  }
  for (const char* file : {"/a.txt", "/B.TXT", "/notes.doc", "/sub/c.txt", "/sub/deeper/d.txt",
                           "/.hidden/e.txt", "/locked/f.txt"}) {
    WriteFile(root + file, "x");
  }
  ASSERT_EQ(symlink("..", (root + "/sub/loop").c_str()), 0);
  ASSERT_EQ(symlink(root.c_str(), (root + "/sub/deeper/back.txt").c_str()), 0);
  ASSERT_EQ(symlink("a.txt", (root + "/link.txt").c_str()), 0);
  ASSERT_EQ(chmod((root + "/locked").c_str(), 0), 0);
  ASSERT_EQ(chmod(scratch.path().c_str(), 0755), 0);
  // Permissions stop only others than root, so the walk runs as another user.
  EXPECT_EQ(testfiles::TextFromChild([&] { return WalkLog(root, "*.TXT"); }, true),
            "D / 1\nF /a.txt\nF /B.TXT\nF /link.txt\nS /locked/ " + std::to_string(EACCES) +
                "\nD /sub/ 2\nF /sub/c.txt\nD /sub/deeper/ 3\nF /sub/deeper/d.txt\n");
  EXPECT_EQ(WalkLog(root, "*.txt", 2), "D / 1\nF /a.txt\nF /B.TXT\nstop");
  EXPECT_EQ(WalkLog(root + "/none", "*"), "S / " + std::to_string(ENOENT) + "\n");
}

}  // namespace
