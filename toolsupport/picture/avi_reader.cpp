#include "toolsupport/picture/avi_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/system/little_endian.h"

namespace toolsupport {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2;
constexpr int32_t kMaxSide = 32768;
constexpr uint64_t kMaxFrameBytes = uint64_t{1} << 28;

bool Is(const void* id, const char* text) { return std::memcmp(id, text, 4) == 0; }

}  // namespace

bool AviReader::Fail(const std::string& why) {
  error_ = why;
  return false;
}

bool AviReader::Open(const std::string& path) {
  const bool riff = file_.Open(path);
  if (!file_.opened()) return Fail("cannot open the file");
  if (!riff || !file_.IsForm("AVI ")) return Fail("not an AVI file");
  // Nothing past the size the RIFF header claims is taken for part of the file.
  if (!WalkList(RiffChunkWalker(file_, file_.bodyStart(), file_.declaredEnd()), 0)) return false;

  if (videoStream_ < 0) return Fail("no video stream");
  if (width_ <= 0 || height_ <= 0 || width_ > kMaxSide || height_ > kMaxSide) return Fail("bad frame size");
  if (videoScale_ == 0 || videoRate_ == 0) return Fail("no frame rate");
  const bool plain = compression_ == kRgb &&
                     (bits_ == 1 || bits_ == 4 || bits_ == 8 || bits_ == 16 || bits_ == 24 || bits_ == 32);
  const bool runs = (compression_ == kRle8 && bits_ == 8) || (compression_ == kRle4 && bits_ == 4);
  if (!plain && !runs) return Fail("compressed frames this reader cannot decode");
  if (topDown_ && runs) return Fail("bad frame format");
  if (videoLength_ < samples_.size()) samples_.resize(videoLength_);
  if (samples_.empty()) return Fail("no frames");
  // A file cut short holds fewer frames than its header announces; the rest are missing.
  announced_ = static_cast<int32_t>(std::min<uint64_t>(std::max<uint64_t>(videoLength_, samples_.size()), INT32_MAX));

  const int64_t period = int64_t{100000} * videoScale_ / videoRate_;
  frameRate_ = static_cast<int32_t>(-std::min<int64_t>(period, INT32_MAX));
  if (soundFormatRead_) {
    soundBytesPerFrame_ = static_cast<int64_t>(soundLength_) * soundChannels_ * soundBits_ / 8 /
                          static_cast<int64_t>(samples_.size());
  }
  const int bytes = bitsPerPixel() / 8;
  pitch_ = (static_cast<ptrdiff_t>(width_) * bytes + 3) & ~ptrdiff_t{3};
  if (static_cast<uint64_t>(pitch_) * height_ > kMaxFrameBytes) return Fail("frame too large");
  frame_.assign(static_cast<size_t>(pitch_) * height_, 0);
  palette_ = initialPalette_;
  return true;
}

bool AviReader::WalkList(RiffChunkWalker walker, int depth) {
  if (depth > 4) return true;
  RiffChunk chunk;
  while (walker.Next(chunk)) {
    if (chunk.Is("LIST")) {
      char type[4];
      if (!ReadListType(file_, chunk, type)) continue;
      if (Is(type, "strl")) {
        std::memset(currentStreamType_, 0, 4);
        if (!WalkList(RiffChunkWalker::Inside(file_, chunk), depth + 1)) return false;
        ++streamCount_;
      } else if (Is(type, "hdrl") || Is(type, "movi") || Is(type, "rec ")) {
        if (!WalkList(RiffChunkWalker::Inside(file_, chunk), depth + 1)) return false;
      }
    } else if (chunk.Is("strh")) {
      if (!ReadStreamHeader(chunk)) return false;
    } else if (chunk.Is("strf")) {
      if (!ReadStreamFormat(chunk)) return false;
    } else if (videoStream_ >= 0 && StreamNumberOf(chunk) == videoStream_ &&
               chunk.declared <= file_.size() - std::min(file_.size(), chunk.data)) {
      // Frames are read whole, so only chunks that the file holds entirely are taken.
      const uint32_t size = static_cast<uint32_t>(chunk.declared);
      if (chunk.id[2] == 'p' && chunk.id[3] == 'c') {
        paletteChanges_.push_back({chunk.data, size});
        pendingPaletteChange_ = static_cast<int32_t>(paletteChanges_.size() - 1);
      } else if (chunk.id[2] == 'd' && (chunk.id[3] == 'b' || chunk.id[3] == 'c')) {
        samples_.push_back({chunk.data, size, pendingPaletteChange_});
        pendingPaletteChange_ = -1;
      }
    }
  }
  return true;
}

bool AviReader::ReadStreamHeader(const RiffChunk& chunk) {
  uint8_t h[36];
  if (chunk.size < sizeof h || !file_.ReadAt(chunk.data, h, sizeof h)) return true;  // not a stream we can use
  std::memcpy(currentStreamType_, h, 4);
  if (Is(h, "vids") && videoStream_ < 0) {
    videoStream_ = streamCount_;
    videoScale_ = platform::LoadLE32(h + 20);
    videoRate_ = platform::LoadLE32(h + 24);
    videoLength_ = platform::LoadLE32(h + 32);
  } else if (Is(h, "auds") && soundStream_ < 0) {
    soundStream_ = streamCount_;
    soundLength_ = platform::LoadLE32(h + 32);
  }
  return true;
}

