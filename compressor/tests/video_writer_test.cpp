#include "compressor/video_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compressor/block_file.h"
#include "compressor/tests/play_video.h"
#include "compressor/tests/stored_video.h"
#include "compressor/tests/test_frames.h"

namespace compressor {
namespace {

using testing::GreyPalette;
using testing::MemoryInput;
using testing::TempFolder;

// Keeps the pictures the encoder hands its picture output: the frames as it rebuilt them.
struct PictureRecorder : FrameOutput {
  bool WriteFrame(const uint8_t*, const uint8_t* pixels, size_t pitch, uint32_t width,
                  uint32_t height) override {
    std::vector<uint8_t> picture;
    for (uint32_t y = 0; y < height; ++y) picture.insert(picture.end(), pixels + y * pitch, pixels + y * pitch + width);
    pictures.push_back(std::move(picture));
    return true;
  }
  std::vector<std::vector<uint8_t>> pictures;
};

// Sound served from memory.
class MemoryPcm : public toolsupport::PcmSource {
 public:
  MemoryPcm(toolsupport::PcmFormat format, std::vector<uint8_t> bytes) : format_(format), bytes_(std::move(bytes)) {}
  toolsupport::PcmFormat OutputFormat() const override { return format_; }
  uint64_t OutputSize() const override { return bytes_.size(); }
  size_t ReadConverted(void* buffer, size_t count) override {
    count = std::min(count, bytes_.size() - at_) / format_.FrameBytes() * format_.FrameBytes();
    std::memcpy(buffer, bytes_.data() + at_, count);
    at_ += count;
    return count;
  }
  bool AtEnd() const override { return at_ == bytes_.size(); }
  bool Rewind() override {
    at_ = 0;
    return true;
  }

 private:
  toolsupport::PcmFormat format_;
  std::vector<uint8_t> bytes_;
  size_t at_ = 0;
};

// Both passes over frames in memory, as the compressor runs them.
struct LibraryRun {
  EncoderSettings settings;
  FrameHints hints;
  std::unique_ptr<toolsupport::PcmSource> sound;
  std::string path;

  bool passed = false;
  PictureRecorder rebuilt;  // one picture per stored frame
  WrittenVideo written;
  std::vector<std::string> errors;

  LibraryRun(const std::string& output, uint32_t width, uint32_t height, uint32_t frames) : path(output) {
    settings.width = width;
    settings.height = height;
    settings.frames = frames;
    settings.input = {uint64_t{width} * height * frames, frames, -10000};  // 10 frames a second
    hints.Reset(frames);
  }

