#include "platform/system/command_text.h"
#include "platform/system/file_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ScratchDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "cmdtext-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Touch(const std::string& name) { std::ofstream(dir_ + "/" + name) << "x"; }
  std::string dir_;
};

TEST_F(ScratchDirectory, SwitchWordsStayAndEverythingElseIsQuoted) {
  Touch("L5");
  const std::string existing = dir_ + "/L5";      // an existing file that looks like a switch
  const std::string newFile = dir_ + "/out.vnt";  // does not exist, but its directory does
  // Neither it nor its directory exists, so by the rule it reads as switches.
  const std::string missingDir = dir_ + "/no/such.vnt";
  const char* argv[] = {"vantcw",  "/L5/F15",        "/#1234/#", existing.c_str(), newFile.c_str(),
                        "in put.flc", "relative/x.flc", "/P",  "",               "/1",
                        "/@*hints", missingDir.c_str()};
  const int argc = static_cast<int>(std::size(argv));
  EXPECT_EQ(platform::BuildCommandText(argc, argv),
            "/L5/F15 /#1234/# \"" + existing + "\" \"" + newFile +
                "\" \"in put.flc\" \"relative/x.flc\" /P \"\" \"/1\" /@*hints " + missingDir);
  EXPECT_EQ(platform::BuildCommandText(1, argv), "");
}

TEST(CommandText, TheRootCountsAsNoDirectory) {
  // "/zz" has only the root as directory part; it is a switch word unless it exists.
  EXPECT_TRUE(platform::IsSwitchWord("/zzNoSuchName"));
  EXPECT_FALSE(platform::IsSwitchWord("/tmp"));
  EXPECT_FALSE(platform::IsSwitchWord("/"));
}

TEST(CommandText, OnlyABlankOutsideQuotesMakesAnArgumentAName) {
  const char* argv[] = {"vntcompi", "/L /F10", "/&\"my pal.bmp\"/O", "/@\"*/tmp/a b\"", "/L\t/F"};
  EXPECT_EQ(platform::BuildCommandText(static_cast<int>(std::size(argv)), argv),
            "\"/L /F10\" /&\"my pal.bmp\"/O /@\"*/tmp/a b\" \"/L\t/F\"");
}

TEST_F(ScratchDirectory, DefaultExtensionSpellings) {
  Touch("upper.VNT");
  Touch("lower.vnt");
  Touch("given.Vnt");
  Touch("given.vnt");
  const std::string base = dir_ + "/";
  EXPECT_EQ(platform::NameForOpening(base + "upper", ".vnt"), base + "upper.VNT");
  EXPECT_EQ(platform::NameForOpening(base + "lower", ".VNT"), base + "lower.vnt");
  EXPECT_EQ(platform::NameForOpening(base + "given", ".Vnt"), base + "given.Vnt");
  EXPECT_EQ(platform::NameForOpening(base + "none", ".Vnt"), base + "none.Vnt");
  EXPECT_EQ(platform::NameForCreating(base + "new", ".VNT"), base + "new.vnt");
  EXPECT_TRUE(platform::HasExtension("/x/CLIP.Flc", ".flc"));
  EXPECT_FALSE(platform::HasExtension("/x/clip.flcx", ".flc"));
  EXPECT_FALSE(platform::HasExtension("lc", ".flc"));
}

}  // namespace
