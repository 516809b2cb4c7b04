// The compressor's output for a given input and given switches is fixed: a file made from the
// same generated clip must stay byte for byte what it was when these hashes were taken. Speed
// work on the block analysis or the writer must never change them; a deliberate change of the
// coding (a different tree builder, say) takes new hashes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compressor/compressor_main.h"
#include "toolsupport/ui/status_window.h"
#include "compressor/tests/stored_video.h"
#include "toolsupport/picture/flic_writer.h"
#include "toolsupport/tests/report_collector.h"

namespace compressor {
namespace {

using testing::TempFolder;

constexpr int kWidth = 96, kHeight = 64, kFrames = 8;

uint32_t Mix(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x9E3779B1u ^ (y + seed * 0x632BE5ABu) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  return h ^ (h >> 13);
}

// A palette of a fine gradient and some strong colours, and a noisy field panning two pixels a
// frame with a box moving over it: blocks of one, two and many colours, near and far apart,
// unchanged and changed, so that every error target has choices to make.
void WriteNoisyFlic(const std::string& path) {
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 256; ++i) {
    const bool ramp = i < 192;
    palette[3 * i] = static_cast<uint8_t>(ramp ? i * 4 / 3 : i * 37 % 256);
    palette[3 * i + 1] = static_cast<uint8_t>(ramp ? 64 + i / 3 : i * 91 % 256);
    palette[3 * i + 2] = static_cast<uint8_t>(ramp ? 255 - i * 4 / 3 : i * 53 % 256);
  }
  FlicWriter writer;
  FlicWriterInit(writer);
  ASSERT_TRUE(CreateFlic(writer, path, kWidth, kHeight, 100));
  std::vector<uint8_t> frame(size_t{kWidth} * kHeight);
  for (int f = 0; f < kFrames; ++f) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const auto u = static_cast<uint32_t>(x + 2 * f);
        const auto v = static_cast<uint32_t>(y);
        // Flat cells on the left third, a gradient with some grain in the middle, noise on the right.
        uint32_t value = (u / 16 * 29 + v / 16 * 13) % 160;
        if (x >= kWidth / 3) value = (u + 2 * v) % 160 + Mix(u / 2, v / 2, 1) % 3;
        if (x >= 2 * kWidth / 3) value += Mix(u, v, 2) % 13;
        frame[size_t(y) * kWidth + x] = static_cast<uint8_t>(value);
      }
    }
    for (int y = 20; y < 36; ++y) {
      for (int x = 8 + 5 * f; x < 24 + 5 * f; ++x) frame[size_t(y) * kWidth + x] = static_cast<uint8_t>(192 + (x * 3 + y) % 64);
    }
    ASSERT_TRUE(WriteFlicFrame(writer, palette.data(), frame.data()));
  }
  ASSERT_GT(CloseFlic(writer), 0);
  ASSERT_FALSE(writer.error);
  FlicWriterFree(writer);
}

// FNV-1a, 64 bits.
uint64_t FileHash(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  uint64_t hash = 0xCBF29CE484222325ull;
  for (auto byte = std::istreambuf_iterator<char>(in); byte != std::istreambuf_iterator<char>(); ++byte) {
    hash = (hash ^ static_cast<uint8_t>(*byte)) * 0x100000001B3ull;
  }
  return hash;
}

TEST(StableOutput, FilesFromAGeneratedClipKeepTheirBytes) {
  EnvironmentGuard environment;
  environment.NoDisplay();
  TempFolder folder;
  const std::string input = folder / "noisy.flc";
  WriteNoisyFlic(input);
  struct Case {
    const char* switches;
    uint64_t size;
    uint64_t hash;
  };
  const Case cases[] = {
      {"", 24084, 0x1F200B311B750C44ull},
      {"/N0/K0", 24188, 0xDFE64842D8CC4F6Aull},
      {"/N30/K10/J4", 19740, 0x961983DF27E4AE95ull},
      {"/N70/K50/J4", 5800, 0xE5ECE62636E1CE15ull},
      {"/N3000/K6000", 4076, 0x61D3928B81FFD606ull},
      {"/N-410/A50", 9736, 0x13D0B5913BB27F38ull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.switches);
    const std::string output = folder / "out.vnt";
    ResetStatusWindowForTesting();
    ASSERT_EQ(CompressorMain("\"" + input + "\" \"" + output + "\" /O" + c.switches), 0);
    EXPECT_EQ(std::filesystem::file_size(output), c.size);
    EXPECT_EQ(FileHash(output), c.hash);
  }
  ResetStatusWindowForTesting();
}

}  // namespace
}  // namespace compressor
