// The encoder on worker threads: the same bytes for any number of threads, and a stop that ends
// the work on the frames read ahead. A program of its own, so that the thread sanitizer's build
// makes it with the compressor's library alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compressor/block_file.h"
#include "compressor/content_analysis.h"
#include "compressor/encode_pass.h"
#include "compressor/tests/test_frames.h"
#include "compressor/video_writer.h"
#include "testsupport/scratch_directory.h"
#include "toolsupport/threads/worker_pool.h"

namespace compressor {
namespace {

using testing::MemoryInput;

constexpr uint32_t kW = 160, kH = 120, kFrames = 12;

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x9E3779B1u ^ (y + seed * 0x632BE5ABu) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  return h ^ (h >> 13);
}

// A colour cube of 6 levels and 40 greys.
RgbPalette CubePalette(int brightness = 255) {
  RgbPalette p{};
  for (int i = 0; i < 216; ++i) {
    p[3 * i] = static_cast<uint8_t>(i / 36 * brightness / 5);
    p[3 * i + 1] = static_cast<uint8_t>(i / 6 % 6 * brightness / 5);
    p[3 * i + 2] = static_cast<uint8_t>(i % 6 * brightness / 5);
  }
  for (int i = 216; i < 256; ++i) p[3 * i] = p[3 * i + 1] = p[3 * i + 2] = static_cast<uint8_t>((i - 216) * brightness / 39);
  return p;
}

enum class Clip { kPanningNoise, kFadingPalette, kCutsAndFlats };

// Clips of different statistics: noise of a few levels panning under a box (blocks of many
// colours, nearly all changed); a picture whose palette darkens every other frame (each thread
// makes its tables anew); flat areas with a scene cut half way (unchanged and solid blocks, and
// an automatic key frame).
void FillClip(Clip clip, MemoryInput& input) {
  for (uint32_t f = 0; f < kFrames; ++f) {
    std::vector<uint8_t> pixels(size_t{kW} * kH);
    RgbPalette palette = CubePalette();
    for (uint32_t y = 0; y < kH; ++y) {
      for (uint32_t x = 0; x < kW; ++x) {
        uint32_t value = 0;
        switch (clip) {
          case Clip::kPanningNoise: {
            const uint32_t h = Hash(x + 3 * f, y, 1);
            value = h % 3 * 36 + (h >> 8) % 4 * 6 + (h >> 16) % 3 + (x / 40) * 43;
            if (x >= 20 + 6 * f && x < 60 + 6 * f && y >= 30 && y < 70) value = 216 + (x + y) % 40;
            break;
          }
          case Clip::kFadingPalette:
            value = (x / 8 + y / 8 * 3 + Hash(x, y, 2) % 5) % 256;
            palette = CubePalette(255 - 12 * static_cast<int>(f / 2));
            break;
          case Clip::kCutsAndFlats:
            value = f < kFrames / 2 ? (x / 32 + y / 24 * 5) * 7 % 216 : (x * y / 64 + f) % 216;
            if (y / 4 == f % (kH / 4)) value = 230;
            break;
        }
        pixels[size_t{y} * kW + x] = static_cast<uint8_t>(value);
      }
    }
    input.Add(pixels, palette);
  }
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Both passes, as the compressor runs them; the video file's bytes, empty when a pass failed.
std::string EncodeWithThreads(Clip clip, const EncoderSettings& settings, unsigned threads,
                              const std::string& folder) {
  MemoryInput input(kW, kH);
  FillClip(clip, input);
  FrameHints hints;
  hints.Reset(settings.frames);
  const std::string path = folder + "/t" + std::to_string(threads) + ".vnt";
  toolsupport::BufferedFile blockFile(-65536), file(-65536);
  if (!blockFile.Create((path + ".blocks").c_str()) || !file.Create(path.c_str())) return {};
  BufferedBlockFile blocks(blockFile);
  VideoTrees trees;
  toolsupport::WorkerPool workers(threads);
  EncoderPorts ports;
  ports.input = &input;
  ports.blockFile = &blocks;
  ports.counter = &trees;
  ports.workers = &workers;
  if (!EncodePass(settings, hints, ports).ok()) return {};
  blockFile.Seek(0);
  VideoWriterPorts writer;
  writer.input = &input;
  writer.blockFile = &blocks;
  writer.output = &file;
  writer.workers = &workers;
  const bool written = WriteVideoFile(settings, hints, trees, writer).ok();
  file.Close();
  blockFile.Close();
  std::remove((path + ".blocks").c_str());
  return written ? ReadAll(path) : std::string();
}

TEST(EncoderThreads, AnyNumberOfThreadsWritesTheSameBytes) {
  testsupport::ScratchDirectory folder;
  struct Case {
    Clip clip;
    int64_t regularTarget, keyTarget;
  };
  // A data rate for the regular frames (the threshold search), and error targets.
  const Case cases[] = {
      {Clip::kPanningNoise, 200000, 20},
      {Clip::kFadingPalette, 30, 10},
      {Clip::kCutsAndFlats, 60000, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.clip));
    EncoderSettings settings;
    settings.width = kW;
    settings.height = kH;
    settings.frames = kFrames;
    settings.input = {uint64_t{kW} * kH * kFrames, kFrames, -10000};
    settings.regularTarget = c.regularTarget;
    settings.keyTarget = c.keyTarget;
    const std::string one = EncodeWithThreads(c.clip, settings, 1, folder.path());
    ASSERT_GT(one.size(), 1000u);
    for (unsigned threads : {2u, 8u}) {
      const std::string many = EncodeWithThreads(c.clip, settings, threads, folder.path());
      EXPECT_EQ(many.size(), one.size()) << threads << " threads";
      EXPECT_TRUE(many == one) << threads << " threads";
    }
  }
}

TEST(EncoderThreads, EachFrameIsScoredWithItsOwnPaletteAndRepeatsTakeTheirScores) {
  // Frames of two palettes queued together: a thread that goes from one to the other must not
  // score with the table of the palette before. Frames 2 and 3 repeat 0 with one block changed,
  // and 3 is 2 again: their blocks, scored or taken from the frame before, score alike.
  MemoryInput input(kW, kH);
  FillClip(Clip::kPanningNoise, input);
  const RgbPalette cube = CubePalette(), dark = CubePalette(120);
  const size_t count = size_t{kW / 4} * (kH / 4);
  std::vector<AnalysedFrame> frames(6);
  for (size_t f = 0; f < frames.size(); ++f) {
    ASSERT_TRUE(input.NextFrame().ok());
    frames[f].blocks.resize(size_t{kW} * kH);
    GatherBlocks(input.Pixels(), kW, kW, kH, false, frames[f].blocks.data());
    frames[f].palette = f % 4 == 1 ? dark : cube;
  }
  frames[2].blocks = frames[0].blocks;
  frames[2].blocks[5 * kBlockPixels + 3] ^= 1;
  frames[3].blocks = frames[2].blocks;
  for (unsigned threads : {1u, 4u}) {
    SCOPED_TRACE(threads);
    toolsupport::WorkerPool workers(threads);
    ContentAnalyser analyser(workers, {});
    std::vector<ContentAnalyser::Job> jobs;
    for (size_t f = 0; f < frames.size(); ++f) jobs.push_back(analyser.Start(frames[f], f > 0 ? &frames[f - 1] : nullptr));
    for (size_t f = 0; f < frames.size(); ++f) {
      ASSERT_TRUE(analyser.Finish(jobs[f], frames[f], {}));
      ColorDistanceTable table;
      table.Rebuild(frames[f].palette.data());
      FrameAnalysis expected;
      AnalyseFrame(frames[f].blocks.data(), nullptr, count, table, expected);
      ASSERT_EQ(frames[f].analysis.twoColorValues, expected.twoColorValues) << "frame " << f;
      for (size_t i = 0; i < count; ++i) {
        const BlockScore &got = frames[f].analysis.scores[i], &want = expected.scores[i];
        ASSERT_EQ(got.solid, want.solid) << "frame " << f << " block " << i;
        ASSERT_EQ(got.solidColor, want.solidColor) << "frame " << f << " block " << i;
        ASSERT_EQ(got.twoColor, want.twoColor) << "frame " << f << " block " << i;
      }
    }
    EXPECT_EQ(std::count(frames[3].repeated.begin(), frames[3].repeated.end(), 1), static_cast<long>(count));
  }
}

TEST(EncoderThreads, AStopEndsTheWorkOnTheFramesReadAhead) {
  for (unsigned threads : {1u, 8u}) {
    SCOPED_TRACE(threads);
    MemoryInput input(kW, kH);
    FillClip(Clip::kPanningNoise, input);
    EncoderSettings settings;
    settings.width = kW;
    settings.height = kH;
    settings.frames = kFrames;
    settings.input = {uint64_t{kW} * kH * kFrames, kFrames, -10000};
    FrameHints hints;
    hints.Reset(kFrames);
    toolsupport::WorkerPool workers(threads);
    int asked = 0;
    EncoderPorts ports;
    ports.input = &input;
    ports.workers = &workers;
    // The user stops while the third frame is coded.
    ports.progress = toolsupport::Progress({}, [&asked] { return ++asked > 2; });
    const toolsupport::Status status = EncodePass(settings, hints, ports);
    EXPECT_TRUE(status.stopped());
    EXPECT_LT(input.Reads(), static_cast<int>(kFrames));
  }
}

}  // namespace
}  // namespace compressor
