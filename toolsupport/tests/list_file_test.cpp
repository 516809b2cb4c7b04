#include "toolsupport/io/list_file.h"

#include <gtest/gtest.h>

#include "toolsupport/tests/media_test_files.h"

namespace toolsupport {
namespace {

std::vector<ListEntry> WalkAll(ListWalker& walker, size_t limit = 100000) {
  std::vector<ListEntry> entries;
  ListEntry entry;
  while (entries.size() < limit && walker.ParseListEntry(entry)) entries.push_back(entry);
  return entries;
}

TEST(SeriesName, ExpandsEveryNumberOfTheRangeWithPadding) {
  ListWalker walker;
  walker.SetSingleName("Exam???.BMP*1-149");
  std::vector<ListEntry> entries = WalkAll(walker);
  ASSERT_EQ(entries.size(), 149u);
  EXPECT_EQ(entries.front().name, "Exam001.BMP");
  EXPECT_EQ(entries[98].name, "Exam099.BMP");
  EXPECT_EQ(entries.back().name, "Exam149.BMP");
  EXPECT_TRUE(entries.front().inSeries);

  // A number longer than the '?' run is written in full.
  walker.SetSingleName("Exam?.BMP*8-12");
  entries = WalkAll(walker);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries.front().name, "Exam8.BMP");
  EXPECT_EQ(entries.back().name, "Exam12.BMP");
}

TEST(SeriesName, WithoutUsableRangeGivesNoEntriesAndEnds) {
  for (const char* name : {"Exam???.BMP", "Exam???.BMP*0", "Exam???.BMP*9-3", "Exam???.BMP*0-0"}) {
    ListWalker walker;
    walker.SetSingleName(name);
    EXPECT_TRUE(WalkAll(walker, 10).empty()) << name;
  }
  // A single number is a range of one.
  ListWalker walker;
  walker.SetSingleName("f??.tga*7");
  std::vector<ListEntry> entries = WalkAll(walker);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "f07.tga");
}

TEST(ListLine, RangeWordsComeOutAndTheRestIsTheName) {
  struct Case {
    const char* line;
    const char* name;
    int32_t start, end;
  };
  const Case cases[] = {
      {"clip.flc /S10 /E20", "clip.flc", 10, 20},
      {"my clip.flc", "my clip.flc", 0, 0},                 // blanks belong to the name
      {"/S2 clip.flc", "clip.flc", 2, 0},                    // a range before the name
      {"/e5 my clip.flc /s3", "my clip.flc", 3, 5},
      {"  \"/data/s5 dir/pic.bmp\" /e3  ", "/data/s5 dir/pic.bmp", 0, 3},
      {"\"clip /S4.flc\"", "clip /S4.flc", 0, 0},           // never read inside quotes
      {"/srv/clips/a.flc", "/srv/clips/a.flc", 0, 0},       // path parts stay in the name
      {"/s01/frames.flc /S7", "/s01/frames.flc", 7, 0},
      {"take /S2 two.flc", "take two.flc", 2, 0},
      {"x.flc\t/S3\t/E9", "x.flc", 3, 9},
      {"a.bmp /S4 /S8", "a.bmp", 4, 0},                     // the first of a letter counts
      {"a.bmp /S-4 /E /Ex", "a.bmp /E /Ex", 0, 0},          // negative or malformed: defaults
      {"# a comment /S3", "", 0, 0},
      {" \t ", "", 0, 0},
  };
  for (const Case& c : cases) {
    const ListEntry entry = ParseListLine(c.line);
    EXPECT_EQ(entry.name, c.name) << c.line;
    EXPECT_EQ(entry.start, c.start) << c.line;
    EXPECT_EQ(entry.end, c.end) << c.line;
  }
}

TEST(ListWalker, WalksFileEntriesAndSeriesThenStartsOver) {
  testing_files::ScratchDirectory dir;
  std::string longName(300, 'n');  // no length limit on names
  testing_files::WriteText(dir / "in.lst",
                           "# header\r\n"
                           "\r\n"
                           "first.bmp\r\n"
                           "s??.gif /S3 /E4\n"
                           "clip.flc /S10 /E20\n"
                           "bad??.bmp\n" +
                               longName + ".bmp");
  ListWalker walker;
  ASSERT_TRUE(walker.OpenListFile(dir / "in.lst"));
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<ListEntry> entries = WalkAll(walker);
    ASSERT_EQ(entries.size(), 5u) << "pass " << pass;
    EXPECT_EQ(entries[0].name, "first.bmp");
    EXPECT_FALSE(entries[0].inSeries);
    EXPECT_EQ(entries[1].name, "s03.gif");
    EXPECT_EQ(entries[2].name, "s04.gif");
    EXPECT_EQ(entries[2].start, 0);
    EXPECT_EQ(entries[3].name, "clip.flc");
    EXPECT_EQ(entries[3].start, 10);
    EXPECT_EQ(entries[3].end, 20);
    EXPECT_EQ(entries[4].name, longName + ".bmp");
  }
  EXPECT_FALSE(walker.OpenListFile(dir / "missing.lst"));
}

TEST(ListWalker, SinglePlainNameIsOneEntry) {
  ListWalker walker;
  walker.SetSingleName("movie.avi");
  std::vector<ListEntry> entries = WalkAll(walker);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "movie.avi");
  EXPECT_EQ(WalkAll(walker).size(), 1u);
}

}  // namespace
}  // namespace toolsupport
