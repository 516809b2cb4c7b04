#include "playback/tests/test_video.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

#include "playback/video_file_format.h"
#include "playback/video_file_writer.h"
#include "testsupport/file_contents.h"

namespace {

// A palette that differs from `base` in a few runs of entries, some copied from elsewhere.
void ChangePalette(vntfile::Palette& palette, std::mt19937& random) {
  const int runs = 1 + random() % 4;
  for (int r = 0; r < runs; ++r) {
    const uint32_t start = random() % 256;
    const uint32_t length = 1 + random() % 40;
    const bool copy = random() % 2;
    const uint32_t from = random() % 256;
    for (uint32_t i = start; i < 256 && i < start + length; ++i) {
      for (int c = 0; c < 3; ++c) {
        palette[i][c] = copy ? palette[(from + i) % 256][c] : static_cast<uint8_t>(random());
      }
    }
  }
}

std::vector<uint8_t> AudioChunk(std::mt19937& random, uint32_t maxSamples) {
  const uint32_t samples = 8 + random() % maxSamples;
  std::vector<uint8_t> chunk(8 + samples);
  chunk.resize(chunk.size() + vntfile::PaddingTo(chunk.size(), 4), 0);
  vntfile::StoreLE32(chunk.data(), static_cast<uint32_t>(chunk.size()));
  vntfile::StoreLE32(chunk.data() + 4, samples);
  for (uint32_t i = 0; i < samples; ++i) chunk[8 + i] = static_cast<uint8_t>(random());
  return chunk;
}

}  // namespace

WrittenVideo WriteTestVideo(const std::string& path, const VideoSpec& spec) {
  std::mt19937 random(spec.seed);
  // Zero bytes describe four absent trees (one 0 presence bit each); the rest is ignored.
  std::vector<uint8_t> treeData(spec.treeBytes, 0);

  vntfile::VideoFileWriter writer;
  if (!writer.Begin(path, spec.frames, spec.ringFrame, treeData)) {
    throw std::runtime_error("cannot begin " + path);
  }
  WrittenVideo written;
  written.path = path;
  vntfile::Palette source{};    // the encoder's palette of the current frame
  vntfile::Palette previous{};  // the palette last written
  const uint32_t stored = spec.frames + (spec.ringFrame ? 1 : 0);
  for (uint32_t i = 0; i < stored; ++i) {
    vntfile::FrameBlocks frame;
    if (i == 0 || int(random() % 100) < spec.paletteChangePercent) {
      if (i == 0) {
        // Some entries stay black, so frame 0's chunk keeps them from the cleared palette.
        for (uint32_t e = 0; e < 256; ++e)
          for (int c = 0; c < 3; ++c) source[e][c] = e % 5 ? static_cast<uint8_t>(random()) : 0;
      } else {
        ChangePalette(source, random);
      }
      vntfile::WritePaletteChunk(frame.palette, source, previous, false);
    }
    for (uint32_t t = 0; t < 7; ++t) {
      if ((spec.audioTracks >> t) & 1) frame.audio[t] = AudioChunk(random, spec.maxAudioSamples);
    }
    const uint32_t span = spec.maxVideoBytes - spec.minVideoBytes;
    frame.video.resize(spec.minVideoBytes + (span ? random() % (span + 1) : 0));
    for (auto& b : frame.video) b = static_cast<uint8_t>(random());
    if (!writer.AddFrame(frame)) throw std::runtime_error("cannot add a frame");
    PaletteBytes widened;
    for (uint32_t e = 0; e < 256; ++e)
      for (int c = 0; c < 3; ++c) widened[e * 3 + c] = vntfile::Widen6To8(previous[e][c] >> 2);
    written.palettes.push_back(widened);
  }
  VideoFileHeader header{};
  header.width = 64;
  header.height = 48;
  header.frameRate = spec.frameRate;
  header.flags = spec.flags;
  for (uint32_t t = 0; t < 7; ++t) {
    if ((spec.audioTracks >> t) & 1) {
      header.audioSizes[t] = 1200;
      header.soundRates[t] = 22050 | vntfile::kRatePresent | vntfile::kRateCompressed;
    }
  }
  for (uint32_t k = 0; k < 4; ++k) header.treeSizes[k] = 12;
  if (!writer.Finish(header)) throw std::runtime_error("cannot finish " + path);

  written.bytes = testsupport::ReadFileBytes(path);
  written.header = vntfile::ParseHeader(written.bytes.data());
  written.sizes = writer.frameSizes();
  written.types = writer.frameTypes();
  uint64_t offset = vntfile::FirstFrameOffset(written.header);
  for (uint32_t size : written.sizes) {
    written.offsets.push_back(offset);
    offset += size;
  }
  return written;
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

int OpenDescriptorCount() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(dir);
  return count - 1;  // the directory's own descriptor
}

FrameLocation LocationOf(const VantVideo* video) {
  FrameLocation where;
  where.frame = video->currentFrame;
  where.size = video->currentFrameSize;
  for (int t = 0; t < 7; ++t) {
    where.audio[t] = video->audioChunks[t] ? video->audioChunks[t] - video->frameStart : -1;
  }
  where.videoStart = static_cast<uint32_t>(video->videoChunk - video->frameStart);
  where.paletteChanged = video->paletteChanged;
  std::memcpy(where.palette.data(), video->palette, 768);
  return where;
}

void ExpectFrameMatchesFile(const VantVideo* video, const WrittenVideo& written) {
  const uint32_t i = video->currentFrame;
  ASSERT_LT(i, written.sizes.size());
  ASSERT_EQ(video->currentFrameSize, written.sizes[i]);
  ASSERT_EQ(video->frameStart, video->currentFrameData);
  const uint8_t* expected = written.bytes.data() + written.offsets[i];
  ASSERT_EQ(0, std::memcmp(video->currentFrameData, expected, written.sizes[i])) << "frame " << i;
  uint64_t at = (written.types[i] & vntfile::kTypePalette) ? expected[0] * 4u : 0;
  for (uint32_t t = 0; t < 7; ++t) {
    if (written.types[i] & vntfile::TypeAudio(t)) {
      ASSERT_EQ(video->audioChunks[t], video->frameStart + at) << "frame " << i << " track " << t;
      at += vntfile::LoadLE32(expected + at);
    } else {
      ASSERT_EQ(video->audioChunks[t], nullptr);
    }
  }
  ASSERT_EQ(video->videoChunk, video->frameStart + at);
  ASSERT_EQ(video->chunksBeforeVideo, at);
}
