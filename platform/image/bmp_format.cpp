// Windows bitmap files: core and info headers, 1/4/8/16/24/32 bits, RLE8 and RLE4,
// bit-field masks, bottom-up and top-down rows.
#include <cstring>

#include "platform/image/image_codec.h"

namespace platform::image_codec {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

struct BmpHeader {
  int64_t width = 0;
  int64_t height = 0;  // positive; see topDown
  bool topDown = false;
  uint32_t bits = 0;
  uint32_t compression = kRgb;
  uint64_t paletteOffset = 0;
  uint32_t paletteEntrySize = 4;
  uint32_t paletteCount = 0;
  uint64_t pixelOffset = 0;
  uint32_t masks[3] = {0, 0, 0};
};

ImageStatus ParseHeader(const std::vector<uint8_t>& file, uint64_t fileSize, BmpHeader& header) {
  if (file.size() < 26 || file[0] != 'B' || file[1] != 'M') return ImageStatus::WrongFormat;
  const uint8_t* p = file.data();
  header.pixelOffset = LoadLE32(p + 10);
  uint32_t infoSize = LoadLE32(p + 14);
  if (infoSize == 12) {
    header.width = LoadLE16(p + 18);
    header.height = LoadLE16(p + 20);
    if (LoadLE16(p + 22) != 1) return ImageStatus::WrongFormat;
    header.bits = LoadLE16(p + 24);
    header.paletteEntrySize = 3;
  } else if (infoSize >= 40 && infoSize <= 124) {
    if (file.size() < 14 + 40) return ImageStatus::WrongFormat;
    header.width = static_cast<int32_t>(LoadLE32(p + 18));
    int64_t height = static_cast<int32_t>(LoadLE32(p + 22));
    header.topDown = height < 0;
    header.height = height < 0 ? -height : height;
    if (LoadLE16(p + 26) != 1) return ImageStatus::WrongFormat;
    header.bits = LoadLE16(p + 28);
    header.compression = LoadLE32(p + 30);
    header.paletteCount = LoadLE32(p + 46);
    if (header.compression == kBitFields) {
      uint64_t maskAt = infoSize >= 52 ? 14 + 40 : 14 + infoSize;
      if (file.size() < maskAt + 12) return ImageStatus::Corrupt;
      for (int i = 0; i < 3; ++i) header.masks[i] = LoadLE32(p + maskAt + 4 * i);
      if (infoSize == 40) infoSize += 12;
    }
  } else {
    return ImageStatus::WrongFormat;
  }
  header.paletteOffset = 14 + static_cast<uint64_t>(infoSize);
  switch (header.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return ImageStatus::Unsupported;
  }
  bool compressionFits = header.compression == kRgb ||
                         (header.compression == kRle8 && header.bits == 8) ||
                         (header.compression == kRle4 && header.bits == 4) ||
                         (header.compression == kBitFields && (header.bits == 16 || header.bits == 32));
  if (!compressionFits) return ImageStatus::Unsupported;
  if (header.topDown && (header.compression == kRle8 || header.compression == kRle4)) {
    return ImageStatus::Corrupt;
  }
  if (!SizeAcceptable(header.width, header.height, 24)) return ImageStatus::OutOfMemory;
  if (header.bits <= 8) {
    uint32_t most = 1u << header.bits;
    if (header.paletteCount == 0 || header.paletteCount > most) header.paletteCount = most;
  } else {
    header.paletteCount = 0;
  }
  if (header.pixelOffset > fileSize) return ImageStatus::Corrupt;
  return ImageStatus::Ok;
}

// Scales a masked field of a pixel to 8 bits.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask & (1u << shift))) ++shift;
  uint32_t field = (pixel & mask) >> shift;
  uint32_t top = mask >> shift;
  return static_cast<uint8_t>(uint64_t{field} * 255 / top);
}

// Run-length frames: the stream writes into rows counted from the bottom.
ImageStatus DecodeRle(const uint8_t* data, size_t size, const BmpHeader& header, Picture& picture) {
  const bool four = header.compression == kRle4;
  int64_t x = 0, y = 0;  // y from the bottom
  const int64_t width = picture.width, height = picture.height;
  auto put = [&](uint8_t value) {
    if (x < width && y < height) picture.Row(static_cast<int32_t>(height - 1 - y))[x] = value;
    ++x;
  };
  size_t pos = 0;
  while (pos + 1 < size) {
    uint8_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? (value & 15) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return ImageStatus::Ok;
    } else if (value == 2) {  // move right and up
      if (pos + 1 >= size) break;
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
    } else {  // literal run, padded to a word
      size_t bytes = four ? (value + 1) / 2 : value;
      if (pos + bytes > size) break;
      for (int i = 0; i < value; ++i) {
        uint8_t byte = data[pos + (four ? i / 2 : i)];
        put(four ? ((i & 1) ? (byte & 15) : (byte >> 4)) : byte);
      }
      pos += bytes + (bytes & 1);
    }
    if (y >= height) return ImageStatus::Ok;
  }
  return ImageStatus::Ok;  // a stream without its end mark keeps what it drew
}

}  // namespace

