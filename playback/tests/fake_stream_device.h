#pragma once
// A stream device for the tests: its buffers play only when told to (Take, from any thread) or
// where the test puts the cursor, and it records what the service made and asked of it.
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
  void Stop() override { playing = false; }
  uint32_t PlayCursor() const override { return cursor; }
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

  // What a device's callback does: reads the next `count` bytes, when playing.
  void Take(uint32_t count) {
    if (!playing) return;
    std::lock_guard lock(mutex_);
    uint32_t at = cursor;
    for (; count > 0; --count) {
      sum += bytes[at];
      at = at + 1 == Size() ? 0 : at + 1;
    }
    cursor = at;
  }

  DeviceRecord& record;
  const platform::StreamFormat format;
  const uint32_t caps;
  std::vector<uint8_t> bytes;
  std::atomic<uint32_t> cursor{0};
  std::atomic<bool> playing{false};
  int32_t volume = 1, pan = 1;  // 1: never set
  uint64_t sum = 0;

 private:
  std::mutex mutex_;
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
