#pragma once
// Sound tracks of an open video: each frame's audio chunks are decoded into a ring per track, a
// sound back end plays the rings, and the first open track paces the video. Everything runs on
// the caller's thread; the back end is fed by polling whenever a playback call runs the sound
// service.
#include <cstdint>

#include "playback/vant.h"

namespace platform {
struct WaveOutDevice;
struct WaveBlock;
}  // namespace platform
class AudioContext;
struct DirectSoundStream;
struct StreamBlock;

// One open track, owned by its VantVideo (slot t of soundTracks). Sizes of sound that grow
// without bound are 64-bit; the "x1024" fields count 1/1024 bytes.
struct SoundTrack {
  uint8_t* ringStart;
  uint8_t* ringEnd;        // ringStart + ringSize
  uint8_t* readPointer;    // next byte the back end takes
  uint8_t* writePointer;   // next byte the decoder writes
  uint64_t pending;        // bytes in the ring not yet handed to the device
  uint32_t bytesPerSecond;
  uint32_t ringSize;
  uint64_t frameBytes;     // sound per video frame, x1024
  uint64_t dueFraction;    // the current frame's due position beyond dueBase, x1024
  uint64_t dueBase;        // bytes
  uint64_t lateThreshold;  // dueFraction plus half a second, x1024
  uint64_t delivered;      // all bytes ever put into the ring (sound and inserted silence)
  uint32_t overflows;      // chunks cut because the ring was full
  uint32_t soundSkips;     // silence insertions after the device ran dry
  uint32_t frameChunkSize; // the header's audio size of the track, rounded down to 4
  uint32_t trackIndex;     // t
  SoundTrack* nextOpenTrack;  // the back end's list of open tracks
  AudioContext* audio;        // the context of the track's video
  // Back end.
  platform::WaveOutDevice* device;
  platform::WaveBlock* blocks;  // two device blocks
  uint8_t* blockData;           // their data, blockSize bytes each
  uint32_t blockSize;
  uint32_t sampleRate;
  uint32_t noData;     // the current frame had no sound for this track
  uint32_t sixteenBit;
  uint32_t stereo;
  uint32_t compressed; // chunks are coded (rate word bit 31); else raw bytes after the length
  uint32_t starved;    // set by the back end when both device blocks have played out
  uint32_t starveSeen; // a frame has handled the starved state
  uint64_t playedBase;  // bytes played through devices that have closed since the last reset
  uint64_t countedFrom; // what the device in use had played when the position stood at playedBase
  uint32_t openFlags;  // the video's kept open flags when the track opened
  uint32_t volume;     // left in the low, right in the high 16 bits, when volumeSet
                       // (the stream back end: the volume, 0 to 0x8000, with pan)
  uint32_t volumeSet;  // kept across stop and start
  uint32_t pan;        // the stream back end's balance, 0 to 0x10000
  // The stream back end's device and blocks, in place of device and blocks.
  DirectSoundStream* stream;
  StreamBlock* streamBlocks;
};

// The operations through which the library drives the installed sound back end.
struct SoundBackEnd {
  // True when the device for the track is open and primed; links the track into the back end.
  bool (*open)(uint32_t flags, SoundTrack* track);
  // Closes the device, frees the blocks, unlinks the track.
  void (*close)(SoundTrack* track);
  // Opens and primes the device again (sound on).
  bool (*start)(SoundTrack* track);
  // Closes the device, keeping the blocks and the position figures (sound off).
  void (*stop)(SoundTrack* track);
  // Drops what is queued and clears the position figures.
  void (*reset)(SoundTrack* track);
  // Feeds every open track of the context's pending ring bytes into free device blocks.
  void (*service)(AudioContext& audio);
  // Bytes of this track played so far.
  uint64_t (*position)(SoundTrack* track);
  // Volume (0 to 0xFFFF) and balance (0 left, 0x8000 middle, 0x10000 right).
  void (*volumePan)(uint32_t pan, uint32_t volume, SoundTrack* track);
};

// The operations of the wave-out back end.
const SoundBackEnd& WaveOutBackEnd();
// The operations of the stream back end (stream_back_end.cpp).
const SoundBackEnd& StreamBackEnd();

// 0x80 for 8-bit tracks, 0 for 16-bit ones.
inline uint8_t SilenceOf(const SoundTrack* track) { return track->sixteenBit ? 0 : 0x80; }
// Bytes of one sample frame.
inline uint32_t SampleFrameBytes(const SoundTrack* track) {
  return (track->sixteenBit ? 2u : 1u) * (track->stereo ? 2u : 1u);
}

// Copies count bytes from the ring at `from` to destination, wrapping at the ring's end, and
// returns where reading goes on.
uint8_t* RingCopy(uint64_t count, uint8_t* ringEnd, uint8_t* ringStart, uint8_t* from, uint8_t* destination);

// Puts up to `bytes` of silence (whole sample frames, as much as the ring has room for) at the
// write pointer; it counts as delivered and pending. Returns the bytes written.
uint64_t WriteRingSilence(SoundTrack* track, uint64_t bytes);

// Opens sound track t of the video (called by VantOpen). False leaves the slot empty.
bool OpenTrackSound(VantVideo* video, uint32_t t);
// Closes every track of the video (called when the video is released).
void CloseVideoSoundTracks(VantVideo* video);
// Starts the tracks over when playback reaches frame 0 again, provided every open track of the
// process belongs to this video.
void ResetSoundTracksAtStart(VantVideo* video);
