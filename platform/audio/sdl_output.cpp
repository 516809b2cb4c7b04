#include "platform/audio/sdl_output.h"

#include <dlfcn.h>

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

// Starts SDL's audio part. The programs stop on SIGINT, SIGTERM and SIGHUP themselves, so SDL
// must not take those signals over.
bool StartAudio() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SilenceSoundLibrary();
  return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

}  // namespace

SDL_AudioDeviceID OpenAudioOutput(const SDL_AudioSpec& want, SDL_AudioSpec& have) {
  if (!StartAudio()) return 0;
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return id;
}

void CloseAudioOutput(SDL_AudioDeviceID id) {
  SDL_CloseAudioDevice(id);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform
