// Writes a small .vnt file of generated frames, shows what VantOpen reads back from it and plays
// it through the playback calls; or plays a given .vnt file.
// Usage: vantdemo <output.vnt> [--no-ring]
//        vantdemo --play <video.vnt> [last-picture.ppm]
#include <cstdio>
#include <cstring>
#include <string>

#include "playback/demo/play_file.h"
#include "playback/vant.h"
#include "playback/video_file_format.h"
#include "playback/video_file_writer.h"
#include "playback/video_reading.h"

namespace {

constexpr uint32_t kFrames = 12;
constexpr uint32_t kWidth = 64;
constexpr uint32_t kHeight = 48;
constexpr uint32_t kSoundRate = 11025;
constexpr int32_t kFrameRate = -10000;  // ten frames a second

// Frame i's palette: a grey ramp whose first 16 entries turn into a colour cycle that moves on
// every fourth frame.
void FramePalette(uint32_t frame, vntfile::Palette& palette) {
  for (uint32_t e = 0; e < 256; ++e) palette[e][0] = palette[e][1] = palette[e][2] = uint8_t(e);
  if (frame < 4) return;
  const uint32_t shift = frame / 4;
  for (uint32_t e = 0; e < 16; ++e) {
    const uint32_t k = (e + shift) % 16;
    palette[e][0] = uint8_t(k * 16);
    palette[e][1] = uint8_t(255 - k * 16);
    palette[e][2] = 128;
  }
}

// Plain (uncompressed) sound: the length word, then one frame's worth of 8-bit samples.
std::vector<uint8_t> SoundChunk(uint32_t frame) {
  const uint32_t samples = kSoundRate / 10 + (frame == 0 ? kSoundRate : 0);  // a second ahead first
  std::vector<uint8_t> chunk(4 + samples);
  chunk.resize(chunk.size() + vntfile::PaddingTo(chunk.size(), 4), 0x80);
  vntfile::StoreLE32(chunk.data(), uint32_t(chunk.size()));
  for (uint32_t i = 0; i < samples; ++i) chunk[4 + i] = uint8_t(128 + ((i + frame * 7) % 64) - 32);
  return chunk;
}

std::vector<uint8_t> VideoBytes(uint32_t frame) {
  std::vector<uint8_t> bytes(200 + (frame * 397) % 1500);
  uint32_t x = 0x9E3779B9u * (frame + 1);
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = uint8_t(x);
  }
  return bytes;
}

bool WriteDemo(const std::string& path, bool ring) {
  const std::vector<uint8_t> treeData = {0x00};  // four absent trees: four zero presence bits
  vntfile::VideoFileWriter writer;
  if (!writer.Begin(path, kFrames, ring, treeData)) return false;
  vntfile::Palette previous{};
  uint32_t largestSound = 0;
  for (uint32_t i = 0; i < kFrames + (ring ? 1 : 0); ++i) {
    const uint32_t shown = i == kFrames ? 0 : i;  // the ring frame shows frame 0 again
    vntfile::FrameBlocks frame;
    vntfile::Palette palette;
    FramePalette(shown, palette);
    vntfile::WritePaletteChunk(frame.palette, palette, previous, false);
    frame.audio[0] = SoundChunk(i);
    largestSound = std::max<uint32_t>(largestSound, uint32_t(frame.audio[0].size() - 4));
    frame.video = VideoBytes(i);
    if (!writer.AddFrame(frame)) return false;
  }
  VideoFileHeader header{};
  header.width = kWidth;
  header.height = kHeight;
  header.frameRate = kFrameRate;
  header.audioSizes[0] = largestSound;
  header.soundRates[0] = kSoundRate | vntfile::kRatePresent;  // plain 8-bit mono samples
  header.treeSizes[0] = header.treeSizes[1] = header.treeSizes[2] = header.treeSizes[3] = 12;
  return writer.Finish(header);
}

void PrintHeader(const VantVideo* video) {
  const VideoFileHeader& h = video->header;
  std::printf("Header\n");
  std::printf("  magic           %.4s\n", h.magic);
  std::printf("  size            %u x %u pixels\n", h.width, h.height);
  std::printf("  frames          %u%s\n", h.frames, (h.flags & vntfile::kFlagRingFrame) ? " + ring frame" : "");
  std::printf("  frame rate      %d (a frame every %u x 10 us)\n", h.frameRate, video->framePeriod);
  std::printf("  flags           0x%X\n", h.flags);
  std::printf("  tree data       %u bytes; first frame at file offset %llu\n", h.treeDataSize,
              (unsigned long long)video->firstFrameOffset);
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    const uint32_t rate = h.soundRates[t];
    if (!(rate & vntfile::kRatePresent)) continue;
    std::printf("  sound track %u   %u Hz, %s, %s, %s; largest chunk %u bytes; %llu bytes a second\n", t,
                rate & vntfile::kRateSampleMask, (rate & vntfile::kRate16Bit) ? "16-bit" : "8-bit",
                (rate & vntfile::kRateStereo) ? "stereo" : "mono",
                (rate & vntfile::kRateCompressed) ? "compressed" : "plain", h.audioSizes[t],
                (unsigned long long)vntfile::TrackBytesPerSecond(rate));
  }
  std::printf("\nFrame data\n");
  std::printf("  total           %llu bytes in %u stored frames, average %u\n",
              (unsigned long long)video->totalFrameBytes, video->storedFrames, video->averageFrameSize);
  std::printf("  busiest second  %llu bytes, from frame %u\n", (unsigned long long)video->highestRate,
              video->highestRateFrame + 1);
  if (video->keptFlags & VANT_OPEN_PRELOAD) {
    std::printf("  reading         preloaded (%llu bytes in memory)\n",
                (unsigned long long)video->frameBufferSize);
  } else {
    std::printf("  reading         %llu-byte read-ahead ring, frame buffer %llu bytes\n",
                (unsigned long long)video->extraBufferSize, (unsigned long long)video->frameBufferSize);
  }
  std::printf("  memory          %llu bytes in use\n", (unsigned long long)video->memoryInUse);
}

// Entries that differ between two palettes, with the first few shown.
std::string PaletteChange(const uint8_t (*before)[3], const uint8_t (*after)[3]) {
  uint32_t changed = 0;
  std::string shown;
  for (uint32_t e = 0; e < 256; ++e) {
    if (std::memcmp(before[e], after[e], 3) == 0) continue;
    if (++changed <= 2) {
      char text[48];
      std::snprintf(text, sizeof(text), " %u=(%u,%u,%u)", e, after[e][0], after[e][1], after[e][2]);
      shown += text;
    }
  }
  if (changed == 0) return "same colours";
  return std::to_string(changed) + " entries changed:" + shown + (changed > 2 ? " ..." : "");
}

void PrintFrames(VantVideo* video) {
  std::printf("\nFrames (offsets from the frame's start)\n");
  std::printf("  frame   file offset   size  palette  sound 0       video         new palette\n");
  uint8_t before[256][3] = {};
  uint64_t offset = video->firstFrameOffset;
  for (uint32_t step = 0; step < video->storedFrames; ++step) {
    const bool ringFrame = video->currentFrame == video->header.frames;
    char label[16];
    std::snprintf(label, sizeof(label), ringFrame ? "ring" : "%u", video->currentFrame + 1);
    const uint32_t paletteBytes = video->frameTypes[video->currentFrame] & vntfile::kTypePalette
                                      ? video->frameStart[0] * 4u
                                      : 0;
    char sound[24] = "-";
    if (video->audioChunks[0] != nullptr) {
      std::snprintf(sound, sizeof(sound), "%u+%u", uint32_t(video->audioChunks[0] - video->frameStart),
                    vntfile::LoadLE32(video->audioChunks[0]));
    }
    char pictures[24];
    std::snprintf(pictures, sizeof(pictures), "%u+%u", video->chunksBeforeVideo, VideoChunkSize(video));
    const std::string change = video->paletteChanged ? PaletteChange(before, video->palette) : "-";
    std::printf("  %5s  %12llu  %5u  %7u  %-12s  %-12s  %s\n", label, (unsigned long long)offset,
                video->currentFrameSize, paletteBytes, sound, pictures, change.c_str());
    offset += video->currentFrameSize;
    std::memcpy(before, video->palette, sizeof(before));
    video->lastPaletteFrame = int32_t(video->currentFrame);  // taken, as a player would
    StepToNextFrame(video);
  }
  std::printf("  after the last frame, playback goes on with frame %u\n", video->currentFrame + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (std::strcmp(argv[1], "--play") == 0 && argc < 3)) {
    std::fprintf(stderr, "Usage: vantdemo <output.vnt> [--no-ring]\n       vantdemo --play <video.vnt> [last-picture.ppm]\n");
    return 1;
  }
  if (std::strcmp(argv[1], "--play") == 0) {
    if (PlayFile(argv[2], argc > 3 ? argv[3] : "")) return 0;
    std::fprintf(stderr, "VantOpen could not read %s.\n", argv[2]);
    return 1;
  }
  const std::string path = argv[1];
  const bool ring = !(argc > 2 && std::strcmp(argv[2], "--no-ring") == 0);
  if (!WriteDemo(path, ring)) {
    std::fprintf(stderr, "Error writing %s.\n", path.c_str());
    return 1;
  }
  std::printf("Wrote %s: %u generated frames%s.\n\n", path.c_str(), kFrames, ring ? " and a ring frame" : "");

  VantVideo* video = VantOpen(path.c_str(), 0, 0);
  if (video == nullptr) {
    std::fprintf(stderr, "VantOpen could not read %s.\n", path.c_str());
    return 1;
  }
  PrintHeader(video);
  PrintFrames(video);
  VantClose(video);
  std::printf("\n");
  return PlayFile(path, "") ? 0 : 1;
}
