#pragma once
// SDL's audio subsystem for the sound outputs: each open device holds the subsystem, so it stays
// up while any device is open and goes down with the last one. SDL never takes the signals over,
// and the sound library under it does not chatter about devices it cannot find. SDL itself is
// loaded on first use (its header gives the types only): without it no device opens.
#include <SDL.h>

#include <cstdint>

namespace platform {

// Holds SDL's audio part up (false when it cannot start); each true call needs a StopAudioOutput.
bool StartAudioOutput();
void StopAudioOutput();

// Opens an output device for the spec, paused. SDL converts to the hardware's format itself, so
// `have` is the spec asked for but for the silence value. 0 when no device takes it.
SDL_AudioDeviceID OpenAudioOutput(const SDL_AudioSpec& want, SDL_AudioSpec& have);

// Closes the device (its callback has run for the last time when this returns).
void CloseAudioOutput(SDL_AudioDeviceID id);

// For an open device: starts or stops its callback, and keeps it from running between the lock
// and the unlock.
void PauseAudioOutput(SDL_AudioDeviceID id, bool paused);
void LockAudioOutput(SDL_AudioDeviceID id);
void UnlockAudioOutput(SDL_AudioDeviceID id);

// Sample frames of a device buffer of about 1/perSecond of a second: a power of two from 256 to
// 4096.
Uint16 AudioBufferFrames(uint32_t rate, uint32_t perSecond);

// Scales 8-bit unsigned or 16-bit signed samples in place by gain / unity, the left channel (and
// mono sound) by the left gain, the right one by the right gain.
void ScaleSamples(uint8_t* data, uint32_t length, uint32_t bits, uint32_t channels, uint32_t leftGain,
                  uint32_t rightGain, uint32_t unity);

// The audio callbacks count what they put out here, so that the process's place in the sound it
// has put out can be told at any time, also once the devices have closed.
void CountAudioOutput(uint32_t bytes);
// Bytes that every output of the process has put out since it started, silence included.
uint64_t AudioOutputBytes();

// Said once per run, the first time no sound device can be had for playing sound.
void NoteNoSoundDevice();

}  // namespace platform
