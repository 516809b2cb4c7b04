#include "playback/audio_context.h"

AudioContext& DefaultAudioContext() {
  // Never destroyed: tracks of videos still open at exit keep pointing at it.
  static AudioContext* const context = new AudioContext;
  return *context;
}
