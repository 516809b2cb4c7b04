#pragma once
// What the sound of a set of videos shares: the installed back end, the tracks open in all of
// them, the wave-out back end's list of open tracks, and the clock that bounds its waits for the
// device. VantOpen and the sound calls of the C interface use one default context; a
// video keeps the context it was opened with, and so does each of its tracks.
#include <cstdint>

#include "platform/system/clock.h"
#include "playback/sound_track.h"

class AudioContext {
 public:
  // The clock must outlive the context.
  explicit AudioContext(platform::Clock& videoClock = platform::SystemClock()) : clock(videoClock) {}
  AudioContext(const AudioContext&) = delete;
  AudioContext& operator=(const AudioContext&) = delete;

  // Feeds the back end; the playback calls run it while any track is open so that sound keeps
  // flowing during long reads and waits. Nothing to do while no track is open.
  void RunService() {
    if (openTrackCount != 0 && backEnd.service) backEnd.service(*this);
  }

  SoundBackEnd backEnd{};               // all null until one is installed
  uint32_t openTrackCount = 0;          // tracks open in all videos of the context
  SoundTrack* waveOutTracks = nullptr;  // the wave-out back end's open tracks, newest first
  platform::Clock& clock;
};

// The context of VantOpen and of the C interface's sound calls.
AudioContext& DefaultAudioContext();

inline AudioContext& AudioOf(const VantVideo* video) { return *static_cast<AudioContext*>(video->audio); }

// Feeds the video's back end (see AudioContext::RunService).
inline void RunSoundService(const VantVideo* video) { AudioOf(video).RunService(); }
