#include "list_file.h"

#include <gtest/gtest.h>

#include "media_test_files.h"

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

TEST(ListLine, NameFirstThenOnlyTheRestIsReadForTheRange) {
  ListEntry entry = ParseListLine("clip.flc /S10 /E20");
  EXPECT_EQ(entry.name, "clip.flc");
  EXPECT_EQ(entry.start, 10);
  EXPECT_EQ(entry.end, 20);

  // A name that itself holds "/s" text is not cut by the range reader.
  entry = ParseListLine("  \"/data/s5 dir/pic.bmp\" /e3  ");
  EXPECT_EQ(entry.name, "/data/s5 dir/pic.bmp");
  EXPECT_EQ(entry.start, 0);
  EXPECT_EQ(entry.end, 3);

  // Negative values and malformed switches take the defaults.
  entry = ParseListLine("a.bmp /S-4 /E /Ex");
  EXPECT_EQ(entry.start, 0);
  EXPECT_EQ(entry.end, 0);

  EXPECT_TRUE(ParseListLine("# a comment /S3").name.empty());
  EXPECT_TRUE(ParseListLine(" \t ").name.empty());
}

TEST(ListWalker, WalksFileEntriesAndSeriesThenStartsOver) {
  testing_files::ScratchDir dir;
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