ImageStatus BmpInfo(const std::string& path, ImageInfo& info) {
  std::vector<uint8_t> head;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, head, fileSize, 256);
  if (status != ImageStatus::Ok) return status;
  BmpHeader header;
  status = ParseHeader(head, fileSize, header);
  if (status == ImageStatus::OutOfMemory) AnnounceSize(info, header.width, header.height);
  if (status != ImageStatus::Ok) return status;
  info.width = static_cast<int32_t>(header.width);
  info.height = static_cast<int32_t>(header.height);
  info.bitsPerPixel = header.bits <= 8 ? 8 : 24;
  return ImageStatus::Ok;
}

ImageStatus BmpLoad(const std::string& path, Picture& picture) {
  std::vector<uint8_t> file;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, file, fileSize);
  if (status != ImageStatus::Ok) return status;
  BmpHeader header;
  status = ParseHeader(file, fileSize, header);
  if (status != ImageStatus::Ok) return status;
  const bool paletted = header.bits <= 8;
  status = picture.Allocate(header.width, header.height, paletted ? 8 : 24);
  if (status != ImageStatus::Ok) return status;

  if (paletted) {
    uint64_t end = header.paletteOffset + uint64_t{header.paletteCount} * header.paletteEntrySize;
    if (end > file.size()) return ImageStatus::Corrupt;
    for (uint32_t i = 0; i < header.paletteCount; ++i) {
      const uint8_t* entry = &file[header.paletteOffset + i * header.paletteEntrySize];
      picture.palette[i * 3 + 0] = entry[2];
      picture.palette[i * 3 + 1] = entry[1];
      picture.palette[i * 3 + 2] = entry[0];
    }
    picture.paletteSize = static_cast<int32_t>(header.paletteCount);
  }
  const uint8_t* pixels = file.data() + header.pixelOffset;
  const uint64_t available = file.size() - header.pixelOffset;
  if (header.compression == kRle8 || header.compression == kRle4) {
    return DecodeRle(pixels, available, header, picture);
  }
  const uint64_t stride = ((static_cast<uint64_t>(header.width) * header.bits + 31) / 32) * 4;
  if (stride * static_cast<uint64_t>(header.height) > available) return ImageStatus::Corrupt;
  uint32_t masks[3] = {header.masks[0], header.masks[1], header.masks[2]};
  if (header.compression == kRgb && header.bits == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (header.compression == kRgb && header.bits == 32) {
    masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  }
  for (int64_t row = 0; row < header.height; ++row) {
    const uint8_t* in = pixels + stride * row;
    uint8_t* out = picture.Row(static_cast<int32_t>(header.topDown ? row : header.height - 1 - row));
    for (int64_t x = 0; x < header.width; ++x) {
      switch (header.bits) {
        case 1: case 4: case 8: {
          uint64_t bitPos = x * header.bits;
          out[x] = static_cast<uint8_t>((in[bitPos / 8] >> (8 - header.bits - bitPos % 8)) &
                                        ((1u << header.bits) - 1));
          break;
        }
        case 24: std::memcpy(out + x * 3, in + x * 3, 3); break;
        default: {
          uint32_t value = header.bits == 16 ? LoadLE16(in + x * 2) : LoadLE32(in + x * 4);
          out[x * 3 + 0] = Channel(value, masks[2]);
          out[x * 3 + 1] = Channel(value, masks[1]);
          out[x * 3 + 2] = Channel(value, masks[0]);
        }
      }
    }
  }
  return ImageStatus::Ok;
}

ImageStatus BmpSave(const std::string& path, const Image& image, int option) {
  if (option != 0) return ImageStatus::Unsupported;  // only uncompressed files are written
  const uint32_t bits = static_cast<uint32_t>(image.bitsPerPixel);
  const uint32_t colours = bits <= 8 ? (1u << bits) : 0;
  const uint64_t stride = ((static_cast<uint64_t>(image.width) * bits + 31) / 32) * 4;
  const uint64_t pixelOffset = 14 + 40 + uint64_t{colours} * 4;
  const uint64_t total = pixelOffset + stride * image.height;
  if (total > UINT32_MAX) return ImageStatus::OutOfMemory;
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(total));
  out.push_back('B');
  out.push_back('M');
  AppendLE32(out, static_cast<uint32_t>(total));
  AppendLE32(out, 0);
  AppendLE32(out, static_cast<uint32_t>(pixelOffset));
  AppendLE32(out, 40);
  AppendLE32(out, static_cast<uint32_t>(image.width));
  AppendLE32(out, static_cast<uint32_t>(image.height));
  AppendLE16(out, 1);
  AppendLE16(out, bits);
  AppendLE32(out, kRgb);
  AppendLE32(out, static_cast<uint32_t>(stride * image.height));
  AppendLE32(out, 2835);  // 72 dots per inch
  AppendLE32(out, 2835);
  AppendLE32(out, 0);
  AppendLE32(out, 0);
  out.insert(out.end(), image.palette.begin(), image.palette.begin() + colours * 4);
  for (int32_t row = 0; row < image.height; ++row) {  // the image is bottom-up as the file
    const uint8_t* in = image.pixels.data() + static_cast<size_t>(row) * image.pitch;
    out.insert(out.end(), in, in + stride);
  }
  return WriteFileBytes(path, out);
}

}  // namespace platform::image_codec
