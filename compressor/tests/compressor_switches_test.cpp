#include "compressor/compressor_switches.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "compressor/tests/stored_video.h"
#include "compressor/temp_file.h"
#include "testsupport/file_contents.h"

namespace compressor {
namespace {

CompressorSwitches Parse(std::string text, bool* inRange = nullptr) {
  CompressorSwitches switches;
  const bool ok = ParseCompressorSwitches(text, switches);
  if (inRange) *inRange = ok;
  return switches;
}

bool Accepted(const std::string& text) {
  bool ok = false;
  Parse(text, &ok);
  return ok;
}

TEST(CompressorSwitches, DataRatesOutsideTheirRangesAreRefused) {
  for (const char* good : {"/N1000", "/N240000", "/N0", "/N100", "/N-1", "/N-200", "/N-401",
                           "/N-600", "/K-450", "/K20"}) {
    EXPECT_TRUE(Accepted(good)) << good;
  }
  // Between the ranges, and the gap from -301 to -400 that no conversion gives a meaning.
  for (const char* bad : {"/N500", "/N101", "/N999", "/N-250", "/N-201", "/N-300", "/N-301",
                          "/N-350", "/N-400", "/N-601", "/K500", "/K-350"}) {
    EXPECT_FALSE(Accepted(bad)) << bad;
  }
}

TEST(CompressorSwitches, DefaultsAndValuesBroughtIntoRange) {
  CompressorSwitches s = Parse("");
  EXPECT_EQ(s.keyInterval, 0x10000000u);
  EXPECT_EQ(s.heightScaling, 0u);
  EXPECT_EQ(s.autoKeyPercent, 95u);
  EXPECT_EQ(s.regularTarget, 240000);
  EXPECT_EQ(s.keyTarget, 20);
  EXPECT_FALSE(s.mixOriginals || s.everyOther || s.ringFrame || s.overwrite);

  EXPECT_EQ(Parse("/Z3").heightScaling, 0u);
  EXPECT_EQ(Parse("/Z-1").heightScaling, 0u);
  EXPECT_EQ(Parse("/Z2").heightScaling, 2u);
  EXPECT_EQ(Parse("/A150").autoKeyPercent, 100u);
  EXPECT_EQ(Parse("/A-5").autoKeyPercent, 100u);
  EXPECT_EQ(Parse("/J0").keyInterval, 0x10000000u);
  EXPECT_EQ(Parse("/J12").keyInterval, 12u);

  s = Parse("/M/V/G/O/F15");
  EXPECT_TRUE(s.mixOriginals && s.everyOther && s.ringFrame && s.overwrite);
  EXPECT_EQ(s.frameRate, 15);
}

TEST(CompressorSwitches, HintFileWithItsDeleteMark) {
  std::string text = "\"in.flc\" /@*hints.txt /O";
  CompressorSwitches s;
  ASSERT_TRUE(ParseCompressorSwitches(text, s));
  EXPECT_EQ(s.hintFile, "hints.txt");
  EXPECT_TRUE(s.deleteHintFile);
  EXPECT_TRUE(s.overwrite);
  EXPECT_EQ(text, "\"in.flc\"  ");

  s = Parse("/@\"my hints.txt\"");
  EXPECT_EQ(s.hintFile, "my hints.txt");
  EXPECT_FALSE(s.deleteHintFile);
}

TEST(CompressorSwitches, OutputFrameRate) {
  EXPECT_EQ(OutputFrameRate(0, -6667), -6667);   // the input's
  EXPECT_EQ(OutputFrameRate(15, 100), -6666);    // frames a second
  EXPECT_EQ(OutputFrameRate(-40, 100), 40);      // milliseconds a frame
  EXPECT_EQ(OutputFrameRate(-1500, 100), 1500);
  EXPECT_EQ(OutputFrameRate(-3000, 100), -3000); // the period in 1/100000 s
}

TEST(TempFile, NameFromAllSixtyFourBits) {
  // Characters 8-11 come from bits 32-47: the number must not be cut to 32 bits.
  EXPECT_EQ(MakeTempName(0x0000FEDCBA987654ull, "vnt", "/tmp/"), "/tmp/vntHIJKL.NOP");
  EXPECT_EQ(MakeTempName(0x0000123400000000ull, "vnt", ""), "vntAAAAA.DCB");
  EXPECT_EQ(MakeTempName(0, "", "d/"), "d/AAAAAAAA.AAA");
}

TEST(TempFile, CreatedExclusivelyWithAnotherNameOnAClash) {
  testing::TempFolder folder;
  const std::string directory = folder.path() + "/";
  const std::string taken = MakeTempName(77, "vnt", directory);
  testing::WriteFile(taken, {1, 2, 3});

  const std::string made = CreateTempFile(77, "vnt", directory);
  ASSERT_FALSE(made.empty());
  EXPECT_NE(made, taken);
  EXPECT_EQ(testsupport::ReadFileBytes(taken), (std::vector<uint8_t>{1, 2, 3}));  // left alone
  struct stat info {};
  ASSERT_EQ(stat(made.c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 0);

  EXPECT_NE(CreateTempFile(77, "vnt", directory), made);  // the next clash, the next name
  EXPECT_EQ(CreateTempFile(77, "vnt", folder / "missing/"), "");
}

}  // namespace
}  // namespace compressor
