#include "toolsupport/sound/sound_files.h"

#include <algorithm>
#include <cstring>

#include "platform/system/little_endian.h"

namespace toolsupport {
namespace {

constexpr int kMaxListDepth = 4;
constexpr uint32_t kWaveFormatExtensible = 0xFFFE;

// The data size that writers which cannot seek back leave: the data runs to the end of the file.
constexpr uint64_t kUpToTheEnd = 0xFFFFFFFF;

uint64_t WholeFrames(uint64_t bytes, const PcmFormat& format) {
  return bytes / format.FrameBytes() * format.FrameBytes();
}

// Stream headers and sound chunks of an AVI file, gathered in one walk.
struct AviWalk {
  const RiffFile& file;
  FileSound& sound;
  int32_t wanted;           // index among the sound streams
  int32_t streams = 0;      // "strl" lists seen
  int32_t soundStreams = 0;
  int32_t streamNumber = -1;  // file-wide number of the wanted stream
  bool currentIsWanted = false;
  bool formatRead = false;
  bool formatBad = false;
  uint32_t microsecondsPerFrame = 0;
  uint32_t videoScale = 0, videoRate = 0;
  bool videoSeen = false;

  bool IsWantedChunk(const RiffChunk& chunk) const {
    return streamNumber >= 0 && chunk.id[2] == 'w' && chunk.id[3] == 'b' && StreamNumberOf(chunk) == streamNumber;
  }

  void StreamHeader(const RiffChunk& chunk) {
    uint8_t h[28];
    currentIsWanted = false;
    if (chunk.size < sizeof h || !file.ReadAt(chunk.data, h, sizeof h)) return;
    if (std::memcmp(h, "auds", 4) == 0) {
      if (soundStreams++ == wanted) {
        streamNumber = streams;
        currentIsWanted = true;
      }
    } else if (std::memcmp(h, "vids", 4) == 0 && !videoSeen) {
      videoSeen = true;
      videoScale = platform::LoadLE32(h + 20);
      videoRate = platform::LoadLE32(h + 24);
    }
  }

  void Walk(RiffChunkWalker walker, int depth) {
    RiffChunk chunk;
    while (walker.Next(chunk)) {
      if (chunk.Is("LIST")) {
        char type[4];
        if (depth >= kMaxListDepth || !ReadListType(file, chunk, type)) continue;
        const bool streamList = std::memcmp(type, "strl", 4) == 0;
        if (streamList) currentIsWanted = false;
        Walk(RiffChunkWalker::Inside(file, chunk), depth + 1);
        if (streamList) ++streams;
      } else if (chunk.Is("avih")) {
        uint8_t h[4];
        if (file.ReadAt(chunk.data, h, 4)) microsecondsPerFrame = platform::LoadLE32(h);
      } else if (chunk.Is("strh")) {
        StreamHeader(chunk);
      } else if (chunk.Is("strf") && currentIsWanted && !formatRead) {
        formatRead = true;
        formatBad = !ReadPcmFormat(file, chunk, sound.format);
      } else if (IsWantedChunk(chunk)) {
        if (chunk.size < chunk.declared) sound.cut = true;
        sound.announced += chunk.declared;
        if (chunk.size == 0) continue;
        sound.segments.push_back({chunk.data, chunk.size});
        sound.bytes += chunk.size;
      }
    }
  }
};

}  // namespace

bool ReadPcmFormat(const RiffFile& file, const RiffChunk& chunk, PcmFormat& format) {
  uint8_t f[40];
  if (chunk.size < 16 || !file.ReadAt(chunk.data, f, 16)) return false;
  const uint32_t tag = platform::LoadLE16(f);
  if (tag == kWaveFormatExtensible) {
    // The extensible form names its sample format by a GUID after the plain fields: PCM's is
    // the PCM tag followed by the fixed part that every such format GUID shares.
    static const uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                              0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    if (chunk.size < sizeof f || !file.ReadAt(chunk.data, f, sizeof f)) return false;
    if (platform::LoadLE16(f + 16) < 22 || std::memcmp(f + 24, kPcmSubFormat, 16) != 0) return false;
  } else if (tag != 1) {
    return false;
  }
  format.channels = platform::LoadLE16(f + 2);
  format.rate = platform::LoadLE32(f + 4);
  format.bits = platform::LoadLE16(f + 14);
  return format.Valid();
}

bool ReadWavSound(const RiffFile& file, FileSound& sound) {
  if (!file.IsForm("WAVE")) return false;
  bool haveFormat = false, haveData = false;
  FileSegment data;
  RiffChunkWalker walker(file, file.bodyStart(), file.bodyEnd());
  RiffChunk chunk;
  while (!(haveFormat && haveData) && walker.Next(chunk)) {
    if (chunk.Is("fmt ") && !haveFormat) {
      if (!ReadPcmFormat(file, chunk, sound.format)) return false;
      haveFormat = true;
    } else if (chunk.Is("data") && !haveData) {
      data = {chunk.data, chunk.size};  // already cut to the end of the file
      sound.cut = chunk.size < chunk.declared && chunk.declared != kUpToTheEnd;
      sound.announced = chunk.declared;
      haveData = true;
    }
  }
  if (!haveFormat || !haveData) return false;
  data.size = WholeFrames(data.size, sound.format);
  sound.segments.assign(1, data);
  sound.bytes = data.size;
  return true;
}

AviSoundResult ReadAviSound(const RiffFile& file, int32_t stream, FileSound& sound) {
  if (!file.IsForm("AVI ") || stream < 0) return AviSoundResult::kNoSound;
  sound = FileSound{};
  AviWalk walk{file, sound, stream};
  walk.Walk(RiffChunkWalker(file, file.bodyStart(), file.bodyEnd()), 0);
  if (walk.streamNumber < 0) return AviSoundResult::kNoSound;
  if (!walk.formatRead || walk.formatBad) return AviSoundResult::kBadFormat;
  // Sound chunks need not hold whole sample frames; the stream as a whole is cut to them.
  sound.bytes = WholeFrames(sound.bytes, sound.format);
  if (walk.videoScale && walk.videoRate) {
    sound.framePeriod = static_cast<uint32_t>(
        std::min<uint64_t>(uint64_t{100000} * walk.videoScale / walk.videoRate, UINT32_MAX));
  } else {
    sound.framePeriod = walk.microsecondsPerFrame / 10;
  }
  return AviSoundResult::kFound;
}

}  // namespace toolsupport
