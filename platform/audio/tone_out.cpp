#include "platform/audio/tone_out.h"

#include <SDL.h>

#include "platform/audio/sdl_output.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr uint8_t kSilence = 128;
// Well below full scale: a tone is a signal, not an alarm.
constexpr uint8_t kSwing = 40;

}  // namespace

struct ToneOut {
  SDL_AudioDeviceID id = 0;
  uint32_t frequency = 0;
  uint32_t phase = 0;  // only the audio callback touches it once the device runs
};

void FillSquareWave(uint8_t* samples, size_t count, uint32_t frequency, uint32_t rate, uint32_t& phase) {
  if (frequency == 0 || rate == 0 || frequency >= rate / 2) {
    std::memset(samples, kSilence, count);
    return;
  }
  const uint32_t step = static_cast<uint32_t>((uint64_t{frequency} << 32) / rate);
  for (size_t i = 0; i < count; ++i) {
    samples[i] = phase < 0x80000000u ? kSilence + kSwing : kSilence - kSwing;
    phase += step;
  }
}

namespace {

void MakeTone(void* userdata, Uint8* stream, int length) {
  auto* tone = static_cast<ToneOut*>(userdata);
  CountAudioOutput(static_cast<uint32_t>(length));
  FillSquareWave(stream, static_cast<size_t>(length), tone->frequency, kToneRate, tone->phase);
}

}  // namespace

ToneOut* ToneOutStart(uint32_t frequency) {
  auto* tone = new ToneOut;
  tone->frequency = std::max(frequency, kLowestTone);
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(kToneRate);
  want.format = AUDIO_U8;
  want.channels = 1;
  want.samples = 512;
  want.callback = MakeTone;
  want.userdata = tone;
  SDL_AudioSpec have{};
  tone->id = OpenAudioOutput(want, have);
  if (tone->id == 0) {
    delete tone;
    return nullptr;
  }
  PauseAudioOutput(tone->id, false);
  return tone;
}

void ToneOutStop(ToneOut* tone) {
  if (tone == nullptr) return;
  CloseAudioOutput(tone->id);
  delete tone;
}

}  // namespace platform
