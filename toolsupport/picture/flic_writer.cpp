#include "toolsupport/picture/flic_writer.h"

#include <cstring>

#include "toolsupport/picture/flic_encode.h"
#include "toolsupport/base/paths.h"

using namespace toolsupport;

namespace {

constexpr int kHeaderSize = 128;
constexpr int kFrameHeaderSize = 16;
constexpr int kChunkHeaderSize = 6;

struct Chunk {
  uint16_t type;
  size_t offset, size;  // into the writer's work buffer
};

void PutChunk(BufferedFile& file, const std::vector<uint8_t>& work, const Chunk& c) {
  file.PutLong(static_cast<uint32_t>(c.size + kChunkHeaderSize));
  file.PutWord(c.type);
  file.Write(work.data() + c.offset, c.size);
}

// Chunks start on even offsets.
void PadEven(std::vector<uint8_t>& work) {
  if (work.size() % 2) work.push_back(0);
}

// Chooses the pixel chunk of a frame: none when nothing changed; else a delta, a byte-run or
// a plain copy, each only when smaller than the plain frame.
bool AddPixelChunk(FlicWriter& w, const uint8_t* pixels, bool firstFrame, Chunk& chunk) {
  const size_t plain = static_cast<size_t>(w.width) * w.height;
  const size_t start = w.work.size();
  if (!firstFrame) {
    if (std::memcmp(pixels, w.previous.data(), plain) == 0) return false;
    bool fli = w.width == 320 && w.height == 200;
    bool encoded = fli ? EncodeFlicDeltaFli(w.work, w.previous.data(), pixels, w.width, w.height)
                       : EncodeFlicDeltaFlc(w.work, w.previous.data(), pixels, w.width, w.height);
    if (encoded && w.work.size() - start < plain) {
      chunk = {fli ? kFlicDeltaFli : kFlicDeltaFlc, start, w.work.size() - start};
      return true;
    }
    w.work.resize(start);
  }
  EncodeFlicByteRun(w.work, pixels, w.width, w.height);
  if (w.work.size() - start < plain) {
    chunk = {kFlicByteRun, start, w.work.size() - start};
    return true;
  }
  w.work.resize(start);
  w.work.insert(w.work.end(), pixels, pixels + plain);
  chunk = {kFlicCopy, start, plain};
  return true;
}

bool WriteFrame(FlicWriter& w, const uint8_t* palette, const uint8_t* pixels) {
  const bool firstFrame = w.framesWritten == 0;
  w.work.clear();
  Chunk chunks[2];
  int count = 0;
  if (firstFrame || std::memcmp(palette, w.lastPalette.data(), 768) != 0) {
    EncodeFlicColour(w.work, firstFrame ? nullptr : w.lastPalette.data(), palette);
    chunks[count++] = {kFlicColour256, 0, w.work.size()};
    PadEven(w.work);
  }
  if (AddPixelChunk(w, pixels, firstFrame, chunks[count])) {
    ++count;
    PadEven(w.work);
  }
  uint64_t frameSize = kFrameHeaderSize;
  for (int i = 0; i < count; ++i) {
    chunks[i].size += chunks[i].size % 2;  // the padding belongs to its chunk
    frameSize += chunks[i].size + kChunkHeaderSize;
  }
  // The header holds the file size in 32 bits.
  if (static_cast<uint64_t>(w.file.Seek(-1)) + frameSize > UINT32_MAX) {
    w.error = true;
    return false;
  }
  w.file.PutLong(static_cast<uint32_t>(frameSize));
  w.file.PutWord(0xF1FA);
  w.file.PutWord(count);
  const uint8_t reserved[8] = {};
  w.file.Write(reserved, sizeof reserved);
  for (int i = 0; i < count; ++i) PutChunk(w.file, w.work, chunks[i]);

  const size_t plain = static_cast<size_t>(w.width) * w.height;
  if (firstFrame) {
    std::memcpy(w.first.data(), pixels, plain);
    std::memcpy(w.firstPalette.data(), palette, 768);
    w.afterFirstFrame = w.file.Seek(-1);
  }
  std::memcpy(w.previous.data(), pixels, plain);
  std::memcpy(w.lastPalette.data(), palette, 768);
  ++w.framesWritten;
  if (w.file.WriteError()) {
    w.error = true;
    return false;
  }
  return true;
}

}  // namespace

