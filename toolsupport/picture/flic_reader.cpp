#include "toolsupport/picture/flic_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/image/image.h"
#include "platform/system/file_names.h"
#include "platform/system/little_endian.h"
#include "toolsupport/base/paths.h"

namespace toolsupport {
namespace {

constexpr int32_t kFlicBufferSize = 64000;
constexpr uint16_t kFliMagic = 0xAF11;
constexpr uint16_t kFlcMagic = 0xAF12;
constexpr uint16_t kFrameMagic = 0xF1FA;
constexpr uint16_t kPrefixMagic = 0xF100;

enum ChunkType : uint16_t {
  kColour256 = 4,
  kDeltaFlc = 7,
  kColour64 = 11,
  kDeltaFli = 12,
  kBlack = 13,
  kByteRun = 15,
  kCopy = 16,
};

using platform::LoadLE16;
using platform::LoadLE32;


// Reads a chunk's data with a cursor that never passes its end.
class ChunkCursor {
 public:
  ChunkCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Has(size_t n) const { return n <= size_ - pos_; }
  uint8_t Byte() { return Has(1) ? data_[pos_++] : 0; }
  int8_t Signed() { return static_cast<int8_t>(Byte()); }
  uint32_t Word() {
    if (!Has(2)) {
      pos_ = size_;
      return 0;
    }
    uint32_t v = LoadLE16(data_ + pos_);
    pos_ += 2;
    return v;
  }
  const uint8_t* Take(size_t n) {
    if (!Has(n)) return nullptr;
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  // Up to n bytes, as many as there are: where they end, n calls of Byte() would give zeros.
  const uint8_t* TakeUpTo(size_t n, size_t& taken) {
    taken = std::min(n, size_ - pos_);
    const uint8_t* p = data_ + pos_;
    pos_ += taken;
    return p;
  }
  bool AtEnd() const { return pos_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The visible picture inside the padded frame buffer; every write goes through it. A run of
// pixels from x on (x >= 0) is cut at the picture's edges.
struct Canvas {
  uint8_t* pixels;
  int32_t pitch;
  int32_t width;
  int32_t height;
  void Put(int64_t x, int64_t y, uint8_t value) {
    if (x >= 0 && x < width && y >= 0 && y < height) pixels[y * pitch + x] = value;
  }
  // The pixels of the run that lie in the picture: none when the row is outside.
  int64_t Inside(int64_t x, int64_t y, int64_t count) const {
    return y >= 0 && y < height && x < width ? std::min<int64_t>(count, width - x) : 0;
  }
  void Fill(int64_t x, int64_t y, int64_t count, uint8_t value) {
    const int64_t inside = Inside(x, y, count);
    if (inside > 0) std::memset(pixels + y * pitch + x, value, static_cast<size_t>(inside));
  }
  // count bytes from the chunk, zeros where it ends.
  void Copy(ChunkCursor& in, int64_t x, int64_t y, int64_t count) {
    size_t taken = 0;
    const uint8_t* from = in.TakeUpTo(static_cast<size_t>(count), taken);
    const int64_t inside = Inside(x, y, count);
    if (inside <= 0) return;
    const size_t copied = std::min(taken, static_cast<size_t>(inside));
    std::memcpy(pixels + y * pitch + x, from, copied);
    std::memset(pixels + y * pitch + x + copied, 0, static_cast<size_t>(inside) - copied);
  }
  // count pairs of the two values.
  void FillPairs(int64_t x, int64_t y, int64_t count, uint8_t first, uint8_t second) {
    const int64_t inside = Inside(x, y, 2 * count);
    if (inside <= 0) return;
    uint8_t* row = pixels + y * pitch + x;
    for (int64_t i = 0; i < inside; ++i) row[i] = i % 2 ? second : first;
  }
};

void DecodeColours(ChunkCursor& in, std::array<uint8_t, 768>& palette, bool sixBit) {
  uint32_t packets = in.Word();
  uint32_t index = 0;
  for (uint32_t p = 0; p < packets && !in.AtEnd(); ++p) {
    index += in.Byte();
    uint32_t count = in.Byte();
    if (count == 0) count = 256;
    for (uint32_t i = 0; i < count; ++i, ++index) {
      const uint8_t* rgb = in.Take(3);
      if (!rgb) return;
      if (index >= 256) continue;
      for (int c = 0; c < 3; ++c) {
        uint8_t v = rgb[c];
        if (sixBit) v = static_cast<uint8_t>((v & 63) * 4 + (v & 63) / 16);
        palette[index * 3 + c] = v;
      }
    }
  }
}

void DecodeByteRun(ChunkCursor& in, Canvas& canvas) {
  for (int32_t y = 0; y < canvas.height && !in.AtEnd(); ++y) {
    in.Byte();  // packet count, not relied on
    int64_t x = 0;
    while (x < canvas.width && !in.AtEnd()) {
      int count = in.Signed();
      if (count > 0) {
        canvas.Fill(x, y, count, in.Byte());
        x += count;
      } else if (count < 0) {
        canvas.Copy(in, x, y, -count);
        x -= count;
      }
    }
  }
}

void DecodeDeltaFli(ChunkCursor& in, Canvas& canvas) {
  int64_t y = in.Word();
  uint32_t lines = in.Word();
  for (uint32_t line = 0; line < lines && !in.AtEnd() && y < canvas.height; ++line, ++y) {
    uint32_t packets = in.Byte();
    int64_t x = 0;
    for (uint32_t p = 0; p < packets && !in.AtEnd(); ++p) {
      x += in.Byte();
      int count = in.Signed();
      if (count > 0) {
        canvas.Copy(in, x, y, count);
        x += count;
      } else if (count < 0) {
        canvas.Fill(x, y, -count, in.Byte());
        x -= count;
      }
    }
  }
}

void DecodeDeltaFlc(ChunkCursor& in, Canvas& canvas) {
  uint32_t lines = in.Word();
  int64_t y = 0;
  for (uint32_t line = 0; line < lines && !in.AtEnd() && y < canvas.height; ++y) {
    // Opcode words before the packet count: line skips and a last-byte value.
    uint32_t word = in.Word();
    bool lastByte = false;
    uint8_t lastValue = 0;
    while ((word & 0xC000) != 0 && !in.AtEnd()) {
      if ((word & 0xC000) == 0xC000) {
        y += 0x10000 - word;  // a negative count of lines to skip
      } else if ((word & 0xC000) == 0x8000) {
        lastByte = true;
        lastValue = static_cast<uint8_t>(word);
      }
      word = in.Word();
    }
    if (y >= canvas.height) break;
    int64_t x = 0;
    for (uint32_t p = 0; p < word && !in.AtEnd(); ++p) {
      x += in.Byte();
      int count = in.Signed();
      if (count > 0) {
        canvas.Copy(in, x, y, 2 * count);
        x += 2 * count;
      } else if (count < 0) {
        const uint8_t low = in.Byte(), high = in.Byte();
        canvas.FillPairs(x, y, -count, low, high);
        x -= 2 * count;
      }
    }
    if (lastByte) canvas.Put(canvas.width - 1, y, lastValue);
    ++line;
  }
}

void DecodeCopy(ChunkCursor& in, Canvas& canvas) {
  for (int32_t y = 0; y < canvas.height; ++y) {
    const uint8_t* row = in.Take(static_cast<size_t>(canvas.width));
    if (!row) return;
    std::memcpy(canvas.pixels + static_cast<int64_t>(y) * canvas.pitch, row, static_cast<size_t>(canvas.width));
  }
}

// Zeroes the columns right of the picture and the rows below it.
void ClearPadding(const FlicReader& reader, uint8_t* frame) {
  for (int32_t y = 0; y < reader.paddedHeight; ++y) {
    uint8_t* row = frame + static_cast<int64_t>(y) * reader.paddedWidth;
    int32_t from = y < reader.height ? reader.width : 0;
    std::memset(row + from, 0, static_cast<size_t>(reader.paddedWidth - from));
  }
}

bool OpenNamed(FlicReader& reader, const std::string& name) {
  return reader.file->Open(name.c_str(), FileAccess::Read);
}

}  // namespace

bool OpenFlic(FlicReader& reader, const std::string& name) {
  if (!reader.file) reader.file = std::make_unique<BufferedFile>(kFlicBufferSize);
  bool opened = FindExtension(name) != std::string::npos ? OpenNamed(reader, name)
                                   : OpenNamed(reader, platform::NameForOpening(name, ".flc")) ||
                                         OpenNamed(reader, platform::NameForOpening(name, ".fli"));
  if (!opened) return false;
  uint8_t header[128];
  if (reader.file->ReadRaw(header, sizeof header) != sizeof header) {
    reader.file->Close();
    return false;
  }
  const uint32_t type = LoadLE16(header + 4);
  const int32_t width = static_cast<int32_t>(LoadLE16(header + 8));
  const int32_t height = static_cast<int32_t>(LoadLE16(header + 10));
  // The padded frame buffers are as large as the image layer lets a picture be, no larger.
  const int64_t paddedWidth = (int64_t{width} + 3) & ~int64_t{3}, paddedHeight = (int64_t{height} + 3) & ~int64_t{3};
  if ((type != kFliMagic && type != kFlcMagic) || width == 0 || height == 0 ||
      paddedWidth > platform::kMaxImageSide || paddedHeight > platform::kMaxImageSide ||
      static_cast<uint64_t>(paddedWidth * paddedHeight) > platform::kMaxImageBytes) {
    reader.file->Close();
    return false;
  }
  int64_t speed = LoadLE32(header + 16);
  int32_t rate;
  if (type == kFliMagic) {  // 1/70 second units
    rate = speed == 0 ? -20000 : static_cast<int32_t>(-std::min<int64_t>(speed * 100000 / 70, INT32_MAX));
  } else {  // milliseconds
    if (speed == 0 || speed > 30000) speed = 200;
    rate = static_cast<int32_t>(-speed * 100);
  }
  // The exact rate our writer stores in a field the format leaves reserved.
  const int32_t exact = static_cast<int32_t>(LoadLE32(header + 26));
  if (exact < 0 && -static_cast<int64_t>(exact) / 100 == speed) rate = exact;

  reader.fileSize = LoadLE32(header);
  reader.width = width;
  reader.height = height;
  reader.paddedWidth = (width + 3) & ~3;
  reader.paddedHeight = (height + 3) & ~3;
  reader.frames = static_cast<int32_t>(LoadLE16(header + 6));
  reader.frameRate = rate;
  reader.currentFrame = 0;
  reader.lastFrameSize = 0;
  reader.lastFrameCut = false;
  reader.firstFrameOffset = 128;
  reader.palette.fill(0);
  return true;
}

FlicFrame DecodeFlicFrame(FlicReader& reader, uint8_t* frame) {
  if (!reader.file || !reader.file->IsOpen()) return FlicFrame::Unreadable;
  BufferedFile& file = *reader.file;
  if (reader.currentFrame >= reader.frames) {  // the animation repeats
    reader.currentFrame = 0;
    file.Seek(reader.firstFrameOffset);
  }
  if (reader.currentFrame == 0) {
    std::memset(frame, 0, static_cast<size_t>(reader.paddedWidth) * reader.paddedHeight);
  }
  ++reader.currentFrame;
  reader.lastFrameCut = true;  // until the frame is found whole

  uint8_t header[16];
  uint32_t size = 0;
  for (;;) {  // a prefix chunk before the first frame is passed over
    if (file.ReadRaw(header, sizeof header) != sizeof header) return FlicFrame::Unreadable;
    size = LoadLE32(header);
    if (LoadLE16(header + 4) != kPrefixMagic || size < 16) break;
    file.Seek(file.Seek(-1) + (size - 16));
  }
  const uint32_t rest = size > 16 ? size - 16 : 0;
  reader.lastFrameSize = rest;
  const int64_t position = file.Seek(-1);
  const int64_t available = file.Size() - position;
  if (static_cast<int64_t>(rest) > available) {  // a short frame: nothing is drawn
    file.Seek(position + std::max<int64_t>(available, 0));
    return FlicFrame::Decoded;
  }
  reader.frameData.assign(rest, 0);
  if (file.ReadRaw(reader.frameData.data(), rest) != rest) return FlicFrame::Decoded;
  reader.lastFrameCut = false;
  if (LoadLE16(header + 4) != kFrameMagic) return FlicFrame::Decoded;

  Canvas canvas{frame, reader.paddedWidth, reader.width, reader.height};
  bool paletteChanged = false;
  const uint32_t chunks = LoadLE16(header + 6);
  size_t offset = 0;
  for (uint32_t c = 0; c < chunks; ++c) {
    if (rest - offset < 6) break;
    const uint8_t* chunk = reader.frameData.data() + offset;
    const uint32_t chunkSize = LoadLE32(chunk);
    if (chunkSize < 6 || chunkSize > rest - offset) break;  // damaged: the frame ends here
    ChunkCursor in(chunk + 6, chunkSize - 6);
    switch (LoadLE16(chunk + 4)) {
      case kColour256: DecodeColours(in, reader.palette, false); paletteChanged = true; break;
      case kColour64: DecodeColours(in, reader.palette, true); paletteChanged = true; break;
      case kDeltaFlc: DecodeDeltaFlc(in, canvas); break;
      case kDeltaFli: DecodeDeltaFli(in, canvas); break;
      case kBlack:
        for (int32_t y = 0; y < reader.height; ++y) {
          std::memset(frame + static_cast<int64_t>(y) * reader.paddedWidth, 0, static_cast<size_t>(reader.width));
        }
        break;
      case kByteRun: DecodeByteRun(in, canvas); break;
      case kCopy: DecodeCopy(in, canvas); break;
      default: break;  // stamps, masks and unknown chunks are not needed
    }
    offset += chunkSize;
  }
  if (reader.currentFrame == 1) ClearPadding(reader, frame);
  return paletteChanged ? FlicFrame::PaletteChanged : FlicFrame::Decoded;
}

FlicFrame RewindFlic(FlicReader& reader, int32_t frameNumber, uint8_t* frame) {
  frameNumber = std::clamp(frameNumber, 0, reader.frames);
  if (reader.currentFrame >= frameNumber) {
    reader.currentFrame = 0;
    if (reader.file) reader.file->Seek(reader.firstFrameOffset);
  }
  FlicFrame result = FlicFrame::Decoded;
  while (reader.currentFrame < frameNumber) {
    const FlicFrame decoded = DecodeFlicFrame(reader, frame);
    if (decoded == FlicFrame::Unreadable) return decoded;
    if (decoded == FlicFrame::PaletteChanged) result = decoded;
  }
  return result;
}

std::string FlicFileName(const FlicReader& reader) {
  if (!reader.file) return {};
  const char* name = reader.file->Name();
  return name ? name : std::string();
}

void CloseFlicReader(FlicReader& reader) {
  reader.file.reset();
  reader.frameData = {};
}

}  // namespace toolsupport
