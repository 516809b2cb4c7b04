#include "platform/audio/wave_out.h"

#include <SDL.h>

#include "platform/audio/sdl_output.h"

#include <algorithm>
#include <cstring>

namespace platform {

struct WaveOutDevice {
  SDL_AudioDeviceID id = 0;
  WaveFormat format;
  uint8_t silence = 0;
  uint32_t volume = 0xFFFFFFFF;
  // The queue; touched by the callback and by the caller under the device lock.
  WaveBlock* head = nullptr;
  WaveBlock* tail = nullptr;
  std::atomic<uint64_t> taken{0};
};

namespace {

// SDL's audio thread: copy queued bytes out, mark finished blocks done, pad with silence.
void CopyQueuedSound(void* userdata, Uint8* stream, int length) {
  auto* device = static_cast<WaveOutDevice*>(userdata);
  CountAudioOutput(static_cast<uint32_t>(length));
  uint32_t left = static_cast<uint32_t>(length);
  uint64_t copied = 0;
  while (left > 0 && device->head) {
    WaveBlock* block = device->head;
    const uint32_t n = std::min(left, block->length - block->taken);
    std::memcpy(stream, block->data + block->taken, n);
    block->taken += n;
    stream += n;
    left -= n;
    copied += n;
    if (block->taken == block->length) {
      device->head = block->next;
      if (!device->head) device->tail = nullptr;
      block->next = nullptr;
      block->flags.store(kWaveBlockDone, std::memory_order_release);
    }
  }
  if (left > 0) std::memset(stream, device->silence, left);
  device->taken.fetch_add(copied, std::memory_order_relaxed);
}

}  // namespace

WaveOutDevice* WaveOutOpen(const WaveFormat& format) {
  if (format.rate == 0 || format.rate > 0xFFFFFF) return nullptr;
  if ((format.bits != 8 && format.bits != 16) || (format.channels != 1 && format.channels != 2)) return nullptr;
  auto* device = new WaveOutDevice;
  device->format = format;
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(format.rate);
  want.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = static_cast<Uint8>(format.channels);
  want.samples = AudioBufferFrames(format.rate, 32);  // about a thirtieth of a second
  want.callback = CopyQueuedSound;
  want.userdata = device;
  SDL_AudioSpec have{};
  device->id = OpenAudioOutput(want, have);
  if (device->id == 0) {
    delete device;
    NoteNoSoundDevice();
    return nullptr;
  }
  device->silence = have.silence;
  PauseAudioOutput(device->id, false);
  return device;
}

void WaveOutWrite(WaveOutDevice* device, WaveBlock* block) {
  if (!device || !block) return;
  block->taken = 0;
  block->next = nullptr;
  if (block->length == 0) {
    block->flags.store(kWaveBlockDone, std::memory_order_release);
    return;
  }
  if (device->volume != 0xFFFFFFFF) {
    ScaleSamples(block->data, block->length, device->format.bits, device->format.channels,
                 device->volume & 0xFFFF, device->volume >> 16, 0xFFFF);
  }
  block->flags.store(0, std::memory_order_relaxed);
  LockAudioOutput(device->id);
  if (device->tail) {
    device->tail->next = block;
  } else {
    device->head = block;
  }
  device->tail = block;
  UnlockAudioOutput(device->id);
}

void WaveOutReset(WaveOutDevice* device) {
  if (!device) return;
  LockAudioOutput(device->id);
  for (WaveBlock* block = device->head; block;) {
    WaveBlock* next = block->next;
    block->next = nullptr;
    block->flags.store(kWaveBlockDone, std::memory_order_release);
    block = next;
  }
  device->head = device->tail = nullptr;
  UnlockAudioOutput(device->id);
}

void WaveOutClose(WaveOutDevice* device) {
  if (!device) return;
  WaveOutReset(device);
  CloseAudioOutput(device->id);
  delete device;
}

void WaveOutSetVolume(WaveOutDevice* device, uint32_t volume) {
  if (device) device->volume = volume;
}

uint32_t WaveOutGetVolume(const WaveOutDevice* device) { return device ? device->volume : 0; }

uint64_t WaveOutBytesTaken(const WaveOutDevice* device) {
  return device ? device->taken.load(std::memory_order_relaxed) : 0;
}

}  // namespace platform