  void Run(MemoryInput& input, toolsupport::BufferedFile* output = nullptr) {
    toolsupport::BufferedFile blockFile(-65536), file(-65536);
    ASSERT_TRUE(blockFile.Create((path + ".blocks").c_str()));
    if (!output) {
      ASSERT_TRUE(file.Create(path.c_str()));
      output = &file;
    }
    BufferedBlockFile blocks(blockFile);
    VideoTrees trees;
    auto keepErrors = [this](const toolsupport::Status& status) {
      for (const std::string& message : status.messages()) errors.push_back(message);
      return status.ok();
    };
    EncoderPorts ports;
    ports.input = &input;
    ports.blockFile = &blocks;
    ports.counter = &trees;
    ports.output = &rebuilt;
    if (!keepErrors(EncodePass(settings, hints, ports))) return;

    std::unique_ptr<toolsupport::SoundTrackEncoder> track;
    if (sound) {
      toolsupport::SoundTrackOptions options;
      options.length_ms = static_cast<uint32_t>(settings.frames * FramePeriod(settings.input.frameRate) / 100);
      track = toolsupport::OpenSoundTrack(std::move(sound), options, output);
      ASSERT_TRUE(track);
    }
    blockFile.Seek(0);
    VideoWriterPorts writer;
    writer.input = &input;
    writer.blockFile = &blocks;
    writer.output = output;
    writer.sound = track.get();
    passed = keepErrors(WriteVideoFile(settings, hints, trees, writer, &written));
    output->Close();
    blockFile.Close();
    std::remove((path + ".blocks").c_str());
  }
};

constexpr uint32_t kW = 48, kH = 32;

// A grey gradient with a noisy patch (full blocks), a square that moves (two-colour edges and
// solid insides) and a band that changes brightness.
std::vector<uint8_t> BusyPicture(uint32_t f) {
  std::vector<uint8_t> picture(kW * kH);
  for (uint32_t y = 0; y < kH; ++y) {
    for (uint32_t x = 0; x < kW; ++x) {
      uint8_t value = static_cast<uint8_t>((x + y) * 3);
      if (x < 12 && y < 12) value = static_cast<uint8_t>((x * 97 + y * 57 + f * 31) * 2654435761u >> 24);
      if (x >= 10 + 2 * f && x < 22 + 2 * f && y >= 14 && y < 26) value = 230;
      if (y >= 28) value = static_cast<uint8_t>(40 + 10 * f);
      picture[y * kW + x] = value;
    }
  }
  return picture;
}

// A palette whose entries all differ from grey palettes: red i, green 255 - i, blue 7i.
RgbPalette ColourPalette() {
  RgbPalette p{};
  for (int i = 0; i < 256; ++i) {
    p[3 * i] = static_cast<uint8_t>(i);
    p[3 * i + 1] = static_cast<uint8_t>(255 - i);
    p[3 * i + 2] = static_cast<uint8_t>(7 * i);
  }
  return p;
}

// The palette a player holds after a palette chunk: 6 bits of each component, widened.
std::vector<uint8_t> AsPlayed(const RgbPalette& palette) {
  std::vector<uint8_t> played(768);
  for (size_t i = 0; i < 768; ++i) played[i] = vntfile::Widen6To8(palette[i] >> 2);
  return played;
}

TEST(VideoWriter, EveryPlayedFrameIsTheEncodersOwnRebuiltFrame) {
  TempFolder folder;
  MemoryInput input(kW, kH);
  for (uint32_t f = 0; f < 12; ++f) input.Add(BusyPicture(f), f < 6 ? GreyPalette() : ColourPalette());
  LibraryRun run(folder / "busy.vnt", kW, kH, 13);  // 12 frames and the ring frame
  run.settings.ringFrame = true;
  run.settings.regularTarget = 2000;  // bytes a second: forces lossy frames
  run.Run(input);
  ASSERT_TRUE(run.passed) << (run.errors.empty() ? "" : run.errors[0]);
  ASSERT_EQ(run.rebuilt.pictures.size(), 13u);

  testing::StoredVideo stored = testing::ReadStoredVideo(run.path);
  EXPECT_EQ(stored.header.frames, 12u);
  EXPECT_EQ(stored.header.flags, vntfile::kFlagRingFrame);
  EXPECT_EQ(stored.sizes, run.written.frameSizes);
  EXPECT_EQ(stored.types, run.written.frameTypes);
  EXPECT_EQ(vntfile::FirstFrameOffset(stored.header) % 512, 0u);
  EXPECT_EQ(stored.offsets.back() + stored.sizes.back(), stored.bytes.size());
  for (uint32_t size : stored.sizes) EXPECT_EQ(size % 4, 0u);
  // Every kind of block occurred: each of the four trees holds symbols.
  for (uint32_t size : stored.header.treeSizes) EXPECT_GT(size, 20u);

  // Played through the wrap from the last frame: the ring frame stands in for frame 0.
  std::vector<testing::PlayedFrame> played = testing::PlayVideo(run.path, 13);
  ASSERT_EQ(played.size(), 13u);
  for (size_t i = 0; i < 13; ++i) EXPECT_EQ(played[i].pixels, run.rebuilt.pictures[i]) << "frame " << i;
  EXPECT_EQ(played[5].palette, AsPlayed(GreyPalette()));
  EXPECT_EQ(played[6].palette, AsPlayed(ColourPalette()));
  EXPECT_EQ(played[12].palette, AsPlayed(GreyPalette()));  // the ring frame brings frame 0's back
}

TEST(VideoWriter, RingFrameOfAnExactCodingIsFrameZero) {
  TempFolder folder;
  MemoryInput input(kW, kH);
  for (uint32_t f = 0; f < 4; ++f) input.Add(BusyPicture(f), GreyPalette());
  LibraryRun run(folder / "exact.vnt", kW, kH, 5);
  run.settings.ringFrame = true;
  run.settings.regularTarget = 0;  // within error 1: exact on a grey palette
  run.settings.keyTarget = 0;
  run.settings.heightScaling = 0;
  run.Run(input);
  ASSERT_TRUE(run.passed);
  std::vector<testing::PlayedFrame> played = testing::PlayVideo(run.path, 5);
  ASSERT_EQ(played.size(), 5u);
  EXPECT_EQ(played[3].pixels, BusyPicture(3));
  EXPECT_EQ(played[4].pixels, BusyPicture(0));
}

TEST(VideoWriter, PaletteChunksOnlyWhereThePaletteChanged) {
  TempFolder folder;
  RgbPalette black{};
  RgbPalette first = GreyPalette();
  RgbPalette second = first;
  second[3 * 200] = 12, second[3 * 200 + 1] = 200, second[3 * 200 + 2] = 76;  // found nowhere before
  RgbPalette third = ColourPalette();
  MemoryInput input(kW, kH);
  input.Add(0, black);
  input.Add(0, black);
  input.Add(7, first);
  input.Add(7, first);
  input.Add(7, second);  // pixels kept: no automatic key frame
  input.Add(9, third);  // a key frame by hint
  LibraryRun run(folder / "palettes.vnt", kW, kH, 6);
  run.hints.key[5] = 1;
  run.Run(input);
  ASSERT_TRUE(run.passed);

  testing::StoredVideo stored = testing::ReadStoredVideo(run.path);
  ASSERT_EQ(stored.types.size(), 6u);
  EXPECT_EQ(stored.types[0], 0);  // an all-black first palette needs no chunk
  EXPECT_EQ(stored.types[1], 0);
  EXPECT_EQ(stored.types[2], vntfile::kTypePalette);
  EXPECT_EQ(stored.types[3], 0);
  ASSERT_EQ(stored.types[4], vntfile::kTypePalette);
  // One new entry at 200 between 200 and 55 kept ones.
  const uint8_t* chunk = &stored.bytes[stored.offsets[4]];
  const std::vector<uint8_t> expected = {2, 0xFF, 0xC7, 12 >> 2, 200 >> 2, 76 >> 2, 0xB6, 0};
  EXPECT_EQ(std::vector<uint8_t>(chunk, chunk + 8), expected);
  // A key frame other than the first carries the whole palette.
  EXPECT_EQ(stored.PaletteChunkWords(5), 193);

  std::vector<testing::PlayedFrame> played = testing::PlayVideo(run.path, 6);
  ASSERT_EQ(played.size(), 6u);
  EXPECT_EQ(played[1].palette, std::vector<uint8_t>(768, 0));
  EXPECT_EQ(played[4].palette, AsPlayed(second));
  EXPECT_EQ(played[5].palette, AsPlayed(third));
}

TEST(VideoWriter, SoundChunksAddUpToTheTrack) {
  struct Case {
    toolsupport::PcmFormat format;
    uint32_t rateWord;
  };
  const Case cases[] = {
      {{11025, 8, 1}, 11025u | 0xC0000000u},
      {{22050, 16, 2}, 22050u | 0xF0000000u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format.rate);
    TempFolder folder;
    MemoryInput input(kW, kH);
    const uint32_t frames = 30;  // 3 seconds at 10 frames a second
    for (uint32_t f = 0; f < frames; ++f) input.Add(BusyPicture(f % 8), GreyPalette());
    LibraryRun run(folder / "sound.vnt", kW, kH, frames);
    const uint64_t perSecond = c.format.BytesPerSecond();
    std::vector<uint8_t> pcm(perSecond * 5);  // more than the video needs
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<uint8_t>(i * 7 + i / 300);
    run.sound = std::make_unique<MemoryPcm>(c.format, pcm);
    run.Run(input);
    ASSERT_TRUE(run.passed);

    testing::StoredVideo stored = testing::ReadStoredVideo(run.path);
    EXPECT_EQ(stored.header.soundRates[0], c.rateWord);
    uint64_t total = 0;
    uint32_t largest = 0;
    for (size_t i = 0; i < frames; ++i) {
      total += stored.SoundBytes(i);
      largest = std::max(largest, stored.SoundBytes(i));
    }
    EXPECT_EQ(total, perSecond * 3);  // the video's length, no more
    EXPECT_EQ(stored.header.audioSizes[0], largest);
    // One second and one frame ahead at first, each later frame keeping that lead.
    const uint64_t first = (perSecond / 10 + perSecond + 3) / 4 * 4;
    EXPECT_EQ(stored.SoundBytes(0), first);
    EXPECT_NEAR(stored.SoundBytes(1), perSecond / 10, 8);
    // Once the track is used up the frames carry no chunk.
    EXPECT_EQ(stored.types[frames - 1] & vntfile::TypeAudio(0), 0);
    for (int t = 1; t < 7; ++t) EXPECT_EQ(stored.header.soundRates[t], 0u);
  }
}

TEST(VideoWriter, HeaderWithoutSoundAndWithHeightScaling) {
  TempFolder folder;
  MemoryInput input(kW, 2 * kH);
  for (uint32_t f = 0; f < 3; ++f) input.Add(static_cast<uint8_t>(f), GreyPalette());
  LibraryRun run(folder / "scaled.vnt", kW, kH, 3);
  run.settings.heightScaling = 2;
  run.Run(input);
  ASSERT_TRUE(run.passed);
  testing::StoredVideo stored = testing::ReadStoredVideo(run.path);
  EXPECT_EQ(stored.header.flags, vntfile::kFlagDoubled);
  EXPECT_EQ(stored.header.frames, 3u);
  EXPECT_EQ(stored.header.frameRate, -10000);
  EXPECT_EQ(stored.header.height, kH);
  for (int t = 0; t < 7; ++t) {
    EXPECT_EQ(stored.header.soundRates[t], 0u);
    EXPECT_EQ(stored.header.audioSizes[t], 0u);
  }
  for (uint8_t type : stored.types) EXPECT_EQ(type & 0xFE, 0);
}

// Serves other pixels once the second pass has rewound it, as an input that changed on disk.
class ChangingInput : public MemoryInput {
 public:
  using MemoryInput::MemoryInput;
  void Rewind() override {
    MemoryInput::Rewind();
    changed_ = true;
    noise_.resize(Pitch() * Rows());
    uint32_t seed = 7;
    for (uint8_t& pixel : noise_) pixel = static_cast<uint8_t>((seed = seed * 1664525 + 1013904223) >> 24);
  }
  const uint8_t* Pixels() const override { return changed_ ? noise_.data() : MemoryInput::Pixels(); }

