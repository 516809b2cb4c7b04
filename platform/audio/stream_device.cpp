#include "platform/audio/stream_device.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio/sdl_output.h"

namespace platform {

namespace {

constexpr uint32_t kUnityGain = 65536;

class SdlStreamBuffer final : public StreamBuffer {
 public:
  SdlStreamBuffer(const StreamFormat& format, uint32_t size, uint32_t caps)
      : format_(format), caps_(caps), loop_(size, format.bits == 8 ? 0x80 : 0) {}
  ~SdlStreamBuffer() override {
    if (id_ != 0) CloseAudioOutput(id_);
  }

  // The device runs from the start and puts out silence while the buffer is stopped, so that
  // all it puts out passes TakeSound.
  bool Open() {
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(format_.rate);
    want.format = format_.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = static_cast<Uint8>(format_.channels);
    // Well below the service's sixteenth of a second, so that the device never reads past what
    // the service has written.
    want.samples = AudioBufferFrames(format_.rate, 64);
    want.callback = TakeSound;
    want.userdata = this;
    SDL_AudioSpec have{};
    id_ = OpenAudioOutput(want, have);
    if (id_ == 0) return false;
    PauseAudioOutput(id_, false);
    return true;
  }

  uint32_t Size() const override { return static_cast<uint32_t>(loop_.size()); }
  bool Play() override {
    playing_.store(true, std::memory_order_release);
    return true;
  }
  // Under the device's lock, so that a take under way ends before the cursor is held.
  void Stop() override {
    LockAudioOutput(id_);
    playing_.store(false, std::memory_order_release);
    UnlockAudioOutput(id_);
  }
  uint32_t PlayCursor() const override { return static_cast<uint32_t>(PlayedBytes() % Size()); }
  uint64_t PlayedBytes() const override { return played_.load(std::memory_order_acquire); }

  // The device's lock keeps SDL's callback out while the owner writes.
  bool Lock(uint32_t offset, uint32_t bytes, StreamRegions& regions) override {
    if (offset >= Size() || bytes > Size() || bytes == 0) return false;
    LockAudioOutput(id_);
    regions.first = loop_.data() + offset;
    regions.firstBytes = std::min(bytes, Size() - offset);
    regions.second = bytes > regions.firstBytes ? loop_.data() : nullptr;
    regions.secondBytes = bytes - regions.firstBytes;
    return true;
  }
  void Unlock(const StreamRegions&) override { UnlockAudioOutput(id_); }

  bool SetVolume(int32_t hundredthsDb) override {
    if (!(caps_ & kStreamVolumeControl)) return false;
    volume_ = hundredthsDb;
    UpdateGains();
    return true;
  }
  bool SetPan(int32_t hundredthsDb) override {
    if (!(caps_ & kStreamPanControl)) return false;
    pan_ = hundredthsDb;
    UpdateGains();
    return true;
  }

 private:
  // Mono sound takes the volume alone.
  void UpdateGains() {
    const uint64_t volume = StreamGainOf(volume_);
    const uint64_t left = pan_ > 0 ? StreamGainOf(-pan_) : kUnityGain;
    const uint64_t right = pan_ < 0 ? StreamGainOf(pan_) : kUnityGain;
    leftGain_.store(static_cast<uint32_t>(volume * left / kUnityGain));
    rightGain_.store(static_cast<uint32_t>(format_.channels == 2 ? volume * right / kUnityGain : volume * left / kUnityGain));
  }

  // SDL's audio thread, under the device's lock: the loop from the cursor on, round and round.
  static void TakeSound(void* userdata, Uint8* stream, int length) {
    auto* buffer = static_cast<SdlStreamBuffer*>(userdata);
    CountAudioOutput(static_cast<uint32_t>(length));
    if (!buffer->playing_.load(std::memory_order_acquire)) {
      std::memset(stream, buffer->format_.bits == 8 ? 0x80 : 0, static_cast<size_t>(length));
      return;
    }
    const uint32_t size = buffer->Size();
    const uint32_t left = buffer->leftGain_.load(), right = buffer->rightGain_.load();
    const uint64_t played = buffer->played_.load(std::memory_order_relaxed);
    uint32_t cursor = static_cast<uint32_t>(played % size);
    uint32_t wanted = static_cast<uint32_t>(length);
    while (wanted > 0) {
      const uint32_t n = std::min(wanted, size - cursor);
      std::memcpy(stream, buffer->loop_.data() + cursor, n);
      if (left != kUnityGain || right != kUnityGain) {
        ScaleSamples(stream, n, buffer->format_.bits, buffer->format_.channels, left, right, kUnityGain);
      }
      stream += n;
      wanted -= n;
      cursor = cursor + n == size ? 0 : cursor + n;
    }
    buffer->played_.store(played + static_cast<uint64_t>(length), std::memory_order_release);
  }

  StreamFormat format_;
  uint32_t caps_;
  std::vector<uint8_t> loop_;
  SDL_AudioDeviceID id_ = 0;
  std::atomic<bool> playing_{false};
  std::atomic<uint64_t> played_{0};
  int32_t volume_ = 0, pan_ = 0;
  std::atomic<uint32_t> leftGain_{kUnityGain}, rightGain_{kUnityGain};
};

class SdlStreamDevice final : public StreamDevice {
 public:
  ~SdlStreamDevice() override { StopAudioOutput(); }
  void SetCooperativeWindow(void* window) override { window_ = window; }
  std::unique_ptr<StreamBuffer> CreateBuffer(const StreamFormat& format, uint32_t size, uint32_t caps) override {
    if (format.rate == 0 || format.rate > 0xFFFFFF) return nullptr;
    if ((format.bits != 8 && format.bits != 16) || (format.channels != 1 && format.channels != 2)) return nullptr;
    const uint32_t frame = format.bits / 8 * format.channels;
    if (size == 0 || size % frame != 0) return nullptr;
    auto buffer = std::make_unique<SdlStreamBuffer>(format, size, caps);
    if (!buffer->Open()) {
      NoteNoSoundDevice();
      return nullptr;
    }
    return buffer;
  }

 private:
  void* window_ = nullptr;
};

}  // namespace

uint32_t StreamGainOf(int32_t hundredthsDb) {
  if (hundredthsDb >= 0) return kUnityGain;
  if (hundredthsDb <= kStreamSilent) return 0;
  return static_cast<uint32_t>(std::lround(kUnityGain * std::pow(10.0, hundredthsDb / 2000.0)));
}

std::unique_ptr<StreamDevice> CreateStreamDevice() {
  if (!StartAudioOutput()) {
    NoteNoSoundDevice();
    return nullptr;
  }
  return std::make_unique<SdlStreamDevice>();
}

}  // namespace platform
