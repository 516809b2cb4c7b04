#include "playback/video_file_format.h"

#include <algorithm>
#include <cstring>

namespace vntfile {

void SerializeHeader(const VideoFileHeader& header, uint8_t out[kHeaderSize]) {
  uint8_t* p = out;
  auto put = [&p](uint32_t value) {
    StoreLE32(p, value);
    p += 4;
  };
  std::memcpy(p, header.magic, 4);
  p += 4;
  put(header.width);
  put(header.height);
  put(header.frames);
  put(static_cast<uint32_t>(header.frameRate));
  put(header.flags);
  for (uint32_t size : header.audioSizes) put(size);
  put(header.treeDataSize);
  for (uint32_t size : header.treeSizes) put(size);
  for (uint32_t rate : header.soundRates) put(rate);
  put(header.reserved);
}

VideoFileHeader ParseHeader(const uint8_t in[kHeaderSize]) {
  VideoFileHeader header{};
  const uint8_t* p = in;
  auto take = [&p]() {
    uint32_t value = LoadLE32(p);
    p += 4;
    return value;
  };
  std::memcpy(header.magic, p, 4);
  p += 4;
  header.width = take();
  header.height = take();
  header.frames = take();
  header.frameRate = static_cast<int32_t>(take());
  header.flags = take();
  for (uint32_t& size : header.audioSizes) size = take();
  header.treeDataSize = take();
  for (uint32_t& size : header.treeSizes) size = take();
  for (uint32_t& rate : header.soundRates) rate = take();
  header.reserved = take();
  return header;
}

bool HasMagic(const VideoFileHeader& header) {
  return std::memcmp(header.magic, kMagic, 4) == 0;
}

uint64_t StoredFrameCount(const VideoFileHeader& header) {
  return uint64_t(header.frames) + ((header.flags & kFlagRingFrame) ? 1 : 0);
}

uint64_t FirstFrameOffset(const VideoFileHeader& header) {
  return kHeaderSize + 5 * StoredFrameCount(header) + header.treeDataSize;
}

uint64_t FrameOffset(uint64_t firstFrameOffset, std::span<const uint32_t> sizes, uint64_t index) {
  uint64_t offset = firstFrameOffset;
  for (uint64_t i = 0; i < index && i < sizes.size(); ++i) offset += sizes[i];
  return offset;
}

uint64_t PaddingTo(uint64_t end, uint64_t alignment) {
  uint64_t rest = end % alignment;
  return rest == 0 ? 0 : alignment - rest;
}

namespace {

bool SameEntry(const uint8_t a[3], const uint8_t b[3]) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// Longest run of `previous` entries equal to next[i], next[i + 1], ...; the first of equal
// lengths wins. Returns its length (0 for none) and sets `from`.
uint32_t LongestCopyRun(const Palette& next, const Palette& previous, uint32_t i, uint32_t& from) {
  uint32_t best = 0;
  uint32_t k = 0;
  while (k < 256) {
    while (k < 256 && !SameEntry(previous[k], next[i])) ++k;
    if (k == 256) break;
    uint32_t run = 0;
    while (k + run < 256 && i + run < 256 && SameEntry(previous[k + run], next[i + run])) ++run;
    if (run > best) {
      best = run;
      from = k;
    }
    k += run + 1;
  }
  return best;
}

}  // namespace

bool WritePaletteChunk(std::vector<uint8_t>& out, const Palette& next, Palette& previous,
                       bool fullPalette) {
  const size_t start = out.size();
  out.push_back(0);  // length, filled in at the end
  uint32_t i = 0;
  while (i < 256) {
    uint32_t kept = 0;
    if (!fullPalette) {
      while (i + kept < 256 && SameEntry(next[i + kept], previous[i + kept])) ++kept;
      if (kept == 256) {
        out.resize(start);
        return false;
      }
    }
    for (uint32_t rest = kept; rest > 0;) {
      uint32_t part = std::min(rest, 128u);
      out.push_back(static_cast<uint8_t>(0x80 + part - 1));
      rest -= part;
    }
    i += kept;
    if (i == 256) break;

    uint32_t from = 0;
    uint32_t copied = fullPalette ? 0 : LongestCopyRun(next, previous, i, from);
    if (copied > 0) {
      for (uint32_t rest = copied; rest > 0;) {
        uint32_t part = std::min(rest, 64u);
        out.push_back(static_cast<uint8_t>(0x40 + part - 1));
        out.push_back(static_cast<uint8_t>(from));
        from += part;
        rest -= part;
      }
      i += copied;
    } else {
      for (int c = 0; c < 3; ++c) out.push_back(static_cast<uint8_t>(next[i][c] >> 2));
      ++i;
    }
  }
  out.resize(out.size() + PaddingTo(out.size() - start, 4), 0);
  out[start] = static_cast<uint8_t>((out.size() - start) / 4);
  std::memcpy(previous, next, sizeof(Palette));
  return true;
}

bool DecodePaletteChunk(const uint8_t* chunk, size_t length, Palette& palette) {
  Palette old;
  std::memcpy(old, palette, sizeof(Palette));
  size_t pos = 1;  // after the length byte
  uint32_t entry = 0;
  while (entry < 256) {
    if (pos >= length) return false;
    const uint8_t b = chunk[pos];
    if (b & 0x80) {  // keep entries as they are
      entry = std::min<uint32_t>(256, entry + (b & 0x7F) + 1);
      pos += 1;
    } else if (b & 0x40) {  // copy entries from elsewhere in the old palette
      if (pos + 1 >= length) return false;
      const uint32_t count = (b & 0x3F) + 1;
      const uint32_t from = chunk[pos + 1];
      for (uint32_t j = 0; j < count && entry < 256; ++j, ++entry) {
        if (from + j < 256) std::memcpy(palette[entry], old[from + j], 3);
      }
      pos += 2;
    } else {  // one new entry of three 6-bit values
      if (pos + 2 >= length) return false;
      palette[entry][0] = Widen6To8(b);
      palette[entry][1] = Widen6To8(chunk[pos + 1] & 0x3F);
      palette[entry][2] = Widen6To8(chunk[pos + 2] & 0x3F);
      ++entry;
      pos += 3;
    }
  }
  return true;
}

}  // namespace vntfile
