#include "toolsupport/picture/flic_encode.h"

#include <algorithm>
#include <cstring>

#include "platform/system/little_endian.h"

namespace {

// The largest count of one packet, for literal and repeated data alike.
constexpr int kMaxPacket = 127;

using platform::AppendLE16;

void Patch16(std::vector<uint8_t>& out, size_t at, uint32_t v) { platform::StoreLE16(out.data() + at, v); }

// A changed stretch of a line, [begin, end) in units (bytes or words): changes separated by
// fewer than two unchanged units stay in one stretch, since a new packet costs as much.
template <typename Same>
bool NextStretch(int& begin, int& end, int from, int units, Same same) {
  begin = from;
  while (begin < units && same(begin)) ++begin;
  if (begin == units) return false;
  end = begin + 1;
  while (end < units) {
    if (!same(end)) {
      ++end;
      continue;
    }
    int gap = 1;
    while (end + gap < units && same(end + gap)) ++gap;
    if (gap >= 2 || end + gap == units) break;
    end += gap;
  }
  return true;
}

// Byte packets of a stretch for the byte-oriented delta: skip, then a count (positive: that
// many literal bytes; negative: the next byte repeated). Returns the packets written.
int PutBytePackets(std::vector<uint8_t>& out, const uint8_t* row, int begin, int end, int skip) {
  int packets = 0;
  while (skip > 255) {
    out.push_back(255);
    out.push_back(0);  // nothing copied: a skip only
    skip -= 255;
    ++packets;
  }
  int x = begin;
  while (x < end) {
    int run = 1;
    while (x + run < end && run < kMaxPacket && row[x + run] == row[x]) ++run;
    out.push_back(static_cast<uint8_t>(skip));
    skip = 0;
    ++packets;
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(-run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    int n = 0;
    while (x + n < end && n < kMaxPacket &&
           !(x + n + 2 < end && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]))
      ++n;
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), row + x, row + x + n);
    x += n;
  }
  return packets;
}

}  // namespace

void EncodeFlicColour(std::vector<uint8_t>& out, const uint8_t* previous, const uint8_t* palette) {
  const size_t start = out.size();
  AppendLE16(out, 0);
  int packets = 0, next = 0;
  for (int i = 0; i < 256;) {
    if (previous && std::memcmp(previous + i * 3, palette + i * 3, 3) == 0) {
      ++i;
      continue;
    }
    int end = i + 1;
    while (end < 256 && !(previous && std::memcmp(previous + end * 3, palette + end * 3, 3) == 0)) ++end;
    out.push_back(static_cast<uint8_t>(i - next));
    out.push_back(static_cast<uint8_t>(end - i));  // 256 becomes 0
    out.insert(out.end(), palette + i * 3, palette + end * 3);
    ++packets;
    next = i = end;
  }
  Patch16(out, start, packets);
}

bool EncodeFlicByteRun(std::vector<uint8_t>& out, const uint8_t* frame, int width, int height) {
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = frame + static_cast<size_t>(y) * width;
    const size_t countAt = out.size();
    out.push_back(0);
    int packets = 0, x = 0;
    while (x < width) {
      int run = 1;
      while (x + run < width && run < kMaxPacket && row[x + run] == row[x]) ++run;
      if (run >= 3) {
        out.push_back(static_cast<uint8_t>(run));
        out.push_back(row[x]);
        x += run;
      } else {
        int n = 0;
        while (x + n < width && n < kMaxPacket &&
               !(x + n + 2 < width && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]))
          ++n;
        out.push_back(static_cast<uint8_t>(-n));
        out.insert(out.end(), row + x, row + x + n);
        x += n;
      }
      ++packets;
    }
    // Readers go by the width; the count is only a hint and 0 when it does not fit.
    out[countAt] = static_cast<uint8_t>(packets < 256 ? packets : 0);
  }
  return true;
}

bool EncodeFlicDeltaFli(std::vector<uint8_t>& out, const uint8_t* previous, const uint8_t* frame, int width,
                        int height) {
  const size_t rowBytes = static_cast<size_t>(width);
  auto rowSame = [&](int y) { return std::memcmp(previous + y * rowBytes, frame + y * rowBytes, rowBytes) == 0; };
  int first = 0, last = height - 1;
  while (first < height && rowSame(first)) ++first;
  const size_t start = out.size();
  if (first == height) {
    AppendLE16(out, 0);
    AppendLE16(out, 0);
    return true;
  }
  while (rowSame(last)) --last;
  if (first > 65535 || last - first + 1 > 65535) return false;
  AppendLE16(out, first);
  AppendLE16(out, last - first + 1);
  for (int y = first; y <= last; ++y) {
    const uint8_t* row = frame + y * rowBytes;
    const uint8_t* old = previous + y * rowBytes;
    const size_t countAt = out.size();
    out.push_back(0);
    int packets = 0, from = 0, begin, end;
    while (NextStretch(begin, end, from, width, [&](int x) { return row[x] == old[x]; })) {
      packets += PutBytePackets(out, row, begin, end, begin - from);
      from = end;
    }
    if (packets > 255) {
      out.resize(start);
      return false;
    }
    out[countAt] = static_cast<uint8_t>(packets);
  }
  return true;
}

bool EncodeFlicDeltaFlc(std::vector<uint8_t>& out, const uint8_t* previous, const uint8_t* frame, int width,
                        int height) {
  if (width % 2) return false;
  const int words = width / 2;
  const size_t rowBytes = static_cast<size_t>(width);
  const size_t start = out.size();
  AppendLE16(out, 0);
  int lines = 0, skippedLines = 0;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = frame + y * rowBytes;
    const uint8_t* old = previous + y * rowBytes;
    if (std::memcmp(row, old, rowBytes) == 0) {
      ++skippedLines;
      continue;
    }
    for (; skippedLines > 0; skippedLines -= std::min(skippedLines, 16384))
      AppendLE16(out, 0x10000 - std::min(skippedLines, 16384));  // top two bits set: a line skip
    auto word = [&](int w) { return row[2 * w] | row[2 * w + 1] << 8; };
    auto same = [&](int w) { return row[2 * w] == old[2 * w] && row[2 * w + 1] == old[2 * w + 1]; };
    const size_t countAt = out.size();
    AppendLE16(out, 0);
    int packets = 0, from = 0, begin, end;
    while (NextStretch(begin, end, from, words, same)) {
      int skip = (begin - from) * 2;
      for (; skip > 254; skip -= 254, ++packets) {
        out.push_back(254);  // even, so that words stay aligned
        out.push_back(0);
      }
      for (int w = begin; w < end; ++packets) {
        int run = 1;
        while (w + run < end && run < kMaxPacket && word(w + run) == word(w)) ++run;
        out.push_back(static_cast<uint8_t>(skip));
        skip = 0;
        if (run >= 2) {
          out.push_back(static_cast<uint8_t>(-run));
          AppendLE16(out, word(w));
          w += run;
          continue;
        }
        int n = 0;
        while (w + n < end && n < kMaxPacket && !(w + n + 1 < end && word(w + n) == word(w + n + 1))) ++n;
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), row + 2 * w, row + 2 * (w + n));
        w += n;
      }
      from = end;
    }
    if (packets > 0x3FFF || lines == 0xFFFF) {  // the count word keeps its top bits for flags
      out.resize(start);
      return false;
    }
    Patch16(out, countAt, packets);
    ++lines;
  }
  Patch16(out, start, lines);
  return true;
}
