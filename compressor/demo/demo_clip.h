#pragma once
// A generated animation with a tone, stored as an AVI file (8-bit frames with their palette and
// PCM sound): the input of the demo and of the compressor's whole-program tests.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace democlip {

struct Clip {
  uint32_t width = 0, height = 0;             // pixels; rows are stored top first
  uint32_t periodMicroseconds = 66667;
  std::array<uint8_t, 768> palette{};         // red, green, blue
  std::vector<std::vector<uint8_t>> pictures;  // width x height colour indexes each
  uint32_t soundRate = 22050;
  uint16_t soundBits = 8;                      // 8 unsigned or 16 signed
  uint16_t soundChannels = 1;
  std::vector<uint8_t> sound;                  // PCM as stored in a WAV file
};

// Entries 0-127: a sky-to-sea gradient; 128-255: bright colours for the moving shapes.
inline std::array<uint8_t, 768> DemoPalette() {
  std::array<uint8_t, 768> p{};
  for (int i = 0; i < 128; ++i) {
    p[3 * i] = static_cast<uint8_t>(20 + i);
    p[3 * i + 1] = static_cast<uint8_t>(40 + i);
    p[3 * i + 2] = static_cast<uint8_t>(255 - i);
  }
  for (int i = 128; i < 256; ++i) {
    const double hue = (i - 128) / 128.0 * 6.283185307179586;
    p[3 * i] = static_cast<uint8_t>(128 + 127 * std::sin(hue));
    p[3 * i + 1] = static_cast<uint8_t>(128 + 127 * std::sin(hue + 2.094));
    p[3 * i + 2] = static_cast<uint8_t>(128 + 127 * std::sin(hue + 4.189));
  }
  return p;
}

// Balls circling over a still gradient, one of them changing colour, and a tone whose pitch
// rises a little every second.
inline Clip MakeDemoClip(uint32_t width, uint32_t height, uint32_t frames, uint32_t framesPerSecond,
                         uint32_t soundRate = 22050, uint16_t soundBits = 8, uint16_t soundChannels = 1) {
  Clip clip;
  clip.width = width;
  clip.height = height;
  clip.periodMicroseconds = 1000000 / framesPerSecond;
  clip.palette = DemoPalette();
  const double w = width, h = height;
  for (uint32_t f = 0; f < frames; ++f) {
    std::vector<uint8_t> picture(size_t{width} * height);
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        picture[size_t{y} * width + x] = static_cast<uint8_t>((x + 2 * y) * 127 / (width + 2 * height));
      }
    }
    for (int b = 0; b < 5; ++b) {
      const double angle = 6.283185307179586 * f / 60.0 * (1 + 0.3 * b) + b;
      const double cx = w / 2 + w * 0.3 * std::cos(angle), cy = h / 2 + h * 0.3 * std::sin(angle);
      const double r = std::max(2.0, h / 12 + b * h / 60);
      const uint8_t color = static_cast<uint8_t>(128 + (b == 0 ? (f * 3) % 128 : b * 25));
      for (int y = static_cast<int>(cy - r); y <= static_cast<int>(cy + r); ++y) {
        for (int x = static_cast<int>(cx - r); x <= static_cast<int>(cx + r); ++x) {
          if (x < 0 || y < 0 || x >= static_cast<int>(width) || y >= static_cast<int>(height)) continue;
          if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) picture[size_t(y) * width + x] = color;
        }
      }
    }
    clip.pictures.push_back(std::move(picture));
  }
  clip.soundRate = soundRate;
  clip.soundBits = soundBits;
  clip.soundChannels = soundChannels;
  const uint64_t samples = uint64_t{soundRate} * frames * clip.periodMicroseconds / 1000000;
  for (uint64_t s = 0; s < samples; ++s) {
    const double t = static_cast<double>(s) / soundRate;
    const double value = std::sin(6.283185307179586 * (440 + 110 * std::floor(t)) * t) * 0.6;
    for (int c = 0; c < soundChannels; ++c) {
      if (soundBits == 8) {
        clip.sound.push_back(static_cast<uint8_t>(128 + std::lround(value * 127)));
      } else {
        const int16_t v = static_cast<int16_t>(std::lround(value * 32767 * (c ? 0.5 : 1)));
        clip.sound.push_back(static_cast<uint8_t>(v & 0xFF));
        clip.sound.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
      }
    }
  }
  return clip;
}