bool AviReader::ReadStreamFormat(const RiffChunk& chunk) {
  const uint64_t offset = chunk.data, size = chunk.size;
  if (streamCount_ == videoStream_ && Is(currentStreamType_, "vids")) {
    uint8_t bih[40];
    if (size < sizeof bih || !file_.ReadAt(offset, bih, sizeof bih)) return Fail("bad video format");
    const uint32_t headerSize = platform::LoadLE32(bih);
    width_ = static_cast<int32_t>(platform::LoadLE32(bih + 4));
    int32_t height = static_cast<int32_t>(platform::LoadLE32(bih + 8));
    topDown_ = height < 0;
    height_ = height == INT32_MIN ? 0 : (height < 0 ? -height : height);
    bits_ = static_cast<int32_t>(platform::LoadLE16(bih + 14));
    compression_ = platform::LoadLE32(bih + 16);
    if (bits_ <= 8 && bits_ > 0) {
      uint32_t colours = platform::LoadLE32(bih + 32);
      if (colours == 0 || colours > (1u << bits_)) colours = 1u << bits_;
      uint64_t tableAt = offset + std::max<uint64_t>(headerSize, 40);
      uint64_t available = offset + size > tableAt ? offset + size - tableAt : 0;
      colours = static_cast<uint32_t>(std::min<uint64_t>(colours, available / 4));
      std::vector<uint8_t> table(colours * 4);
      if (colours > 0 && !file_.ReadAt(tableAt, table.data(), table.size())) return Fail("bad video format");
      for (uint32_t i = 0; i < colours; ++i) {
        initialPalette_[i * 3 + 0] = table[i * 4 + 2];
        initialPalette_[i * 3 + 1] = table[i * 4 + 1];
        initialPalette_[i * 3 + 2] = table[i * 4 + 0];
      }
    }
  } else if (streamCount_ == soundStream_ && Is(currentStreamType_, "auds")) {
    uint8_t wave[16];
    if (size >= sizeof wave && file_.ReadAt(offset, wave, sizeof wave)) {
      soundChannels_ = platform::LoadLE16(wave + 2);
      soundBits_ = platform::LoadLE16(wave + 14);
      soundFormatRead_ = true;
    }
  }
  return true;
}

void AviReader::ApplyPaletteChange(const PaletteChange& change) {
  std::vector<uint8_t> data(change.size);
  if (change.size < 4 || !file_.ReadAt(change.offset, data.data(), data.size())) return;
  uint32_t first = data[0];
  uint32_t count = data[1] == 0 ? 256 : data[1];
  for (uint32_t i = 0; i < count && first + i < 256 && 4 + i * 4 + 3 <= data.size(); ++i) {
    std::memcpy(&palette_[(first + i) * 3], &data[4 + i * 4], 3);  // R, G, B, flags
  }
}

bool AviReader::DecodeFrame(int32_t index) {
  if (index < 0 || index >= frames()) return false;
  if (index <= lastDecoded_) {  // start again from the first frame
    std::fill(frame_.begin(), frame_.end(), 0);
    palette_ = initialPalette_;
    lastDecoded_ = -1;
  }
  const bool runs = compression_ != kRgb;
  bool ok = true;
  for (int32_t i = lastDecoded_ + 1; i <= index; ++i) {
    const Sample& sample = samples_[i];
    if (sample.paletteChange >= 0) ApplyPaletteChange(paletteChanges_[sample.paletteChange]);
    if (runs || i == index) ok = DecodeSample(sample);
  }
  lastDecoded_ = index;
  return ok;
}

bool AviReader::DecodeSample(const Sample& sample) {
  if (sample.size == 0) return true;  // a dropped frame repeats the one before
  sampleData_.resize(sample.size);
  if (!file_.ReadAt(sample.offset, sampleData_.data(), sample.size)) return false;
  const uint8_t* data = sampleData_.data();
  const size_t size = sampleData_.size();

  if (compression_ == kRgb) {
    const uint64_t stride = ((static_cast<uint64_t>(width_) * bits_ + 31) / 32) * 4;
    if (stride * height_ > size) return false;
    const size_t outBytes = static_cast<size_t>(width_) * (bitsPerPixel() / 8);
    for (int32_t row = 0; row < height_; ++row) {
      const uint8_t* in = data + stride * row;
      uint8_t* out = frame_.data() + pitch_ * (topDown_ ? row : height_ - 1 - row);
      if (bits_ >= 8) {
        std::memcpy(out, in, outBytes);
        continue;
      }
      for (int32_t x = 0; x < width_; ++x) {
        uint64_t bitPos = static_cast<uint64_t>(x) * bits_;
        out[x] = static_cast<uint8_t>((in[bitPos / 8] >> (8 - bits_ - bitPos % 8)) & ((1 << bits_) - 1));
      }
    }
    return true;
  }

  // Run-length frames draw over the frame before, rows counted from the bottom.
  const bool four = compression_ == kRle4;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t value) {
    if (x < width_ && y < height_) frame_[static_cast<size_t>(pitch_ * (height_ - 1 - y) + x)] = value;
    ++x;
  };
  size_t pos = 0;
  while (pos + 1 < size && y < height_) {
    uint8_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? (value & 15) : (value >> 4)) : value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (pos + 1 >= size) break;
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
    } else {
      size_t bytes = four ? (value + 1u) / 2 : value;
      if (pos + bytes > size) break;
      for (int i = 0; i < value; ++i) {
        uint8_t byte = data[pos + (four ? i / 2 : i)];
        put(four ? ((i & 1) ? (byte & 15) : (byte >> 4)) : byte);
      }
      pos += bytes + (bytes & 1);
    }
  }
  return true;
}

}  // namespace toolsupport