void FlicWriterInit(FlicWriter& writer) {
  FlicWriterFree(writer);
  writer.width = writer.height = 0;
  writer.error = false;
  writer.framesWritten = 0;
  writer.afterFirstFrame = 0;
  writer.lastPalette.fill(0);
  writer.firstPalette.fill(0);
}

bool CreateFlic(FlicWriter& w, const std::string& name, int width, int height, int32_t frameRate) {
  if (width <= 0 || width % 2 || width > 65535 || height <= 0 || height > 65535) return false;
  std::string fileName = name;
  if (FindExtension(fileName) == std::string::npos) fileName += ".flc";
  if (!w.file.Create(fileName.c_str())) return false;
  w.width = width;
  w.height = height;
  w.error = false;
  w.framesWritten = 0;
  w.afterFirstFrame = 0;
  const size_t plain = static_cast<size_t>(width) * height;
  w.previous.assign(plain, 0);
  w.first.assign(plain, 0);
  w.work.clear();

  uint8_t header[kHeaderSize] = {};
  auto put16 = [&](int at, uint32_t v) { header[at] = v & 255, header[at + 1] = (v >> 8) & 255; };
  auto put32 = [&](int at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
  put16(4, 0xAF12);
  put16(8, width);
  put16(10, height);
  put16(12, 8);   // bits per pixel
  put16(14, 3);   // the header was completed at close
  // A negative rate is the period in 10 microsecond units: the nearest whole milliseconds
  // for every reader, and the exact value where this reader looks for it.
  put32(16, frameRate >= 0 ? static_cast<uint32_t>(frameRate) : static_cast<uint32_t>(-(frameRate / 100)));
  put32(26, frameRate < 0 ? static_cast<uint32_t>(frameRate) : 0);
  bool classic = width == 320 && height == 200;
  put16(38, classic ? 6 : 1);
  put16(40, classic ? 5 : 1);
  put32(80, kHeaderSize);
  w.file.Write(header, sizeof header);
  if (w.file.WriteError()) {
    w.file.Close();
    return false;
  }
  return true;
}

bool WriteFlicFrame(FlicWriter& w, const uint8_t* palette, const uint8_t* pixels) {
  if (!w.file.IsOpen()) return false;
  if (w.framesWritten >= kMaxFlicFrames) {
    w.error = true;  // the header cannot count another frame
    return false;
  }
  return WriteFrame(w, palette, pixels);
}

int64_t CloseFlic(FlicWriter& w) {
  if (!w.file.IsOpen()) return 0;
  uint32_t frames = 0;
  if (w.framesWritten > 0) {
    frames = w.framesWritten;
    // The ring frame: the first frame again, with its palette, so that looping shows it right.
    std::vector<uint8_t> first = w.first;
    std::array<uint8_t, 768> palette = w.firstPalette;
    WriteFrame(w, palette.data(), first.data());
  }
  int64_t size = w.file.Size();
  w.file.Seek(0);
  w.file.PutLong(static_cast<uint32_t>(size));
  w.file.Seek(6);
  w.file.PutWord(frames);
  w.file.Seek(84);
  w.file.PutLong(static_cast<uint32_t>(w.afterFirstFrame));
  w.file.Close();
  if (w.file.WriteError()) w.error = true;
  return size;
}

void FlicWriterFree(FlicWriter& w) {
  if (w.file.IsOpen()) w.file.Close();
  w.previous = {};
  w.first = {};
  w.work = {};
}
