// The real vantcw program on a generated animation with a tone, played back through the
// playback library.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "compressor/demo/demo_clip.h"
#include "compressor/compressor_main.h"
#include "toolsupport/picture/graphics_source.h"
#include "compressor/tests/play_video.h"
#include "toolsupport/ui/status_window.h"
#include "compressor/tests/stored_video.h"
#include "toolsupport/tests/report_collector.h"
#include "testsupport/run_program.h"
#include "testsupport/file_contents.h"

namespace compressor {
namespace {

using testing::TempFolder;

// Runs vantcw with these arguments and no display (its console face); returns its exit code.
int RunVantcw(const std::vector<std::string>& arguments) {
  return testsupport::RunProgram("vantcw", arguments).exitCode;
}

// The frames of a picture input as the picture input delivers them.
std::vector<std::vector<uint8_t>> InputFrames(const std::string& name) {
  std::vector<std::vector<uint8_t>> frames;
  toolsupport::GraphicsSwitches switches;
  std::unique_ptr<toolsupport::GraphicsSource> source = toolsupport::OpenGraphicsInput({}, "", switches, name).Take();
  if (!source) return frames;
  while (!source->atEnd && toolsupport::NextGraphicsFrame(*source)) {
    std::vector<uint8_t> frame;
    for (int32_t y = 0; y < source->outputHeight; ++y) {
      const uint8_t* row = source->outputFrame.data() + size_t(y) * size_t(source->outputPitch);
      frame.insert(frame.end(), row, row + source->outputWidth);
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Track 0's sound of every frame as the playback library decodes it.
std::vector<uint8_t> PlayedTrack(const std::string& path) {
  std::vector<uint8_t> sound;
  VantVideo* video = VantOpen(path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
  if (!video) return sound;
  std::vector<uint8_t> buffer(video->header.audioSizes[0]);
  for (uint32_t frame = 0; frame < video->header.frames; ++frame) {
    const uint32_t bytes = VantGetTrackData(video, buffer.data(), VANT_OPEN_TRACK_0);
    sound.insert(sound.end(), buffer.begin(), buffer.begin() + bytes);
    VantNextFrame(video);
  }
  VantClose(video);
  return sound;
}

class VantcwProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("VANT_BIN_DIR")) GTEST_SKIP() << "VANT_BIN_DIR is not set";
    clip = democlip::MakeDemoClip(96, 64, 20, 10, 11025);  // 2 seconds
    input = folder / "clip.avi";
    ASSERT_TRUE(democlip::WriteAvi(input, clip));
  }
  TempFolder folder;
  democlip::Clip clip;
  std::string input;
};

TEST_F(VantcwProgram, PlayedFramesAreTheEncodersFramesAndTheToneComesBackWhole) {
  // A flic gets the frames exactly as the encoder rebuilt them; error targets make both runs
  // code alike whatever the sound takes.
  const std::string video = folder / "clip.vnt", pictures = folder / "clip.flc";
  ASSERT_EQ(RunVantcw({input, video, "/N30/K10"}), 0);
  ASSERT_EQ(RunVantcw({input, pictures, "/N30", "/K10"}), 0);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "clip.flc", "clip.vnt"}));

  const std::vector<std::vector<uint8_t>> rebuilt = InputFrames(pictures);
  ASSERT_EQ(rebuilt.size(), 20u);
  const std::vector<testing::PlayedFrame> played = testing::PlayVideo(video, 20);
  ASSERT_EQ(played.size(), 20u);
  for (size_t i = 0; i < 20; ++i) EXPECT_EQ(played[i].pixels, rebuilt[i]) << "frame " << i;
  EXPECT_NE(rebuilt[0], clip.pictures[0]);  // the coding was lossy: the check above means something

  const testing::StoredVideo stored = testing::ReadStoredVideo(video);
  EXPECT_EQ(stored.header.frames, 20u);
  EXPECT_EQ(stored.header.soundRates[0], 11025u | 0xC0000000u);
  EXPECT_EQ(stored.SoundBytes(0), 12128u);  // one second and one frame, rounded up to 4
  uint64_t storedSound = 0;
  for (size_t i = 0; i < stored.sizes.size(); ++i) storedSound += stored.SoundBytes(i);
  EXPECT_EQ(storedSound, clip.sound.size());
  EXPECT_EQ(PlayedTrack(video), clip.sound);  // lossless by default
}

