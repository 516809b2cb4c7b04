// Looping buffers on SDL's disk driver: what is written between Lock and Unlock plays round and
// round from the cursor, at the volume and balance asked for.
#include "platform/audio/stream_device.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include "platform/audio/sdl_output.h"
#include "testsupport/environment_guard.h"
#include "testsupport/wait_until.h"

namespace {

using platform::StreamGainOf;

// The samples of a file of 8-bit or 16-bit sound, per channel.
std::map<uint32_t, std::map<int32_t, int>> SampleCounts(const std::vector<uint8_t>& bytes, uint32_t bits,
                                                        uint32_t channels) {
  std::map<uint32_t, std::map<int32_t, int>> counts;
  const uint32_t width = bits / 8;
  for (size_t i = 0; i + width <= bytes.size(); i += width) {
    const int32_t value = width == 1 ? bytes[i] : static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8);
    counts[(i / width) % channels][value] += 1;
  }
  return counts;
}

TEST(StreamDevice, GainsOfAttenuations) {
  EXPECT_EQ(StreamGainOf(0), 65536u);
  EXPECT_EQ(StreamGainOf(300), 65536u);
  EXPECT_EQ(StreamGainOf(-600), 32846u);  // 6 dB: half the amplitude, near enough
  EXPECT_EQ(StreamGainOf(-2000), 6554u);
  EXPECT_EQ(StreamGainOf(platform::kStreamSilent), 0u);
  EXPECT_EQ(StreamGainOf(-20000), 0u);
}

TEST(StreamDevice, TheLoopPlaysAtItsVolumeAndBalance) {
  struct Case {
    const char* what;
    uint32_t bits, channels, caps;
    int32_t volume, pan;
    int32_t sample;             // every sample of the loop
    int32_t left, right;        // what the device gets
  };
  const int32_t half = static_cast<int32_t>(0x4000LL * StreamGainOf(-600) / 65536);
  const Case cases[] = {
      {"mono at full volume", 8, 1, platform::kStreamVolumeControl, 0, 0, 0xC0, 0xC0, 0xC0},
      {"mono 6 dB down", 8, 1, platform::kStreamVolumeControl, -600, 0, 0xC0,
       128 + static_cast<int32_t>(64LL * StreamGainOf(-600) / 65536), 0},
      {"stereo, left 6 dB down", 16, 2, platform::kStreamPanControl, 0, 600, 0x4000, half, 0x4000},
      {"stereo, right 6 dB down and all 6 dB down", 16, 2,
       platform::kStreamPanControl | platform::kStreamVolumeControl, -600, -600, 0x4000, half,
       static_cast<int32_t>(half * int64_t{StreamGainOf(-600)} / 65536)},
      {"no controls", 16, 2, 0, -600, 600, 0x4000, 0x4000, 0x4000},
  };
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("vant-stream-" + std::to_string(getpid()) + ".raw");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "disk");
    environment.Set("SDL_DISKAUDIOFILE", file.c_str());
    std::unique_ptr<platform::StreamDevice> device = platform::CreateStreamDevice();
    ASSERT_NE(device, nullptr);
    const platform::StreamFormat format{8000, c.channels, c.bits};
    const uint32_t size = 2000 * c.channels * c.bits / 8;  // a quarter second
    std::unique_ptr<platform::StreamBuffer> buffer = device->CreateBuffer(format, size, c.caps);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->SetVolume(c.volume), (c.caps & platform::kStreamVolumeControl) != 0);
    EXPECT_EQ(buffer->SetPan(c.pan), (c.caps & platform::kStreamPanControl) != 0);

    // A region that wraps from the end to the start, then the rest.
    platform::StreamRegions regions;
    ASSERT_TRUE(buffer->Lock(size - 8, 16, regions));
    EXPECT_EQ(regions.firstBytes, 8u);
    EXPECT_EQ(regions.second, regions.first - (size - 8));
    EXPECT_EQ(regions.secondBytes, 8u);
    buffer->Unlock(regions);
    ASSERT_TRUE(buffer->Lock(0, size, regions));
    for (uint32_t i = 0; i < size; i += c.bits / 8) {
      regions.first[i] = static_cast<uint8_t>(c.sample);
      if (c.bits == 16) regions.first[i + 1] = static_cast<uint8_t>(c.sample >> 8);
    }
    buffer->Unlock(regions);
    EXPECT_FALSE(buffer->Lock(size, 4, regions));

    ASSERT_TRUE(buffer->Play());
    // Round the loop more than once.
    uint32_t last = 0, laps = 0;
    for (int wait = 0; wait < 5000 && laps < 2; ++wait) {
      const uint32_t cursor = buffer->PlayCursor();
      if (cursor < last) laps += 1;
      last = cursor;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(laps, 2u);
    // Stopped, the cursor holds while the device goes on putting out silence.
    buffer->Stop();
    const uint64_t held = buffer->PlayedBytes();
    EXPECT_GE(held, 2u * size);
    EXPECT_EQ(buffer->PlayCursor(), held % size);
    const uint64_t output = platform::AudioOutputBytes();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return platform::AudioOutputBytes() > output; }));
    EXPECT_EQ(buffer->PlayedBytes(), held);
    buffer.reset();
    device.reset();

    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> played{std::istreambuf_iterator<char>(in), {}};
    auto counts = SampleCounts(played, c.bits, c.channels);
    const int32_t silence = c.bits == 8 ? 0x80 : 0;
    for (uint32_t channel = 0; channel < c.channels; ++channel) {
      auto& values = counts[channel];
      const int32_t expected = channel == 0 ? c.left : c.right;
      EXPECT_GE(values[expected], 2000) << channel;
      values.erase(expected);
      values.erase(silence);  // before the loop played and after it stopped
      EXPECT_TRUE(values.empty()) << channel << ": " << values.begin()->first;
    }
  }
  std::filesystem::remove(file);
}

}  // namespace
