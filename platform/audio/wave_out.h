#pragma once
// Sound output in the manner of a wave-out device: the caller queues prepared blocks of PCM, the
// device plays them in order and marks each one done once it has taken all of its bytes; the
// caller polls those marks. Built on SDL2 audio. Everything runs on the caller's thread except
// SDL's audio callback, which only copies queued bytes out and marks blocks done; the two meet
// under SDL's device lock.
#include <atomic>
#include <cstdint>

namespace platform {

struct WaveFormat {
  uint32_t rate = 0;
  uint32_t channels = 1;  // 1 or 2, stereo frames left then right
  uint32_t bits = 8;      // 8 (unsigned) or 16 (signed little-endian)
};

inline constexpr uint32_t kWaveBlockDone = 1;

// A block of sound, owned by the caller; the device uses it from WaveOutWrite until its done
// mark is set (or the device is reset or closed).
struct WaveBlock {
  uint8_t* data = nullptr;
  uint32_t length = 0;               // bytes to play
  std::atomic<uint32_t> flags{0};    // kWaveBlockDone: the block may be refilled
  // The device's own.
  uint32_t taken = 0;                // bytes already copied to the device
  WaveBlock* next = nullptr;
};

struct WaveOutDevice;

// Opens a device for the format and starts it. Null when the format is unusable or no device
// takes it.
WaveOutDevice* WaveOutOpen(const WaveFormat& format);

// Queues the block behind those already queued and clears its done mark. A block of length 0
// is done at once. The device's volume is applied to the block's bytes here, so a volume change
// reaches the blocks written after it.
void WaveOutWrite(WaveOutDevice* device, WaveBlock* block);

// Drops every queued block; each is marked done.
void WaveOutReset(WaveOutDevice* device);

// Resets and closes the device. Null is ignored.
void WaveOutClose(WaveOutDevice* device);

// Volume of the left channel in the low 16 bits, of the right channel in the high 16 bits;
// 0xFFFF plays the samples unchanged. Mono sound takes the left volume.
void WaveOutSetVolume(WaveOutDevice* device, uint32_t volume);
uint32_t WaveOutGetVolume(const WaveOutDevice* device);

// Bytes of blocks the device has taken since it was opened.
uint64_t WaveOutBytesTaken(const WaveOutDevice* device);

}  // namespace platform