TEST_F(VantcwProgram, TheRingFramePlaysAsFrameZero) {
  const std::string video = folder / "ring.vnt";
  ASSERT_EQ(RunVantcw({input, video, "/G", "/N0", "/K0", "/L-1"}), 0);
  const testing::StoredVideo stored = testing::ReadStoredVideo(video);
  EXPECT_EQ(stored.header.frames, 20u);
  EXPECT_EQ(stored.sizes.size(), 21u);
  EXPECT_EQ(stored.header.soundRates[0], 0u);
  const std::vector<testing::PlayedFrame> played = testing::PlayVideo(video, 21);
  ASSERT_EQ(played.size(), 21u);
  EXPECT_EQ(played[0].pixels, clip.pictures[0]);  // error 0: exact on this palette
  EXPECT_EQ(played[19].pixels, clip.pictures[19]);
  EXPECT_EQ(played[20].pixels, clip.pictures[0]);  // wrapped through the ring frame
}

TEST_F(VantcwProgram, ProgramAndLibraryWriteTheSameFile) {
  const std::string byProgram = folder / "program.vnt", byLibrary = folder / "library.vnt";
  ASSERT_EQ(RunVantcw({input, byProgram, "/L3"}), 0);
  EnvironmentGuard environment;
  environment.NoDisplay();
  ResetStatusWindowForTesting();
  ASSERT_EQ(CompressorMain("\"" + input + "\" \"" + byLibrary + "\" /L3"), 0);
  ResetStatusWindowForTesting();
  EXPECT_EQ(testsupport::ReadFileBytes(byProgram), testsupport::ReadFileBytes(byLibrary));
}

TEST_F(VantcwProgram, ACutSoundChunkEndsTheRunWithTheSoundInputsError) {
  std::vector<uint8_t> avi = democlip::AviBytes(clip);
  avi.resize(testing::LastChunk(avi, "01wb") + 100);  // the file ends inside the last sound chunk
  const std::string cut = folder / "cut.avi";
  testing::WriteFile(cut, avi);
  const testsupport::ProgramResult result = testsupport::RunProgram("vantcw", {cut, folder / "cut.vnt"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.errors.find("Error reading " + cut + ": the sound ends after "), std::string::npos) << result.errors;
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "cut.avi"}));
}

TEST_F(VantcwProgram, AStoppedRunLeavesNothingAndFails) {
  // Stopped after its files were made: a share of the input needs a frame period.
  const std::string video = folder / "stopped.vnt";
  ASSERT_EQ(RunVantcw({input, video, "/F200000", "/N-30"}), 1);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"clip.avi"});
}

// The demo's input maker shows its usage for --help and refuses options and malformed numbers;
// it never writes a file named like an option.
TEST_F(VantcwProgram, TheDemoClipMakerRefusesOptions) {
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder.path().c_str()), 0);
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    const char* says;
  };
  const Case cases[] = {
      {{"--help"}, 0, ""},
      {{"-x"}, 1, "Unknown option."},
      {{"--frames=3", "out.avi"}, 1, "Unknown option."},
      {{"out.avi", "32", "32", "ten", "10"}, 1, "must be positive whole numbers"},
      {{"out.avi", "32", "32", "3"}, 1, "Usage:"},
      {{"/?"}, 0, ""},  // its usage, and never a file "/?" in the root folder
      {{"/x.avi"}, 1, "Unknown option."},
      {{"/no-such-folder/x.avi"}, 1, "Unknown option."},
  };
  struct stat before {};
  const bool rootFileBefore = stat("/?", &before) == 0;
  for (const Case& c : cases) {
    const testsupport::ProgramResult run = testsupport::RunProgram("vantcw_demo_clip", c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[0];
    EXPECT_NE(run.errors.find(c.says), std::string::npos) << run.errors;
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"clip.avi"});
  struct stat after {};
  if (!rootFileBefore) {
    EXPECT_NE(stat("/?", &after), 0);
  }
  EXPECT_EQ(testsupport::RunProgram("vantcw_demo_clip", {"made.avi", "16", "16", "2", "5"}).exitCode, 0);
  EXPECT_EQ(testsupport::RunProgram("vantcw_demo_clip", {folder / "whole.avi", "16", "16", "2", "5"}).exitCode, 0);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "made.avi", "whole.avi"}));
  ASSERT_EQ(chdir(previous), 0);
}

}  // namespace
}  // namespace compressor