// The clip as an AVI file: a video stream of uncompressed 8-bit frames (rows bottom first, each
// padded to 4 bytes) and a PCM sound stream, interleaved one frame's sound with each frame.
inline std::vector<uint8_t> AviBytes(const Clip& clip) {
  std::vector<uint8_t> out;
  auto u8 = [&](uint32_t v) { out.push_back(static_cast<uint8_t>(v)); };
  auto u16 = [&](uint32_t v) { u8(v); u8(v >> 8); };
  auto u32 = [&](uint32_t v) { u16(v); u16(v >> 16); };
  auto text = [&](const char* s) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(s[i]));
  };
  auto patch = [&](size_t at, size_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  const uint32_t frames = static_cast<uint32_t>(clip.pictures.size());
  const uint32_t pitch = (clip.width + 3) & ~3u;
  const uint32_t block = clip.soundBits / 8 * clip.soundChannels;
  const bool sound = !clip.sound.empty();

  text("RIFF"); u32(0); text("AVI ");
  text("LIST"); const size_t hdrl = out.size(); u32(0); text("hdrl");
  text("avih"); u32(56);
  u32(clip.periodMicroseconds); u32(0); u32(0); u32(0x10); u32(frames); u32(0);
  u32(sound ? 2 : 1); u32(0); u32(clip.width); u32(clip.height); u32(0); u32(0); u32(0); u32(0);

  text("LIST"); const size_t vstrl = out.size(); u32(0); text("strl");
  text("strh"); u32(56); text("vids"); text("DIB "); u32(0); u32(0); u32(0);
  u32(clip.periodMicroseconds); u32(1000000); u32(0); u32(frames); u32(pitch * clip.height);
  u32(0xFFFFFFFF); u32(0); u32(0); u32(0);
  text("strf"); u32(40 + 1024);
  u32(40); u32(clip.width); u32(clip.height); u16(1); u16(8); u32(0); u32(pitch * clip.height);
  u32(0); u32(0); u32(256); u32(0);
  for (int i = 0; i < 256; ++i) {
    u8(clip.palette[3 * i + 2]); u8(clip.palette[3 * i + 1]); u8(clip.palette[3 * i]); u8(0);
  }
  patch(vstrl, out.size() - vstrl - 4);

  if (sound) {
    text("LIST"); const size_t astrl = out.size(); u32(0); text("strl");
    text("strh"); u32(56); text("auds"); u32(0); u32(0); u32(0); u32(0);
    u32(1); u32(clip.soundRate); u32(0); u32(static_cast<uint32_t>(clip.sound.size() / block));
    u32(0); u32(0xFFFFFFFF); u32(block); u32(0); u32(0);
    text("strf"); u32(16);
    u16(1); u16(clip.soundChannels); u32(clip.soundRate); u32(clip.soundRate * block); u16(block);
    u16(clip.soundBits);
    patch(astrl, out.size() - astrl - 4);
  }
  patch(hdrl, out.size() - hdrl - 4);

  text("LIST"); const size_t movi = out.size(); u32(0); text("movi");
  size_t soundAt = 0;
  for (uint32_t f = 0; f < frames; ++f) {
    text("00db"); u32(pitch * clip.height);
    for (uint32_t row = clip.height; row-- > 0;) {
      const uint8_t* line = clip.pictures[f].data() + size_t{row} * clip.width;
      out.insert(out.end(), line, line + clip.width);
      for (uint32_t pad = clip.width; pad < pitch; ++pad) u8(0);
    }
    if (sound) {
      size_t end = f + 1 == frames ? clip.sound.size()
                                   : std::min(clip.sound.size(), (clip.sound.size() / block * (f + 1) / frames) * block);
      text("01wb"); u32(static_cast<uint32_t>(end - soundAt));
      out.insert(out.end(), clip.sound.begin() + static_cast<std::ptrdiff_t>(soundAt), clip.sound.begin() + static_cast<std::ptrdiff_t>(end));
      if ((end - soundAt) & 1) u8(0);
      soundAt = end;
    }
  }
  patch(movi, out.size() - movi - 4);
  patch(4, out.size() - 8);
  return out;
}

inline bool WriteAvi(const std::string& path, const Clip& clip) {
  const std::vector<uint8_t> bytes = AviBytes(clip);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace democlip
