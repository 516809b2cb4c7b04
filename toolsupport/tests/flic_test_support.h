#pragma once
// Helpers of the flic tests: a scratch folder, a walker over the frames and chunks of a flic
// file, and an independent reader (Python's imaging library) run as a separate process.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/system/little_endian.h"
#include "testsupport/scratch_directory.h"
#include "testsupport/file_contents.h"

namespace flictest {

using testsupport::ReadFileBytes;
using testsupport::ScratchDirectory;

inline void WriteAll(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return platform::LoadLE16(b.data() + at); }
inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return platform::LoadLE32(b.data() + at); }

struct ChunkInfo {
  uint16_t type;
  size_t dataOffset, dataSize;
};
struct FrameInfo {
  size_t offset, size;
  std::vector<ChunkInfo> chunks;
};

// Every frame after the 128-byte header, to the end of the file.
inline std::vector<FrameInfo> WalkFrames(const std::vector<uint8_t>& file) {
  std::vector<FrameInfo> frames;
  size_t at = 128;
  while (at + 16 <= file.size()) {
    FrameInfo f{at, Le32(file, at), {}};
    if (Le16(file, at + 4) != 0xF1FA || f.size < 16 || at + f.size > file.size()) break;
    size_t c = at + 16;
    for (uint32_t i = 0; i < Le16(file, at + 6) && c + 6 <= at + f.size; ++i) {
      uint32_t size = Le32(file, c);
      f.chunks.push_back({static_cast<uint16_t>(Le16(file, c + 4)), c + 6, size - 6});
      c += size;
    }
    frames.push_back(f);
    at += f.size;
  }
  return frames;
}

// A python3 that has the imaging library, or empty.
inline std::string PythonWithImaging() {
  for (const char* candidate : {"/usr/bin/python3", "python3"}) {
    std::string probe = std::string(candidate) + " -c 'import PIL.FliImagePlugin' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) return candidate;
  }
  return {};
}

// Decodes every frame the header counts with the imaging library; the frames' pixel indices
// one after the other. False when the reader failed.
inline bool ReadWithImaging(const std::string& python, const std::string& flic, const std::string& scratch,
                            std::vector<uint8_t>& pixels) {
  std::string script = scratch + ".py", output = scratch + ".raw";
  std::ofstream(script) << "import sys\n"
                           "from PIL import Image\n"
                           "im = Image.open(sys.argv[1])\n"
                           "with open(sys.argv[2], 'wb') as out:\n"
                           "    for i in range(im.n_frames):\n"
                           "        im.seek(i)\n"
                           "        out.write(im.tobytes())\n";
  std::string command = python + " '" + script + "' '" + flic + "' '" + output + "'";
  if (std::system(command.c_str()) != 0) return false;
  pixels = ReadFileBytes(output);
  return true;
}

// Test pictures.
using Palette = std::array<uint8_t, 768>;
using Frame = std::vector<uint8_t>;

inline Palette Ramp(int shift) {
  Palette p;
  for (int i = 0; i < 768; ++i) p[i] = static_cast<uint8_t>(i / 3 + shift * (i % 3));
  return p;
}

inline Frame Noise(int w, int h, uint32_t seed) {
  Frame f(w * h);
  for (auto& b : f) b = static_cast<uint8_t>((seed = seed * 1664525 + 1013904223) >> 24);
  return f;
}

inline Frame Flat(int w, int h, uint8_t v) { return Frame(w * h, v); }

inline Frame Gradient(int w, int h) {
  Frame f(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) f[y * w + x] = static_cast<uint8_t>((x / 8 + y / 4) & 255);
  return f;
}

struct Clip {
  const char* name;
  int width, height;
  std::vector<Frame> frames;
};

// Clips whose frames between them need every kind of pixel chunk.
inline std::vector<Clip> Clips() {
  std::vector<Clip> clips;
  // 320 x 200: byte-oriented deltas, one with a skip beyond 255 pixels in a line.
  Frame noise = Noise(320, 200, 9), patched = noise;
  for (int y = 50; y < 60; ++y)
    for (int x = 100; x < 140; ++x) patched[y * 320 + x] = 7;
  patched[120 * 320] = 1, patched[120 * 320 + 300] = 2;
  clips.push_back({"classic", 320, 200, {noise, patched, patched, Flat(320, 200, 4), Gradient(320, 200)}});
  // Word-oriented deltas, runs and literals, a frame of noise.
  Frame g = Gradient(64, 48), moved = g;
  for (int x = 10; x < 30; ++x) moved[20 * 64 + x] = 200;
  moved[47 * 64 + 63] = 9;
  clips.push_back({"small", 64, 48, {Flat(64, 48, 3), g, moved, Noise(64, 48, 5), g}});
  // A line wider than a packet's skip can reach.
  Frame wide = Gradient(1200, 3), wideChanged = wide;
  wideChanged[1 * 1200 + 0] = 99, wideChanged[1 * 1200 + 1100] = 98, wideChanged[1 * 1200 + 1101] = 97;
  clips.push_back({"wide", 1200, 3, {wide, wideChanged}});
  // More unchanged lines than one skip word can count.
  Frame tall = Flat(2, 20000, 0), tallChanged = tall;
  tallChanged[2 * 19999] = 5;
  clips.push_back({"tall", 2, 20000, {tall, tallChanged}});
  return clips;
}

}  // namespace flictest
