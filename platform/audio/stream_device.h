#pragma once
// Looping sound buffers in the manner of a streaming sound device: the device plays a buffer
// round and round from its play cursor while the owner writes ahead of the cursor, a region at a
// time, between Lock and Unlock. Built on SDL2 audio: each buffer plays on an SDL device of its
// own, and the play cursor is where SDL's audio callback will take the next byte.
#include <cstdint>
#include <memory>

#include "platform/audio/wave_out.h"

namespace platform {

using StreamFormat = WaveFormat;

// The controls a buffer is made with.
enum StreamBufferCaps : uint32_t {
  kStreamVolumeControl = 1,
  kStreamPanControl = 2,
};

// A locked region: at most two pieces, the second where the region wraps to the buffer's start.
struct StreamRegions {
  uint8_t* first = nullptr;
  uint32_t firstBytes = 0;
  uint8_t* second = nullptr;
  uint32_t secondBytes = 0;
};

// Attenuation in hundredths of a decibel, 0 (full) down to kStreamSilent.
inline constexpr int32_t kStreamSilent = -10000;

class StreamBuffer {
 public:
  virtual ~StreamBuffer() = default;
  virtual uint32_t Size() const = 0;
  // Plays round and round from the play cursor; Stop holds the cursor where it is (once Stop
  // returns, the cursor moves no more).
  virtual bool Play() = 0;
  virtual void Stop() = 0;
  virtual uint32_t PlayCursor() const = 0;
  // The play cursor counted on from 0 without wrapping: the bytes the buffer has played since it
  // was made. The cursor is this modulo the size. Read between Lock and Unlock, it stands still
  // until the unlock.
  virtual uint64_t PlayedBytes() const = 0;
  // Locks `bytes` from `offset` (both within the buffer) for writing; Unlock hands them back.
  virtual bool Lock(uint32_t offset, uint32_t bytes, StreamRegions& regions) = 0;
  virtual void Unlock(const StreamRegions& regions) = 0;
  // Attenuation of the whole buffer, and balance: below 0 the right channel is attenuated by
  // that much, above 0 the left one. False when the buffer was made without the control.
  virtual bool SetVolume(int32_t hundredthsDb) = 0;
  virtual bool SetPan(int32_t hundredthsDb) = 0;
};

class StreamDevice {
 public:
  virtual ~StreamDevice() = default;
  // The window that owns the device's sound while it is active. SDL shares the sound device
  // among programs itself, so the window is only kept.
  virtual void SetCooperativeWindow(void* window) = 0;
  // A buffer of `size` bytes of silence in the format, stopped, cursor at 0. Null when no
  // device takes the format.
  virtual std::unique_ptr<StreamBuffer> CreateBuffer(const StreamFormat& format, uint32_t size, uint32_t caps) = 0;
};

// The default sound device; null (said once on standard error) when SDL cannot be loaded or its
// audio part cannot start.
std::unique_ptr<StreamDevice> CreateStreamDevice();

// The gain, 0 to 65536, of an attenuation in hundredths of a decibel (clamped to the range).
uint32_t StreamGainOf(int32_t hundredthsDb);

}  // namespace platform
