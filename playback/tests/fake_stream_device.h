#pragma once
// A stream device for the tests: its buffers play only when told to (Take, from any thread), and
// it records what they played and what the service made and asked of it.
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/stream_device.h"

class FakeBuffer;

struct DeviceRecord {
  int made = 0, live = 0;  // devices
  bool refuseBuffers = false;
  bool refuseLocks = false;
  void* window = nullptr;
  std::mutex mutex;                 // guards buffers
  std::vector<FakeBuffer*> buffers;  // alive, oldest first
};

class FakeBuffer final : public platform::StreamBuffer {
 public:
  FakeBuffer(DeviceRecord& owner, const platform::StreamFormat& bufferFormat, uint32_t size, uint32_t bufferCaps)
      : record(owner), format(bufferFormat), caps(bufferCaps), bytes(size, 0x55) {
    std::lock_guard lock(record.mutex);
    record.buffers.push_back(this);
  }
  ~FakeBuffer() override {
    std::lock_guard lock(record.mutex);
    std::erase(record.buffers, this);
  }
  uint32_t Size() const override { return static_cast<uint32_t>(bytes.size()); }
  bool Play() override { return playing = true; }
  void Stop() override {
    std::lock_guard lock(mutex_);
    playing = false;
  }
  uint32_t PlayCursor() const override { return static_cast<uint32_t>(played % Size()); }
  uint64_t PlayedBytes() const override { return played; }
  bool Lock(uint32_t offset, uint32_t count, platform::StreamRegions& regions) override {
    if (record.refuseLocks) return false;
    mutex_.lock();
    regions.first = bytes.data() + offset;
    regions.firstBytes = std::min<uint32_t>(count, Size() - offset);
    regions.second = count > regions.firstBytes ? bytes.data() : nullptr;
    regions.secondBytes = count - regions.firstBytes;
    return true;
  }
  void Unlock(const platform::StreamRegions&) override { mutex_.unlock(); }
  bool SetVolume(int32_t value) override {
    if (!(caps & platform::kStreamVolumeControl)) return false;
    volume = value;
    return true;
  }
  bool SetPan(int32_t value) override {
    if (!(caps & platform::kStreamPanControl)) return false;
    pan = value;
    return true;
  }

  // What a device's callback does: plays the next `count` bytes, while playing.
  void Take(uint32_t count) {
    std::lock_guard lock(mutex_);
    if (!playing) return;
    for (uint64_t at = played; at < played + count; ++at) heard.push_back(bytes[at % Size()]);
    played += count;
  }

  // Plays along with a clock: each call plays (or, when the device does not ask for sound,
  // skips) the milliseconds of sound since the call before; the first call starts the clock.
  void PlayAlong(uint64_t nowMs, bool asking) {
    if (clockStart_ == UINT64_MAX) clockStart_ = nowMs;
    const uint64_t due = (nowMs - clockStart_) * format.rate / 1000 * (format.bits / 8 * format.channels);
    if (asking) Take(static_cast<uint32_t>(due - clockDone_));
    clockDone_ = due;
  }

  DeviceRecord& record;
  const platform::StreamFormat format;
  const uint32_t caps;
  std::vector<uint8_t> bytes;
  std::atomic<uint64_t> played{0};
  std::atomic<bool> playing{false};
  int32_t volume = 1, pan = 1;  // 1: never set
  std::vector<uint8_t> heard;   // what the buffer played, in order

 private:
  std::mutex mutex_;
  uint64_t clockStart_ = UINT64_MAX, clockDone_ = 0;
};

class FakeDevice final : public platform::StreamDevice {
 public:
  explicit FakeDevice(DeviceRecord& record) : record_(record) {
    record_.made += 1;
    record_.live += 1;
  }
  ~FakeDevice() override { record_.live -= 1; }
  void SetCooperativeWindow(void* window) override { record_.window = window; }
  std::unique_ptr<platform::StreamBuffer> CreateBuffer(const platform::StreamFormat& format, uint32_t size,
                                                       uint32_t caps) override {
    if (record_.refuseBuffers) return nullptr;
    return std::make_unique<FakeBuffer>(record_, format, size, caps);
  }

 private:
  DeviceRecord& record_;
};
