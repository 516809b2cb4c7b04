// The audprw program run as a process on WAV, raw and .vnt inputs; outputs read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/system/little_endian.h"
#include "testsupport/wait_until.h"
#include "toolsupport/tests/flic_test_support.h"
#include "testsupport/run_program.h"
#include "tools/sound/wav_header.h"
#include "testsupport/file_contents.h"

namespace soundtool {
namespace {

using testsupport::RunProgram;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return platform::LoadLE32(b.data() + at); }
uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return platform::LoadLE16(b.data() + at); }

std::vector<uint8_t> Samples(size_t count) {
  std::vector<uint8_t> samples(count);
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<uint8_t>(128 + 100 * ((i / 25) % 2 ? 1 : -1) + i % 7);
  return samples;
}

void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The header fields of a WAV output and its data.
void ExpectWav(const std::vector<uint8_t>& file, uint32_t rate, uint32_t bits, uint32_t channels,
               const std::vector<uint8_t>& data) {
  ASSERT_EQ(file.size(), 44 + data.size());
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(file, 4), file.size() - 8);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le32(file, 16), 16u);
  EXPECT_EQ(Le16(file, 20), 1u);
  EXPECT_EQ(Le16(file, 22), channels);
  EXPECT_EQ(Le32(file, 24), rate);
  EXPECT_EQ(Le32(file, 28), rate * channels * bits / 8);
  EXPECT_EQ(Le16(file, 32), channels * bits / 8);
  EXPECT_EQ(Le16(file, 34), bits);
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
  EXPECT_EQ(Le32(file, 40), data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), file.begin() + 44));
}

class AudprwProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("VANT_BIN_DIR")) GTEST_SKIP() << "VANT_BIN_DIR is not set";
    folder = scratch.File("");
    input = scratch.File("in.wav");
    Write(input, testsupport::WavBytes(11025, 1, 8, samples));
  }
  flictest::ScratchDirectory scratch;
  std::string folder, input;
  std::vector<uint8_t> samples = Samples(11025);
};

TEST_F(AudprwProgram, WavAndRawOutputsHoldTheSamples) {
  auto run = RunProgram("audprw", {input, scratch.File("out")});  // ".wav" is added
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.errors.find("Created " + scratch.File("out.wav") + " - 11069 bytes written."), std::string::npos)
      << run.errors;
  ExpectWav(testsupport::ReadFileBytes(scratch.File("out.wav")), 11025, 8, 1, samples);

  run = RunProgram("audprw", {input, scratch.File("out.raw")});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(testsupport::ReadFileBytes(scratch.File("out.raw")), samples);
}

TEST_F(AudprwProgram, HeaderlessInputTakesItsFormatFromTheSwitches) {
  Write(scratch.File("in.pcm"), samples);
  const auto run = RunProgram("audprw", {scratch.File("in.pcm"), scratch.File("out.WAV"), "/Y2/D22050"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  ExpectWav(testsupport::ReadFileBytes(scratch.File("out.WAV")), 22050, 8, 2, std::vector<uint8_t>(samples.begin(), samples.end() - 1));
}

TEST_F(AudprwProgram, AVideoTrackComesBackAsItWasStored) {
  // A WAV input makes a blank video with the sound as its track; lossless coding keeps it exact.
  const std::string video = scratch.File("tone.vnt");
  const auto made = RunProgram("vantcw", {input, video, "/L0"});
  ASSERT_EQ(made.exitCode, 0) << made.errors;
  const auto run = RunProgram("audprw", {video, scratch.File("back.wav")});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  ExpectWav(testsupport::ReadFileBytes(scratch.File("back.wav")), 11025, 8, 1, samples);
}

TEST_F(AudprwProgram, UsageAndSameFileFailWithoutOutput) {
  const std::vector<uint8_t> original = testsupport::ReadFileBytes(input);
  auto run = RunProgram("audprw", {input});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("SYNTAX:  AudPr  InputSoundFile OutputWavFile[.WAV]  [/Switches]"), std::string::npos)
      << run.errors;
  EXPECT_EQ(RunProgram("audprw", {input, scratch.File("x.wav"), "/Q"}).exitCode, 1);  // a '/' left
  // A word more than the two names: the usage, and no file named after the last two words.
  run = RunProgram("audprw", {input, scratch.File("b.wav"), scratch.File("c.wav")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("SYNTAX:  AudPr"), std::string::npos) << run.errors;
  ASSERT_EQ(symlink(input.c_str(), scratch.File("link.wav").c_str()), 0);
  for (const std::string& same : {input, scratch.File("link.wav")}) {
    run = RunProgram("audprw", {input, same, "/O"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("Output filename must be different than the input filename."), std::string::npos);
  }
  EXPECT_EQ(testsupport::ReadFileBytes(input), original);
  EXPECT_EQ(RunProgram("audprw", {scratch.File("none.wav"), scratch.File("x.wav")}).exitCode, 1);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"in.wav", "link.wav"}));
}

TEST_F(AudprwProgram, AFailedWriteLeavesNoOutput) {
  const auto run = RunProgram("audprw", {input, scratch.File("cut.wav")}, {.fileSizeLimit = 4000});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("Error writing to disk: File too large."), std::string::npos) << run.errors;
  EXPECT_EQ(Names(folder), std::vector<std::string>{"in.wav"});
}

TEST_F(AudprwProgram, AStoppedRunLeavesNoOutput) {
  // A long headerless input (sparse, so it costs no disk): stopped as soon as its output is being
  // written (under a temporary name beside it).
  const std::string big = scratch.File("big.pcm"), out = scratch.File("big.raw");
  Write(big, {});
  ASSERT_EQ(truncate(big.c_str(), 400'000'000), 0);
  const testsupport::StartedProgram started = testsupport::StartProgram("audprw", {big, out, "/Y1"});
  ASSERT_GT(started.pid, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return Names(folder).size() > 2; }));
  kill(started.pid, SIGTERM);
  const testsupport::ProgramResult run = testsupport::WaitProgram(started);
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"big.pcm", "in.wav"}));
}

TEST(WavHeader, SizesPastFourGigabytesStayOutOfTheHeader) {
  const auto header = MakeWavHeader(44100, 16, 2, kMaxWavDataSize);
  const std::vector<uint8_t> bytes(header.begin(), header.end());
  EXPECT_EQ(Le32(bytes, 4), 0xFFFFFFFFu);
  EXPECT_EQ(Le32(bytes, 40), 0xFFFFFFFFu - 36);
  EXPECT_EQ(Le32(bytes, 28), 176400u);
}

}  // namespace
}  // namespace soundtool
