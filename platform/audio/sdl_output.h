#pragma once
// SDL's audio subsystem for the sound outputs: each open device holds the subsystem, so it stays
// up while any device is open and goes down with the last one. SDL never takes the signals over,
// and the sound library under it does not chatter about devices it cannot find.
#include <SDL.h>

namespace platform {

// Opens an output device for the spec, paused. SDL converts to the hardware's format itself, so
// `have` is the spec asked for but for the silence value. 0 when no device takes it.
SDL_AudioDeviceID OpenAudioOutput(const SDL_AudioSpec& want, SDL_AudioSpec& have);

// Closes the device (its callback has run for the last time when this returns).
void CloseAudioOutput(SDL_AudioDeviceID id);

}  // namespace platform
