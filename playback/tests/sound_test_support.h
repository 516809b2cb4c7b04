#pragma once
// Videos with raw sound tracks, and a sound back end whose device the test drives by hand.
#include <cstdint>
#include <string>
#include <vector>

#include "playback/sound_track.h"
#include "playback/vant.h"

// Raw 8-bit or 16-bit sound of one track: its rate word and, per frame, the bytes of its
// chunk (an empty vector: no chunk in that frame).
struct TrackSound {
  uint32_t rateWord = 0;
  uint32_t audioSize = 0;  // 0: the largest chunk
  std::vector<std::vector<uint8_t>> frames;
};

// A raw chunk: length word, the bytes, zero padding to a multiple of 4.
std::vector<uint8_t> RawChunk(const std::vector<uint8_t>& sound);

// Writes a video of `frames` frames (no pictures) with the given tracks (index = track number).
void WriteSoundVideo(const std::string& path, uint32_t frames, int32_t frameRate,
                     const std::vector<TrackSound>& tracks);

// A back end without a device: it records what the library asks of it, and the test says how
// far the "device" has played. While installed it replaces the process's back end.
class FakeSoundDevice {
 public:
  FakeSoundDevice();
  ~FakeSoundDevice();
  FakeSoundDevice(const FakeSoundDevice&) = delete;
  FakeSoundDevice& operator=(const FakeSoundDevice&) = delete;

  bool refuseOpen = false;
  bool refuseStart = false;
  bool takeAll = false;   // the service hands every pending byte to the device
  bool keepTaken = true;  // and `taken` records them
  uint64_t position = 0;  // what the position operation reports
  int opens = 0, closes = 0, starts = 0, stops = 0, resets = 0, services = 0;
  uint32_t lastPan = 0, lastVolume = 0;
  std::vector<uint8_t> taken;  // bytes the service took from the rings, in order
  std::vector<SoundTrack*> tracks;

 private:
  SoundBackEnd saved_;
};
