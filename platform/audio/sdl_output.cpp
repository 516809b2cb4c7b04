#include "platform/audio/sdl_output.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>

namespace platform {

namespace {

// SDL is loaded on first use, so that programs and the playback library start without it and
// run without sound where it is not installed.
constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

struct SdlCalls {
  decltype(&SDL_SetHint) setHint = nullptr;
  decltype(&SDL_InitSubSystem) initSubSystem = nullptr;
  decltype(&SDL_QuitSubSystem) quitSubSystem = nullptr;
  decltype(&SDL_OpenAudioDevice) openAudioDevice = nullptr;
  decltype(&SDL_CloseAudioDevice) closeAudioDevice = nullptr;
  decltype(&SDL_PauseAudioDevice) pauseAudioDevice = nullptr;
  decltype(&SDL_LockAudioDevice) lockAudioDevice = nullptr;
  decltype(&SDL_UnlockAudioDevice) unlockAudioDevice = nullptr;
};

template <typename Call>
bool Resolve(void* library, const char* name, Call& call) {
  call = reinterpret_cast<Call>(dlsym(library, name));
  return call != nullptr;
}

// The loaded calls, or null when the library or one of its calls is missing.
const SdlCalls* Sdl() {
  static const SdlCalls* const loaded = []() -> const SdlCalls* {
    void* library = dlopen(kSdlLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    static SdlCalls calls;
    const bool complete = Resolve(library, "SDL_SetHint", calls.setHint) &&
                          Resolve(library, "SDL_InitSubSystem", calls.initSubSystem) &&
                          Resolve(library, "SDL_QuitSubSystem", calls.quitSubSystem) &&
                          Resolve(library, "SDL_OpenAudioDevice", calls.openAudioDevice) &&
                          Resolve(library, "SDL_CloseAudioDevice", calls.closeAudioDevice) &&
                          Resolve(library, "SDL_PauseAudioDevice", calls.pauseAudioDevice) &&
                          Resolve(library, "SDL_LockAudioDevice", calls.lockAudioDevice) &&
                          Resolve(library, "SDL_UnlockAudioDevice", calls.unlockAudioDevice);
    if (!complete) {
      dlclose(library);
      return nullptr;
    }
    return &calls;  // the library stays loaded for the rest of the run
  }();
  return loaded;
}

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
  const SdlCalls* sdl = Sdl();
  if (sdl == nullptr) return false;
  sdl->setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SilenceSoundLibrary();
  return sdl->initSubSystem(SDL_INIT_AUDIO) == 0;
}

// Only a true StartAudioOutput (so a loaded library) comes before the calls below.
void StopAudioOutput() { Sdl()->quitSubSystem(SDL_INIT_AUDIO); }

SDL_AudioDeviceID OpenAudioOutput(const SDL_AudioSpec& want, SDL_AudioSpec& have) {
  if (!StartAudioOutput()) return 0;
  const SDL_AudioDeviceID id = Sdl()->openAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) StopAudioOutput();
  return id;
}

void CloseAudioOutput(SDL_AudioDeviceID id) {
  Sdl()->closeAudioDevice(id);
  StopAudioOutput();
}

void PauseAudioOutput(SDL_AudioDeviceID id, bool paused) { Sdl()->pauseAudioDevice(id, paused ? 1 : 0); }
void LockAudioOutput(SDL_AudioDeviceID id) { Sdl()->lockAudioDevice(id); }
void UnlockAudioOutput(SDL_AudioDeviceID id) { Sdl()->unlockAudioDevice(id); }

Uint16 AudioBufferFrames(uint32_t rate, uint32_t perSecond) {
  uint32_t frames = 256;
  while (frames < 4096 && uint64_t{frames} * perSecond < rate) frames *= 2;
  return static_cast<Uint16>(frames);
}

namespace {
std::atomic<uint64_t> g_outputBytes{0};
}  // namespace

void CountAudioOutput(uint32_t bytes) { g_outputBytes.fetch_add(bytes, std::memory_order_relaxed); }
uint64_t AudioOutputBytes() { return g_outputBytes.load(std::memory_order_relaxed); }

void NoteNoSoundDevice() {
  static bool said = false;
  if (said) return;
  said = true;
  if (Sdl() == nullptr) {
    std::fprintf(stderr, "No sound device could be opened (%s could not be loaded): playing without sound.\n",
                 kSdlLibrary);
  } else {
    std::fputs("No sound device could be opened: playing without sound.\n", stderr);
  }
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