 private:
  bool changed_ = false;
  std::vector<uint8_t> noise_;
};

TEST(VideoWriter, FramesThatDifferFromTheFirstPassAreReported) {
  TempFolder folder;
  ChangingInput input(kW, kH);
  for (uint32_t f = 0; f < 3; ++f) input.Add(BusyPicture(f), GreyPalette());
  LibraryRun run(folder / "changed.vnt", kW, kH, 3);
  run.Run(input);
  EXPECT_FALSE(run.passed);
  EXPECT_EQ(run.errors, std::vector<std::string>{"Error: a frame differs from the first pass."});
}

TEST(VideoWriter, AFullDiskIsReportedNotTakenForSuccess) {
  TempFolder folder;
  MemoryInput input(kW, kH);
  for (uint32_t f = 0; f < 3; ++f) input.Add(BusyPicture(f), GreyPalette());
  toolsupport::BufferedFile full(-65536);
  if (!full.Create("/dev/full")) GTEST_SKIP() << "no /dev/full";
  LibraryRun run(folder / "unused.vnt", kW, kH, 3);
  run.Run(input, &full);
  EXPECT_FALSE(run.passed);
  EXPECT_EQ(run.errors, std::vector<std::string>{kDiskFullMessage});
}

}  // namespace
}  // namespace compressor
