#include "platform/audio/wave_out.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "testsupport/wait_until.h"

namespace {

using platform::WaveBlock;
using platform::WaveFormat;

// Plays on SDL's disk driver into a scratch file for the length of one test.
class DiskAudio {
 public:
  DiskAudio() {
    path_ = std::filesystem::temp_directory_path() / ("vant-audio-" + std::to_string(getpid()) + ".raw");
    std::filesystem::remove(path_);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
  }
  ~DiskAudio() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::remove(path_);
  }
  std::vector<uint8_t> Bytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path path_;
};

bool WaitDone(const WaveBlock& block) {
  return testsupport::WaitUntil([&] { return (block.flags.load() & platform::kWaveBlockDone) != 0; });
}

// The bytes that are not the silence value, in order.
std::vector<uint8_t> WithoutSilence(const std::vector<uint8_t>& bytes, uint8_t silence) {
  std::vector<uint8_t> kept;
  for (uint8_t b : bytes) {
    if (b != silence) kept.push_back(b);
  }
  return kept;
}

TEST(WaveOut, RefusesFormatsItCannotPlay) {
  EXPECT_EQ(platform::WaveOutOpen({0, 1, 8}), nullptr);
  EXPECT_EQ(platform::WaveOutOpen({8000, 3, 8}), nullptr);
  EXPECT_EQ(platform::WaveOutOpen({8000, 1, 12}), nullptr);
  platform::WaveOutClose(nullptr);
}

TEST(WaveOut, PlaysQueuedBlocksInOrderAndMarksThemDone) {
  DiskAudio disk;
  platform::WaveOutDevice* device = platform::WaveOutOpen({8000, 1, 8});
  ASSERT_NE(device, nullptr);
  // Three short blocks without the silence value, so that the device's own padding can be told
  // apart from them.
  std::vector<std::vector<uint8_t>> data(3);
  WaveBlock blocks[3];
  std::vector<uint8_t> expected;
  for (int b = 0; b < 3; ++b) {
    for (int i = 0; i < 700 + 100 * b; ++i) data[b].push_back(static_cast<uint8_t>(b * 10 + i % 100));
    expected.insert(expected.end(), data[b].begin(), data[b].end());
    blocks[b].data = data[b].data();
    blocks[b].length = static_cast<uint32_t>(data[b].size());
  }
  for (WaveBlock& block : blocks) platform::WaveOutWrite(device, &block);
  for (WaveBlock& block : blocks) EXPECT_TRUE(WaitDone(block));
  EXPECT_EQ(platform::WaveOutBytesTaken(device), expected.size());
  // An empty block is done at once.
  WaveBlock empty;
  platform::WaveOutWrite(device, &empty);
  EXPECT_TRUE(empty.flags.load() & platform::kWaveBlockDone);
  platform::WaveOutClose(device);
  EXPECT_EQ(WithoutSilence(disk.Bytes(), 0x80), expected);
}

TEST(WaveOut, ResetDropsQueuedBlocksAndMarksThemDone) {
  platform::WaveOutDevice* device = platform::WaveOutOpen({22050, 2, 16});
  ASSERT_NE(device, nullptr);
  std::vector<uint8_t> data(22050 * 4 * 5, 0x11);  // five seconds each
  WaveBlock first, second;
  first.data = second.data = data.data();
  first.length = second.length = static_cast<uint32_t>(data.size());
  platform::WaveOutWrite(device, &first);
  platform::WaveOutWrite(device, &second);
  EXPECT_FALSE(second.flags.load() & platform::kWaveBlockDone);
  platform::WaveOutReset(device);
  EXPECT_TRUE(first.flags.load() & platform::kWaveBlockDone);
  EXPECT_TRUE(second.flags.load() & platform::kWaveBlockDone);
  EXPECT_LT(platform::WaveOutBytesTaken(device), data.size());
  // The device still plays what comes after the reset.
  WaveBlock third;
  std::vector<uint8_t> small(400, 0x22);
  third.data = small.data();
  third.length = static_cast<uint32_t>(small.size());
  platform::WaveOutWrite(device, &third);
  EXPECT_TRUE(WaitDone(third));
  platform::WaveOutClose(device);
}

TEST(WaveOut, VolumeScalesEachChannelOfLaterBlocks) {
  DiskAudio disk;
  platform::WaveOutDevice* device = platform::WaveOutOpen({8000, 2, 16});
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(platform::WaveOutGetVolume(device), 0xFFFFFFFFu);
  platform::WaveOutSetVolume(device, 0x8000 | 0x0000u << 16);  // left at half, right silent
  std::vector<uint8_t> data;
  for (int i = 0; i < 800; ++i) {
    const int16_t left = static_cast<int16_t>(1000 + i), right = static_cast<int16_t>(-2000 - i);
    for (int16_t v : {left, right}) {
      data.push_back(static_cast<uint8_t>(v));
      data.push_back(static_cast<uint8_t>(v >> 8));
    }
  }
  WaveBlock block;
  block.data = data.data();
  block.length = static_cast<uint32_t>(data.size());
  platform::WaveOutWrite(device, &block);
  ASSERT_TRUE(WaitDone(block));
  platform::WaveOutClose(device);

  std::vector<uint8_t> played = disk.Bytes();
  std::vector<int16_t> samples;
  for (size_t i = 0; i + 1 < played.size(); i += 2) samples.push_back(static_cast<int16_t>(played[i] | played[i + 1] << 8));
  // Find the first left sample; everything right of it is silent.
  size_t at = 0;
  while (at < samples.size() && samples[at] == 0) ++at;
  ASSERT_EQ(at % 2, 0u);
  ASSERT_LE(at + 1600, samples.size());
  for (int i = 0; i < 800; ++i) {
    EXPECT_EQ(samples[at + 2 * i], (1000 + i) * 0x8000 / 0xFFFF) << i;
    EXPECT_EQ(samples[at + 2 * i + 1], 0) << i;
  }
}

// The programs stop on these signals themselves; an open device must leave them to the program.
TEST(WaveOut, LeavesTheStopSignalsToTheProgram) {
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction before[3] {};
  for (int i = 0; i < 3; ++i) sigaction(signals[i], nullptr, &before[i]);
  WaveFormat format;
  format.rate = 11025;
  platform::WaveOutDevice* device = platform::WaveOutOpen(format);
  ASSERT_NE(device, nullptr);
  for (int i = 0; i < 3; ++i) {
    struct sigaction now {};
    sigaction(signals[i], nullptr, &now);
    EXPECT_EQ(now.sa_handler, before[i].sa_handler) << signals[i];
  }
  platform::WaveOutClose(device);
}

}  // namespace
