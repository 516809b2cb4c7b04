// vantmiw itself, started as a program without a display: sound put into a coded video, read
// back through the playback library.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "playback/tests/coded_video.h"
#include "tools/mixer/mix_frames.h"
#include "testsupport/run_program.h"
#include "playback/vant.h"
#include "playback/video_file_format.h"
#include "testsupport/scratch_directory.h"
#include "testsupport/file_contents.h"

namespace mixer {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

using testsupport::ScratchDirectory;

using Finished = testsupport::ProgramResult;

// The console face: no display, so nothing waits for "&Done".
Finished RunMixer(const std::vector<std::string>& arguments, const ScratchDirectory&) {
  return testsupport::RunProgram("vantmiw", arguments);
}

// An 8-bit mono WAV file of the samples.
void WriteWav(const std::string& path, const std::vector<uint8_t>& samples, uint32_t rate) {
  testsupport::WriteWavFile(path, rate, 1, 8, samples);
}

std::vector<uint8_t> Tone(size_t count, uint32_t step) {
  std::vector<uint8_t> samples(count);
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<uint8_t>(128 + ((i * step) % 64) - 32);
  return samples;
}

// A stored frame split into its chunks.
struct FrameParts {
  std::string palette;
  std::array<std::string, 7> audio;
  std::string video;
};

std::vector<FrameParts> SplitFrames(const std::string& file) {
  std::vector<FrameParts> frames;
  VideoFileHeader header = vntfile::ParseHeader(reinterpret_cast<const uint8_t*>(file.data()));
  const uint64_t stored = vntfile::StoredFrameCount(header);
  uint64_t offset = vntfile::FirstFrameOffset(header);
  for (uint64_t i = 0; i < stored; ++i) {
    const uint32_t size = vntfile::LoadLE32(reinterpret_cast<const uint8_t*>(file.data()) + vntfile::kHeaderSize + 4 * i);
    const uint8_t type = static_cast<uint8_t>(file[vntfile::kHeaderSize + 4 * stored + i]);
    const std::string frame = file.substr(offset, size);
    FrameParts parts;
    size_t pos = 0;
    if (type & vntfile::kTypePalette) {
      pos = static_cast<uint8_t>(frame[0]) * 4u;
      parts.palette = frame.substr(0, pos);
    }
    for (uint32_t t = 0; t < 7; ++t) {
      if (!(type & vntfile::TypeAudio(t))) continue;
      const uint32_t length = vntfile::LoadLE32(reinterpret_cast<const uint8_t*>(frame.data()) + pos);
      parts.audio[t] = frame.substr(pos, length);
      pos += length;
    }
    parts.video = frame.substr(pos);
    frames.push_back(parts);
    offset += size;
  }
  return frames;
}

// Track t's sound of every frame as the playback library decodes it.
std::vector<uint8_t> DecodedTrack(const std::string& path, uint32_t track) {
  std::vector<uint8_t> sound;
  VantVideo* video = VantOpen(path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
  if (video == nullptr) return sound;
  std::vector<uint8_t> buffer(video->header.audioSizes[track]);
  for (uint32_t frame = 0; frame < video->header.frames; ++frame) {
    const uint32_t bytes = VantGetTrackData(video, buffer.data(), VANT_OPEN_TRACK_0 << track);
    sound.insert(sound.end(), buffer.begin(), buffer.begin() + bytes);
    VantNextFrame(video);
  }
  VantClose(video);
  return sound;
}

class MixerProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    CodedVideoSpec spec;
    for (uint32_t i = 0; i < 6; ++i) {
      Picture picture(16, 8, 3);
      picture.Fill(4 * (i % 4), 0, 4, 8, static_cast<uint8_t>(20 + i));
      spec.pictures.push_back(picture);
      spec.palettes.push_back(TestPalette(i / 3));
    }
    spec.frameRate = -10000;  // 100 ms a frame
    video = WriteCodedVideo(dir.File("clip.vnt"), spec).path;
    ASSERT_FALSE(video.empty());
    // Longer than the video's 600 ms.
    toneA = Tone(11025, 3);
    toneB = Tone(11025, 7);
    WriteWav(dir.File("a.wav"), toneA, 11025);
    WriteWav(dir.File("b.wav"), toneB, 11025);
  }
  ScratchDirectory dir;
  std::string video;
  std::vector<uint8_t> toneA, toneB;
};

