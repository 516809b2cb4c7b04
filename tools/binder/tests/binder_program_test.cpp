// vntcompi itself, started as a program: it binds the real player with coded videos, and the
// bound copy plays them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/binder/bound_program.h"
#include "playback/tests/coded_video.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"

namespace binder {
namespace {

using Finished = testsupport::ProgramResult;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

using testsupport::ScratchDirectory;

// Without a display the binder uses its console face and never waits for "&Done"; the bound
// player keeps the offscreen platform.
Finished Bind(const std::vector<std::string>& arguments) { return testsupport::RunProgram("vntcompi", arguments); }

Finished PlayBound(const std::string& program) { return testsupport::RunProgram(program, {}, {.offscreen = true}); }

std::string WriteVideo(const std::string& path, uint32_t frames, uint8_t seed) {
  CodedVideoSpec spec;
  for (uint32_t i = 0; i < frames; ++i) {
    Picture picture(16, 8, seed);
    picture.Fill(4 * (i % 4), 4, 4, 4, static_cast<uint8_t>(seed + 1 + i));
    spec.pictures.push_back(picture);
    spec.palettes.push_back(TestPalette(seed));
  }
  return WriteCodedVideo(path, spec).path;
}

class BinderProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    first = WriteVideo(dir.File("first.vnt"), 3, 10);
    second = WriteVideo(dir.File("second.vnt"), 5, 40);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
  }
  ScratchDirectory dir;
  std::string first, second;
};

