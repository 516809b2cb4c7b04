#include "platform/audio/sdl_output.h"

#include <dlfcn.h>

#include <cstdio>

namespace platform {

namespace {

// The sound library behind SDL's ALSA driver prints every failed attempt to find a device to
// standard error; a run without a sound device then starts with lines of such chatter. Its
// report function is replaced by one that says nothing, in the copy of the library that SDL
// loads as well (when the library is not there, there is nothing to silence).
extern "C" void IgnoreSoundLibraryReport(const char*, int, const char*, int, const char*, ...) {}

void SilenceSoundLibrary() {
  static const bool silenced = [] {
    void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return false;
    using Report = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetReport = int (*)(Report);
    auto set = reinterpret_cast<SetReport>(dlsym(library, "snd_lib_error_set_handler"));
    if (set != nullptr) set(IgnoreSoundLibraryReport);
    return set != nullptr;  // the library stays loaded, and with it the silent report
  }();
  (void)silenced;
}

}  // namespace

// The programs stop on SIGINT, SIGTERM and SIGHUP themselves, so SDL must not take those signals
// over.
bool StartAudioOutput() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SilenceSoundLibrary();
  return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

void StopAudioOutput() { SDL_QuitSubSystem(SDL_INIT_AUDIO); }

SDL_AudioDeviceID OpenAudioOutput(const SDL_AudioSpec& want, SDL_AudioSpec& have) {
  if (!StartAudioOutput()) return 0;
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) StopAudioOutput();
  return id;
}

void CloseAudioOutput(SDL_AudioDeviceID id) {
  SDL_CloseAudioDevice(id);
  StopAudioOutput();
}

Uint16 AudioBufferFrames(uint32_t rate, uint32_t perSecond) {
  uint32_t frames = 256;
  while (frames < 4096 && uint64_t{frames} * perSecond < rate) frames *= 2;
  return static_cast<Uint16>(frames);
}

void NoteNoSoundDevice() {
  static bool said = false;
  if (said) return;
  said = true;
  std::fputs("No sound device could be opened: playing without sound.\n", stderr);
}

void ScaleSamples(uint8_t* data, uint32_t length, uint32_t bits, uint32_t channels, uint32_t leftGain,
                  uint32_t rightGain, uint32_t unity) {
  const int64_t gains[2] = {leftGain, rightGain};
  const uint32_t lanes = channels == 2 ? 2 : 1;
  if (bits == 8) {
    for (uint32_t i = 0; i < length; ++i) {
      const int64_t centred = int64_t{data[i]} - 128;
      data[i] = static_cast<uint8_t>(128 + centred * gains[i % lanes] / unity);
    }
    return;
  }
  for (uint32_t i = 0; i + 1 < length; i += 2) {
    const int64_t sample = static_cast<int16_t>(data[i] | data[i + 1] << 8);
    const int64_t scaled = sample * gains[(i / 2) % lanes] / unity;
    data[i] = static_cast<uint8_t>(scaled);
    data[i + 1] = static_cast<uint8_t>(scaled >> 8);
  }
}

}  // namespace platform
