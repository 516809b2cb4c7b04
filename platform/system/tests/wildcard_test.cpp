#include "platform/system/wildcard.h"

#include <gtest/gtest.h>

namespace {

TEST(MatchesWildcard, DosMasks) {
  struct Case {
    const char *name, *mask;
    bool matches;
  } cases[] = {
      {"clip.vnt", "*.vnt", true},    {"CLIP.VNT", "*.vnt", true},     {"clip.vnt", "*.VNT", true},
      {"a.vnt.bak", "*.vnt", false},  {"readme", "*.*", true},         {".bashrc", "*.*", true},
      {"readme", "readme.*", true},   {"readme", "read.*", false},     {"", "*", true},
      {"", "?", false},               {"ab", "a?", true},              {"a", "a?", false},
      {"abc", "a?", false},           {"a1b2c", "a*b*c", true},        {"a1b2", "a*b*c", false},
      {"aXbXbXc", "a*b?c", true},     {".bashrc", "*.bak", false},     {".rc.bak", "*.bak", true},
      {"Mixed.Case", "mIXED.cASE", true}, {"abc", "", false},          {"", "", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::MatchesWildcard(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
  }
}

TEST(SplitName, DirectoryBaseAndExtension) {
  struct Case {
    const char *path, *directory, *base, *extension;
  } cases[] = {
      {"clip.vnt", "", "clip", "vnt"},      {"/home/ann/clip.VNT", "/home/ann/", "clip", "VNT"},
      {".bashrc", "", ".bashrc", ""},       {"dir/.tar.gz", "dir/", ".tar", "gz"},
      {"a.b.c", "", "a.b", "c"},            {"trailing.", "", "trailing", ""},
      {"..", "", "..", ""},                 {"dir.d/file", "dir.d/", "file", ""},
      {"/", "/", "", ""},                   {"", "", "", ""},
  };
  for (const Case& c : cases) {
    const platform::NameParts parts = platform::SplitName(c.path);
    EXPECT_EQ(parts.directory + "|" + parts.base + "|" + parts.extension,
              std::string(c.directory) + "|" + c.base + "|" + c.extension);
  }
  EXPECT_EQ(platform::JoinName({"dir/", ".bashrc", "bak"}), "dir/.bashrc.bak");
  EXPECT_EQ(platform::JoinName({"", "readme", ""}), "readme");
}

TEST(WildcardTargetName, LaysThePatternOverTheSourceName) {
  struct Case {
    const char *pattern, *source, *expected;
  } cases[] = {
      {"*.bak", "/d/report.txt", "report.bak"},
      {"/t/*.*", "/d/report.txt", "/t/report.txt"},
      {"/t/*.*", "/d/readme", "/t/readme"},
      {"new?.*", "abcd.txt", "newd.txt"},  // '?' takes the source's character at its place
      {"ab??.x", "a", "ab.x"},           // or nothing when the source is shorter
      {"x*y.txt", "abcdef.doc", "xbcdef.txt"},
      {"fixed.name", "a.b", "fixed.name"},
      {"*", "a.txt", "a"},
      {"/t/*.*", "/d/.profile", "/t/.profile"},
      {"Up?.*", "low.TXT", "Upw.TXT"},
      {"*.bak", "readme.txt", "readme.bak"},
      {"*.bak", "readme", "readme.bak"},
      {"*.bak", ".bashrc", ".bashrc.bak"},
      {"*.*", "a.tar.gz", "a.tar.gz"},
      {"out/*.*", "readme.txt", "out/readme.txt"},
      {"new.txt", "readme.txt", "new.txt"},
      {"x?y*.t?", "readme.txt", "xeydme.tx"},
      {"????.???", "ab.c", "ab.c"},
      {"*", "data.txt", "data"},
      {"*.", "data.txt", "data"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::WildcardTargetName(c.pattern, c.source), c.expected) << c.pattern << " over " << c.source;
  }
}

}  // namespace