TEST_F(BinderProgram, BoundPlayerHoldsTheVideosAtTheirOffsetsAndPlaysThem) {
  const std::string player = testsupport::ProgramPath("vantplw");
  const std::string output = dir.File("show");
  // The second video is named without its extension.
  Finished bound = Bind({player, output, "/F/J", first, dir.File("second")});
  ASSERT_EQ(bound.exitCode, 0) << bound.errors;

  const std::string program = ReadFile(player);
  const std::string result = ReadFile(output + ".exe");
  const std::string firstBytes = ReadFile(first), secondBytes = ReadFile(second);
  const size_t offset1 = (program.size() + 511) / 512 * 512;
  const size_t offset2 = offset1 + (firstBytes.size() + 511) / 512 * 512;
  EXPECT_EQ(result.size(), offset2 + (secondBytes.size() + 511) / 512 * 512);
  EXPECT_NE(bound.errors.find("Created " + output + ".exe - " + std::to_string(result.size()) +
                              " bytes written."),
            std::string::npos);
  EXPECT_EQ(result.substr(offset1, firstBytes.size()), firstBytes);
  EXPECT_EQ(result.substr(offset2, secondBytes.size()), secondBytes);
  EXPECT_EQ(result.substr(offset1 + firstBytes.size(), offset2 - offset1 - firstBytes.size()),
            std::string(offset2 - offset1 - firstBytes.size(), '\0'));

  // The program is copied unchanged but for the stored text.
  const size_t area = program.find("SELFPLAY") + 8;
  const std::string text = ":" + std::to_string(offset1) + " :" + std::to_string(offset2) + " /F/J";
  std::string expected = program;
  expected.replace(area, text.size(), text);
  EXPECT_EQ(result.substr(0, program.size()), expected);

  struct stat info {};
  ASSERT_EQ(stat((output + ".exe").c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
  Finished played = PlayBound(output + ".exe");
  EXPECT_EQ(played.exitCode, 0) << played.errors;
}

// Binding a bound program again leaves nothing of its old text behind; several player switches
// travel as one quoted argument.
TEST_F(BinderProgram, RebindingKeepsNothingOfTheOldText) {
  const std::string player = testsupport::ProgramPath("vantplw");
  const std::string once = dir.File("once.exe"), twice = dir.File("twice.exe");
  ASSERT_EQ(Bind({player, once, "/F/J" + std::string(150, 'K'), first}).exitCode, 0);
  Finished rebound = Bind({once, twice, "/F /J", second});
  ASSERT_EQ(rebound.exitCode, 0) << rebound.errors;

  const std::string result = ReadFile(twice);
  const size_t area = result.find("SELFPLAY") + 8;
  const size_t offset = (ReadFile(once).size() + 511) / 512 * 512;
  const std::string text = ":" + std::to_string(offset) + " /F /J";
  std::string expected = text;
  expected.resize(kStoredTextArea, '\0');
  EXPECT_EQ(result.substr(area, kStoredTextArea), expected);
  Finished played = PlayBound(twice);
  EXPECT_EQ(played.exitCode, 0) << played.errors;

  // The usage tells how to give several switches.
  Finished usage = Bind({});
  EXPECT_NE(usage.errors.find("(/L/F10) or in one quoted argument (\"/L /F10\")"), std::string::npos)
      << usage.errors;
}

TEST_F(BinderProgram, RefusesBeforeTheOutputExists) {
  const std::string player = testsupport::ProgramPath("vantplw");
  const std::string output = dir.File("out.exe");
  const auto refused = [&](const std::vector<std::string>& arguments, const std::string& message) {
    Finished finished = Bind(arguments);
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_NE(finished.errors.find(message), std::string::npos) << finished.errors;
    EXPECT_FALSE(std::filesystem::exists(output));
  };

  // A program without the markers: a video stands in for it.
  refused({first, output, "/F", second}, "Unable to find the self-modification markers.");
  refused({player, output, "/F", dir.File("missing.vnt")}, "Error opening file: " + dir.File("missing.vnt"));
  refused({}, "SYNTAX:  VntCompi");

  // A text that would fill the whole area, and more videos than the binder keeps.
  refused({player, output, "/F" + std::string(200, 'J'), first}, "the player holds at most 207");
  std::vector<std::string> many{player, output, "/F"};
  for (int i = 0; i < 33; ++i) many.push_back(first);
  refused(many, "at most 32 can be bound");

  // A full disk: the partial output goes too.
  testsupport::ProgramResult full =
      testsupport::RunProgram("vntcompi", {player, output, "/F", first}, {.fileSizeLimit = 100000});
  EXPECT_EQ(full.exitCode, 1);
  EXPECT_NE(full.errors.find("Error writing to disk: File too large."), std::string::npos)
      << full.errors;
  EXPECT_FALSE(std::filesystem::exists(output));

  // The output must not be one of the inputs.
  const std::string copy = dir.File("copy.vnt");
  std::filesystem::copy_file(first, copy);
  Finished overVideo = Bind({player, copy, "/F", copy});
  EXPECT_EQ(overVideo.exitCode, 1);
  EXPECT_NE(overVideo.errors.find("Output filename must be different"), std::string::npos);
  EXPECT_EQ(ReadFile(copy), ReadFile(first));
}

TEST(BoundProgram, MarkersAcrossTheSearchWindowsAndTheOffsetsOfALargerPlayer) {
  ScratchDirectory dir;
  // A 70000-byte player whose start marker straddles the end of the first 32768-byte window.
  std::string player(70000, 'x');
  const size_t marker = 32768 - 4;
  player.replace(marker, 8, "SELFPLAY");
  player.replace(marker + 8 + kStoredTextArea, 8, "VANTREL!");
  player.replace(100, 8, "SELFPLAY");  // a start marker without its end marker is passed by
  WriteFile(dir.File("player.exe"), player);
  EXPECT_EQ(FindSelfPlayArea(dir.File("player.exe"), "VANTREL!", "SELFPLAY", kStoredTextArea, {}),
            static_cast<int64_t>(marker + 8));

  // The end marker must stand exactly 208 bytes after the start marker.
  player.replace(marker + 8 + kStoredTextArea, 8, "xVANTREL");
  WriteFile(dir.File("other.exe"), player);
  EXPECT_EQ(FindSelfPlayArea(dir.File("other.exe"), "VANTREL!", "SELFPLAY", kStoredTextArea, {}), -1);

  EXPECT_EQ(RoundUpToBlock(70000), 70144);
  EXPECT_EQ(StoredText({70144, 70144 + RoundUpToBlock(1000)}, "/L2"), ":70144 :71168 /L2");
  EXPECT_EQ(StoredText({}, " /F "), "/F");
}

}  // namespace
}  // namespace binder
