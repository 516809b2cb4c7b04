#include "sdl_output.h"

namespace platform {

SDL_AudioDeviceID OpenAudioOutput(const SDL_AudioSpec& want, SDL_AudioSpec& have) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return id;
}

void CloseAudioOutput(SDL_AudioDeviceID id) {
  SDL_CloseAudioDevice(id);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform
