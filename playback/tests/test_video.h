#pragma once
// Builds .vnt files of generated frames for the tests, and remembers what a reader must find.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "playback/vant.h"
#include "testsupport/scratch_directory.h"

using PaletteBytes = std::array<uint8_t, 768>;

struct VideoSpec {
  uint32_t frames = 10;
  bool ringFrame = false;
  uint32_t treeBytes = 100;       // bytes of tree data (four absent trees) before the padding
  uint32_t minVideoBytes = 0;     // video data per frame, chosen at random in this range
  uint32_t maxVideoBytes = 3000;
  int paletteChangePercent = 30;  // chance that a frame brings a changed palette
  uint32_t audioTracks = 0;       // bit t: frames hold audio chunks of track t
  uint32_t maxAudioSamples = 600;  // sound bytes per audio chunk, chosen at random up to this
  int32_t frameRate = -6667;
  uint32_t flags = 0;             // height-scaling bits of the header
  uint32_t seed = 1;
};

struct WrittenVideo {
  std::string path;
  VideoFileHeader header{};
  std::vector<uint8_t> bytes;      // the whole file
  std::vector<uint32_t> sizes;     // frame-size table
  std::vector<uint8_t> types;      // frame-type table
  std::vector<uint64_t> offsets;   // file offset of each stored frame
  std::vector<PaletteBytes> palettes;  // the palette a reader holds after each frame, read in order
};

// Where the located frame's pieces are, as offsets from the frame's start (-1: absent).
struct FrameLocation {
  uint32_t frame = 0;
  uint32_t size = 0;
  int64_t audio[7] = {};
  uint32_t videoStart = 0;
  uint32_t paletteChanged = 0;
  PaletteBytes palette{};
  bool operator==(const FrameLocation&) const = default;
};
FrameLocation LocationOf(const VantVideo* video);

// Checks the located frame against the file: its bytes,
// its audio chunks where the type byte puts them and its video data after them.
void ExpectFrameMatchesFile(const VantVideo* video, const WrittenVideo& written);

// Writes the video described by `spec` to `path` with the container writer.
WrittenVideo WriteTestVideo(const std::string& path, const VideoSpec& spec);

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

using testsupport::ScratchDirectory;

// Counts the process's open file descriptors.
int OpenDescriptorCount();