TEST_F(MixerProgram, PutsInATrackAndReplacesOnlyThatTrackLater) {
  const std::string once = dir.File("once.vnt"), twice = dir.File("twice.vnt");
  Finished first = RunMixer({video, dir.File("a.wav"), once}, dir);
  ASSERT_EQ(first.exitCode, 0) << first.errors;
  EXPECT_NE(first.errors.find("Successfully mixed.  Compressed by "), std::string::npos);

  const std::vector<FrameParts> original = SplitFrames(ReadFile(video));
  const std::vector<FrameParts> mixed = SplitFrames(ReadFile(once));
  ASSERT_EQ(mixed.size(), original.size());
  for (size_t i = 0; i < mixed.size(); ++i) {
    EXPECT_EQ(mixed[i].palette, original[i].palette) << "frame " << i;
    EXPECT_EQ(mixed[i].video, original[i].video) << "frame " << i;
  }
  // Six frames of 100 ms of 11025 bytes a second.
  const std::vector<uint8_t> expected(toneA.begin(), toneA.begin() + 6615);
  EXPECT_EQ(DecodedTrack(once, 0), expected);

  // Track 3 from another sound: track 1's chunks stay as they were.
  Finished second = RunMixer({once, dir.File("b"), twice, "/M3"}, dir);
  ASSERT_EQ(second.exitCode, 0) << second.errors;
  const std::vector<FrameParts> both = SplitFrames(ReadFile(twice));
  ASSERT_EQ(both.size(), mixed.size());
  for (size_t i = 0; i < both.size(); ++i) {
    EXPECT_EQ(both[i].audio[0], mixed[i].audio[0]) << "frame " << i;
    EXPECT_EQ(both[i].video, original[i].video) << "frame " << i;
  }
  EXPECT_EQ(DecodedTrack(twice, 2), std::vector<uint8_t>(toneB.begin(), toneB.begin() + 6615));

  // Mixing track 3 again replaces its chunks rather than adding to them.
  Finished again = RunMixer({twice, dir.File("a.wav"), dir.File("again.vnt"), "/M3"}, dir);
  ASSERT_EQ(again.exitCode, 0) << again.errors;
  EXPECT_EQ(DecodedTrack(dir.File("again.vnt"), 2), expected);
}

TEST_F(MixerProgram, LateStartAndFrameRateOverride) {
  // /G past the end starts the sound at the last frame; /F10 makes frames of 1/10 second.
  const std::string out = dir.File("late.vnt");
  Finished late = RunMixer({video, dir.File("a.wav"), out, "/G99/F20"}, dir);
  ASSERT_EQ(late.exitCode, 0) << late.errors;
  const std::string bytes = ReadFile(out);
  const VideoFileHeader header = vntfile::ParseHeader(reinterpret_cast<const uint8_t*>(bytes.data()));
  EXPECT_EQ(header.frameRate, -5000);
  // As long as the video's six frames of 50 ms: five frames of silence, then the tone.
  std::vector<uint8_t> expected(2756, 0x80);
  expected.insert(expected.end(), toneA.begin(), toneA.begin() + (3307 - 2756));
  EXPECT_EQ(DecodedTrack(out, 0), expected);
}

TEST_F(MixerProgram, RefusesWithoutLeavingOutput) {
  const std::string out = dir.File("out.vnt");
  const auto refused = [&](const std::vector<std::string>& arguments, const std::string& message) {
    Finished finished = RunMixer(arguments, dir);
    EXPECT_EQ(finished.exitCode, 1);
    EXPECT_NE(finished.errors.find(message), std::string::npos) << finished.errors;
    EXPECT_FALSE(std::filesystem::exists(out));
  };
  refused({video, dir.File("a.wav"), out, "/M0"}, "You must use a track number between 1 and 7.");
  refused({video, dir.File("a.wav"), out, "/L10"}, "SYNTAX: VantMix");
  refused({dir.File("a.wav"), dir.File("a.wav"), out}, "Input file isn't a Vantrel file.");
  refused({video, dir.File("missing.wav"), out}, "Error opening the sound file.");

  // A cut-short input is found out while its frames are copied; the partial output goes.
  const std::string whole = ReadFile(video);
  std::ofstream(dir.File("short.vnt"), std::ios::binary) << whole.substr(0, whole.size() - 40);
  refused({dir.File("short.vnt"), dir.File("a.wav"), out}, "damaged or cut short");

  // A full disk: the partial output goes too.
  Finished full = testsupport::RunProgram("vantmiw", {video, dir.File("a.wav"), out},
                                               {.fileSizeLimit = ReadFile(video).size()});
  EXPECT_EQ(full.exitCode, 1);
  EXPECT_NE(full.errors.find("Error writing to disk: File too large."), std::string::npos)
      << full.errors;
  EXPECT_FALSE(std::filesystem::exists(out));

  const std::string before = ReadFile(video);
  Finished same = RunMixer({video, dir.File("a.wav"), video, "/O"}, dir);
  EXPECT_EQ(same.exitCode, 1);
  EXPECT_NE(same.errors.find("Output filename must be different"), std::string::npos);
  EXPECT_EQ(ReadFile(video), before);
}

TEST(FramePeriodSwitch, MapsEachRangeOfValues) {
  EXPECT_EQ(FramePeriodSwitch(0), 0);
  EXPECT_EQ(FramePeriodSwitch(10), 10000);       // frames per second
  EXPECT_EQ(FramePeriodSwitch(-40), 4000);       // milliseconds
  EXPECT_EQ(FramePeriodSwitch(-1500), 150000);
  EXPECT_EQ(FramePeriodSwitch(-1501), 1501);     // the period itself
  EXPECT_EQ(FramePeriodSwitch(1000000), 5);      // never below 5
  EXPECT_EQ(FramePeriodSwitch(-2147483647 - 1), 2147483648);
}

}  // namespace
}  // namespace mixer
