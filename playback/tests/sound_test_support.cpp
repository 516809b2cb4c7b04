#include "playback/tests/sound_test_support.h"

#include <algorithm>
#include <stdexcept>

#include "playback/video_file_format.h"
#include "playback/video_file_writer.h"

namespace {
FakeSoundDevice* g_device = nullptr;

bool FakeOpen(uint32_t flags, SoundTrack* track) {
  (void)flags;
  g_device->opens += 1;
  if (g_device->refuseOpen) return false;
  g_device->tracks.push_back(track);
  return true;
}
void FakeClose(SoundTrack* track) {
  g_device->closes += 1;
  std::erase(g_device->tracks, track);
}
bool FakeStart(SoundTrack*) {
  g_device->starts += 1;
  return !g_device->refuseStart;
}
void FakeStop(SoundTrack*) { g_device->stops += 1; }
void FakeReset(SoundTrack*) { g_device->resets += 1; }
void FakeService() {
  g_device->services += 1;
  if (!g_device->takeAll) return;
  for (SoundTrack* track : g_device->tracks) {
    if (!g_device->keepTaken) {
      track->readPointer = track->writePointer;
      track->pending = 0;
      continue;
    }
    std::vector<uint8_t> bytes(track->pending);
    track->readPointer = RingCopy(track->pending, track->ringEnd, track->ringStart, track->readPointer, bytes.data());
    track->pending = 0;
    g_device->taken.insert(g_device->taken.end(), bytes.begin(), bytes.end());
  }
}
uint64_t FakePosition(SoundTrack*) { return g_device->position; }
void FakeVolumePan(uint32_t pan, uint32_t volume, SoundTrack*) {
  g_device->lastPan = pan;
  g_device->lastVolume = volume;
}
}  // namespace

FakeSoundDevice::FakeSoundDevice() : saved_(g_soundBackEnd) {
  g_device = this;
  g_soundBackEnd = {FakeOpen, FakeClose, FakeStart, FakeStop, FakeReset, FakeService, FakePosition, FakeVolumePan};
}

FakeSoundDevice::~FakeSoundDevice() {
  g_soundBackEnd = saved_;
  g_device = nullptr;
}

std::vector<uint8_t> RawChunk(const std::vector<uint8_t>& sound) {
  std::vector<uint8_t> chunk(4 + sound.size());
  chunk.resize(chunk.size() + vntfile::PaddingTo(chunk.size(), 4), 0);
  vntfile::StoreLE32(chunk.data(), static_cast<uint32_t>(chunk.size()));
  std::copy(sound.begin(), sound.end(), chunk.begin() + 4);
  return chunk;
}

void WriteSoundVideo(const std::string& path, uint32_t frames, int32_t frameRate,
                     const std::vector<TrackSound>& tracks) {
  vntfile::VideoFileWriter writer;
  // Zero bytes describe four absent trees.
  if (!writer.Begin(path, frames, false, std::vector<uint8_t>(16, 0))) throw std::runtime_error("begin " + path);
  VideoFileHeader header{};
  for (uint32_t i = 0; i < frames; ++i) {
    vntfile::FrameBlocks blocks;
    for (size_t t = 0; t < tracks.size(); ++t) {
      if (i < tracks[t].frames.size() && !tracks[t].frames[i].empty()) {
        blocks.audio[t] = RawChunk(tracks[t].frames[i]);
        header.audioSizes[t] = std::max<uint32_t>(header.audioSizes[t], static_cast<uint32_t>(tracks[t].frames[i].size()));
      }
    }
    if (!writer.AddFrame(blocks)) throw std::runtime_error("frame " + path);
  }
  header.width = 16;
  header.height = 16;
  header.frameRate = frameRate;
  for (size_t t = 0; t < tracks.size(); ++t) {
    header.soundRates[t] = tracks[t].rateWord;
    if (tracks[t].audioSize) header.audioSizes[t] = tracks[t].audioSize;
  }
  for (uint32_t k = 0; k < 4; ++k) header.treeSizes[k] = 12;
  if (!writer.Finish(header)) throw std::runtime_error("finish " + path);
}
