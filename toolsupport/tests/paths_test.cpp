#include "toolsupport/base/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// A scratch directory that also puts the current directory back when the test ends.
class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "paths-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = fs::path(pattern).lexically_normal().string();
    previous_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
  }
  std::string dir_;
  fs::path previous_;
};

TEST(Paths, FindExtension) {
  const std::pair<const char*, size_t> cases[] = {
      {"file.tar.gz", 8},
      {"/home/ann/clip.VNT", 14},
      {"dir.d/file", std::string::npos},
      {"x.", 1},
      {".hidden", std::string::npos},
      {"dir/.profile", std::string::npos},
      {"a/..", std::string::npos},
      {"", std::string::npos},
  };
  for (const auto& [path, position] : cases) EXPECT_EQ(FindExtension(path), position) << path;
}

TEST(Paths, AddPathSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"  ", ""}, {"/x/", "/x/"}, {" /x ", "/x/"}, {"rel", "rel/"}, {"/", "/"},
  };
  for (const auto& [in, out] : cases) {
    std::string text = in;
    AddPathSeparator(text);
    EXPECT_EQ(text, out) << in;
  }
}

TEST(Paths, WithAndWithoutSeparator) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"", "", ""},           {"/", "/", "/"},          {"//", "/", "/"},      {"/x", "/x/", "/x"},
      {"/x//", "/x/", "/x"},  {"rel", "rel/", "rel"},   {" a ", " a /", " a "},
  };
  for (const auto& [in, with, without] : cases) {
    EXPECT_EQ(WithSeparator(in), with) << in;
    EXPECT_EQ(WithoutSeparator(in), without) << in;
  }
}

TEST_F(PathsTest, MakeFullPathResolvesAgainstTheCurrentDirectory) {
  fs::current_path(dir_);
  const std::pair<std::string, std::string> cases[] = {
      {"/a/./b/../c", "/a/c"},
      {"/..", "/"},
      {"//a//b/", "/a/b/"},
      {"clip.flc", dir_ + "/clip.flc"},
      {"./sub/../clip.flc", dir_ + "/clip.flc"},
      {"sub/", dir_ + "/sub/"},
      {"..", fs::path(dir_).parent_path().string()},
      {"", ""},
  };
  for (const auto& [in, out] : cases) {
    std::string path = in;
    MakeFullPath(path);
    EXPECT_EQ(path, out) << in;
  }
}

TEST_F(PathsTest, EnterDirectoryTestsOrKeeps) {
  fs::create_directory(dir_ + "/sub");
  WriteFile("plain", "x");
  fs::current_path(dir_);

  std::string sub = " sub/ ";
  EXPECT_TRUE(EnterDirectory(false, sub));
  EXPECT_EQ(sub, dir_ + "/sub");
  EXPECT_EQ(fs::current_path().string(), dir_);  // only a test: nothing moved

  std::string plain = "plain";
  EXPECT_FALSE(EnterDirectory(false, plain));
  std::string missing = "missing";
  EXPECT_FALSE(EnterDirectory(true, missing));
  EXPECT_EQ(fs::current_path().string(), dir_);

  std::string keep = "sub";
  EXPECT_TRUE(EnterDirectory(true, keep));
  EXPECT_EQ(fs::current_path().string(), dir_ + "/sub");

  std::string here = "";
  EXPECT_TRUE(EnterDirectory(false, here));
  EXPECT_EQ(here, dir_ + "/sub");
}

TEST_F(PathsTest, ReducePathKeepsTheChosenParts) {
  fs::create_directory(dir_ + "/movies.d");
  struct Case {
    std::string path;
    bool extension, name, directory;
    std::string expected;
  };
  const Case cases[] = {
      {dir_ + "/clip.tar.vnt", true, true, false, "clip.tar.vnt"},
      {dir_ + "/clip.tar.vnt", false, true, false, "clip.tar"},
      {dir_ + "/clip.tar.vnt", true, false, false, ".vnt"},
      {dir_ + "/clip.tar.vnt", false, false, true, dir_ + "/"},
      {dir_ + "/movies.d", true, true, false, ""},  // a directory has no name
      {dir_ + "/movies.d", true, true, true, dir_ + "/movies.d/"},
      {"  ", true, true, true, ""},
  };
  for (const Case& c : cases) {
    std::string path = c.path;
    ReducePath(c.extension, c.name, c.directory, true, path);
    EXPECT_EQ(path, c.expected) << c.path;
  }
  fs::current_path(dir_);
  std::string relative = "../" + fs::path(dir_).filename().string() + "/x.flc";
  ReducePath(false, true, true, false, relative);
  EXPECT_EQ(relative, dir_ + "/x");
}

TEST_F(PathsTest, FileLengthOfFilesOnly) {
  WriteFile("five", "12345");
  EXPECT_EQ(GetFileLength(dir_ + "/five"), 5u);
  EXPECT_EQ(GetFileLength(dir_ + "/none"), 0u);
  EXPECT_EQ(GetFileLength(dir_), 0u);
}

}  // namespace
