// Decoding speed of 640 x 480 frames: a key frame and three change frames, coded by the
// compressor's tree builder and symbol writer, drawn into memory pictures.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "playback/frame_decoder.h"
#include "toolsupport/coding/video_symbol_writer.h"

namespace {

constexpr uint32_t kWidth = 640, kHeight = 480;
constexpr size_t kBlocks = (kWidth / 4) * (kHeight / 4);

// Blocks in runs, the kinds drawn with the given weights (two-colour, full, unchanged, solid).
std::vector<BlockCode> MakeFrame(std::mt19937& random, const std::array<int, 4>& weights) {
  std::discrete_distribution<int> kind(weights.begin(), weights.end());
  std::vector<BlockCode> blocks;
  while (blocks.size() < kBlocks) {
    BlockCode block;
    block.type = static_cast<BlockType>(kind(random));
    block.solidColor = static_cast<uint8_t>(random() % 32);
    uint32_t run = block.type == UnchangedBlock ? 1 + random() % 40 : 1 + random() % 6;
    for (uint32_t i = 0; i < run && blocks.size() < kBlocks; ++i) {
      uint8_t base = static_cast<uint8_t>(random() % 64);
      block.colorPair = static_cast<uint16_t>(base | (base + 1 + random() % 8) << 8);
      block.mask = static_cast<uint16_t>(random());
      for (uint8_t& pixel : block.pixels) pixel = static_cast<uint8_t>(base + random() % 6);
      blocks.push_back(block);
    }
  }
  return blocks;
}

struct CodedFrames {
  std::unique_ptr<DecoderTrees> trees;
  std::vector<std::vector<uint8_t>> chunks;
};

CodedFrames CodeFrameMix() {
  std::mt19937 random(1);
  std::vector<std::vector<BlockCode>> frames = {MakeFrame(random, {30, 50, 0, 20})};
  for (int i = 0; i < 3; ++i) frames.push_back(MakeFrame(random, {10, 10, 70, 10}));

  using namespace toolsupport;
  MemoryBitOutput treeOut;
  VideoTreeSet trees;
  for (const auto& frame : frames) trees.CountFrame(frame);
  const auto sizes = trees.Build(treeOut);
  treeOut.AlignBits();
  CodedFrames coded;
  coded.trees = BuildVideoTrees(treeOut.Bytes().data(), treeOut.Bytes().size(), sizes->data());
  for (const auto& frame : frames) {
    MemoryBitOutput frameOut;
    trees.WriteFrame(frame, frameOut);
    frameOut.AlignBits();
    coded.chunks.push_back(frameOut.Bytes());
    coded.chunks.back().resize(coded.chunks.back().size() + 4, 0);
  }
  return coded;
}

// Arguments: pixel format (0 or 0x80), height scaling (0 none, 2 doubled).
void BM_DecodeFrameMix(benchmark::State& state) {
  CodedFrames coded = CodeFrameMix();
  if (!coded.trees) {
    state.SkipWithError("the coded trees did not build");
    return;
  }
  const auto format = static_cast<uint8_t>(state.range(0));
  const auto scaling = static_cast<HeightScaling>(state.range(1));
  const int64_t bpp = format ? 2 : 1;
  const int64_t rows = scaling == HeightScaling::None ? kHeight : 2 * kHeight;
  std::vector<uint8_t> picture(static_cast<size_t>(kWidth * bpp * rows));
  MemoryDestination where;
  where.buffer = picture.data();
  where.pitch = kWidth * bpp;
  where.rows = rows;
  where.pixelFormat = format;
  where.width = kWidth;
  where.codedHeight = kHeight;
  where.scaling = scaling;
  DestinationDescriptor destination;
  if (!DescribeMemoryDestination(where, destination)) {
    state.SkipWithError("the picture does not fit");
    return;
  }
  size_t frames = 0;
  for (auto _ : state) {
    const auto& chunk = coded.chunks[frames++ % coded.chunks.size()];
    DecodeVideoFrame(chunk.data(), chunk.size(), *coded.trees, destination);
    benchmark::DoNotOptimize(picture.data());
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  // Shown with an SI prefix: "460M/s" is 460 megapixels a second.
  state.counters["pixels/s"] =
      benchmark::Counter(static_cast<double>(frames) * kWidth * kHeight, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeFrameMix)->Args({0, 0})->Args({0x80, 0})->Args({0, 2})->Args({0x80, 2});

}  // namespace

BENCHMARK_MAIN();
