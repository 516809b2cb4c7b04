// TGA files: colour-mapped, true-colour and grey pictures, plain or run-length
// coded. The format has no signature, so the header is checked strictly: every
// field must hold a value the format allows and the file must be long enough.
#include <algorithm>
#include <cstring>

#include "platform/image/image_codec.h"

namespace platform::image_codec {
namespace {

constexpr size_t kHeaderSize = 18;

struct TgaHeader {
  uint32_t idLength = 0;
  uint32_t mapType = 0;
  uint32_t imageType = 0;
  uint32_t mapFirst = 0;
  uint32_t mapLength = 0;
  uint32_t mapEntryBits = 0;
  int64_t width = 0;
  int64_t height = 0;
  uint32_t pixelBits = 0;
  bool topDown = false;
  bool rightToLeft = false;
  bool runLength = false;
  uint64_t dataOffset = 0;
  uint32_t BytesPerPixel() const { return (pixelBits + 7) / 8; }
  uint32_t MapEntryBytes() const { return (mapEntryBits + 7) / 8; }
  bool ColourMapped() const { return imageType == 1 || imageType == 9; }
  bool Grey() const { return imageType == 3 || imageType == 11; }
};

bool EntryBitsValid(uint32_t bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

ImageStatus ParseHeader(const std::vector<uint8_t>& file, uint64_t fileSize, TgaHeader& header) {
  if (file.size() < kHeaderSize) return ImageStatus::WrongFormat;
  const uint8_t* p = file.data();
  header.idLength = p[0];
  header.mapType = p[1];
  header.imageType = p[2];
  header.mapFirst = LoadLE16(p + 3);
  header.mapLength = LoadLE16(p + 5);
  header.mapEntryBits = p[7];
  header.width = LoadLE16(p + 12);
  header.height = LoadLE16(p + 14);
  header.pixelBits = p[16];
  const uint8_t descriptor = p[17];
  header.topDown = descriptor & 0x20;
  header.rightToLeft = descriptor & 0x10;
  header.runLength = header.imageType >= 9;

  const uint32_t type = header.imageType;
  if (header.mapType > 1 || !(type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11)) {
    return ImageStatus::WrongFormat;
  }
  if ((descriptor & 0xC0) != 0 || (descriptor & 0x0F) > 8) return ImageStatus::WrongFormat;
  if (header.width == 0 || header.height == 0) return ImageStatus::WrongFormat;
  if (header.mapType == 1) {
    if (!EntryBitsValid(header.mapEntryBits) || header.mapLength == 0) return ImageStatus::WrongFormat;
  } else if (header.mapLength != 0 || header.mapFirst != 0) {
    return ImageStatus::WrongFormat;
  }
  if (header.ColourMapped()) {
    if (header.mapType != 1 || header.pixelBits != 8 || header.mapFirst + header.mapLength > 256) {
      return ImageStatus::WrongFormat;
    }
  } else if (header.Grey()) {
    if (header.pixelBits != 8 || header.mapType != 0) return ImageStatus::WrongFormat;
  } else if (!EntryBitsValid(header.pixelBits)) {
    return ImageStatus::WrongFormat;
  }
  header.dataOffset = kHeaderSize + header.idLength + uint64_t{header.mapLength} * header.MapEntryBytes();
  uint64_t leastData = header.runLength ? 2 : static_cast<uint64_t>(header.width) * header.height *
                                                   header.BytesPerPixel();
  if (fileSize < header.dataOffset + leastData) return ImageStatus::WrongFormat;
  // The pixels are gathered at their own depth (up to 32 bits) before the picture is made.
  if (!SizeAcceptable(header.width, header.height, std::max<int32_t>(24, static_cast<int32_t>(header.pixelBits)))) {
    return ImageStatus::OutOfMemory;
  }
  return ImageStatus::Ok;
}

// One pixel or colour-map entry of 15, 16, 24 or 32 bits as B, G, R.
void EntryToBgr(const uint8_t* in, uint32_t bits, uint8_t* bgr) {
  if (bits >= 24) {
    std::memcpy(bgr, in, 3);
    return;
  }
  uint32_t v = LoadLE16(in);
  uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
  bgr[0] = static_cast<uint8_t>(b << 3 | b >> 2);
  bgr[1] = static_cast<uint8_t>(g << 3 | g >> 2);
  bgr[2] = static_cast<uint8_t>(r << 3 | r >> 2);
}

}  // namespace

ImageStatus TgaInfo(const std::string& path, ImageInfo& info) {
  std::vector<uint8_t> head;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, head, fileSize, kHeaderSize);
  if (status != ImageStatus::Ok) return status;
  TgaHeader header;
  status = ParseHeader(head, fileSize, header);
  if (status == ImageStatus::OutOfMemory) AnnounceSize(info, header.width, header.height);
  if (status != ImageStatus::Ok) return status;
  info.width = static_cast<int32_t>(header.width);
  info.height = static_cast<int32_t>(header.height);
  info.bitsPerPixel = header.ColourMapped() || header.Grey() ? 8 : 24;
  return ImageStatus::Ok;
}

ImageStatus TgaLoad(const std::string& path, Picture& picture) {
  std::vector<uint8_t> file;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, file, fileSize);
  if (status != ImageStatus::Ok) return status;
  TgaHeader header;
  status = ParseHeader(file, fileSize, header);
  if (status != ImageStatus::Ok) return status;
  const bool paletted = header.ColourMapped() || header.Grey();
  status = picture.Allocate(header.width, header.height, paletted ? 8 : 24);
  if (status != ImageStatus::Ok) return status;

  if (header.ColourMapped()) {
    const uint8_t* map = file.data() + kHeaderSize + header.idLength;
    for (uint32_t i = 0; i < header.mapLength; ++i) {
      uint8_t bgr[3];
      EntryToBgr(map + i * header.MapEntryBytes(), header.mapEntryBits, bgr);
      uint32_t index = header.mapFirst + i;
      for (int c = 0; c < 3; ++c) picture.palette[index * 3 + c] = bgr[2 - c];
    }
    picture.paletteSize = static_cast<int32_t>(header.mapFirst + header.mapLength);
  } else if (header.Grey()) {
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c) picture.palette[i * 3 + c] = static_cast<uint8_t>(i);
    }
    picture.paletteSize = 256;
  }

  // Pixels in file order, then placed by the origin bits.
  const uint32_t bpp = header.BytesPerPixel();
  const uint64_t count = static_cast<uint64_t>(header.width) * header.height;
  std::vector<uint8_t> raw(static_cast<size_t>(count * bpp));
  size_t in = static_cast<size_t>(header.dataOffset);
  if (!header.runLength) {
    std::memcpy(raw.data(), file.data() + in, raw.size());
  } else {
    size_t out = 0;
    while (out < raw.size()) {
      if (in >= file.size()) return ImageStatus::Corrupt;
      uint8_t packet = file[in++];
      size_t n = (packet & 0x7F) + 1u;
      size_t literalBytes = packet & 0x80 ? bpp : n * bpp;
      if (in + literalBytes > file.size()) return ImageStatus::Corrupt;
      for (size_t i = 0; i < n && out < raw.size(); ++i, out += bpp) {
        std::memcpy(&raw[out], &file[in + (packet & 0x80 ? 0 : i * bpp)], bpp);
      }
      in += literalBytes;
    }
  }
  for (int64_t row = 0; row < header.height; ++row) {
    uint8_t* target = picture.Row(static_cast<int32_t>(header.topDown ? row : header.height - 1 - row));
    for (int64_t col = 0; col < header.width; ++col) {
      const uint8_t* source = &raw[(row * header.width + col) * bpp];
      int64_t x = header.rightToLeft ? header.width - 1 - col : col;
      if (paletted) {
        target[x] = source[0];
      } else {
        EntryToBgr(source, header.pixelBits, target + x * 3);
      }
    }
  }
  return ImageStatus::Ok;
}

ImageStatus TgaSave(const std::string& path, const Image& image, int option) {
  if (image.width > 65535 || image.height > 65535) return ImageStatus::Unsupported;
  const bool paletted = image.bitsPerPixel == 8;
  const bool runLength = option != 0;
  const uint32_t bpp = paletted ? 1 : 3;
  std::vector<uint8_t> out;
  out.push_back(0);                    // no id
  out.push_back(paletted ? 1 : 0);     // colour map present
  out.push_back(static_cast<uint8_t>((paletted ? 1 : 2) + (runLength ? 8 : 0)));
  AppendLE16(out, 0);
  AppendLE16(out, paletted ? 256 : 0);
  out.push_back(paletted ? 24 : 0);
  AppendLE16(out, 0);
  AppendLE16(out, 0);
  AppendLE16(out, static_cast<uint32_t>(image.width));
  AppendLE16(out, static_cast<uint32_t>(image.height));
  out.push_back(static_cast<uint8_t>(bpp * 8));
  out.push_back(0);  // bottom-up rows, like the image
  if (paletted) {
    for (int i = 0; i < 256; ++i) out.insert(out.end(), &image.palette[i * 4], &image.palette[i * 4] + 3);
  }
  for (int32_t row = 0; row < image.height; ++row) {
    const uint8_t* in = image.pixels.data() + static_cast<size_t>(row) * image.pitch;
    const size_t n = static_cast<size_t>(image.width);
    if (!runLength) {
      out.insert(out.end(), in, in + n * bpp);
      continue;
    }
    auto same = [&](size_t a, size_t b) { return std::memcmp(in + a * bpp, in + b * bpp, bpp) == 0; };
    for (size_t x = 0; x < n;) {  // packets stay within a row
      size_t run = 1;
      while (x + run < n && run < 128 && same(x, x + run)) ++run;
      if (run > 1) {
        out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
        out.insert(out.end(), in + x * bpp, in + (x + 1) * bpp);
        x += run;
        continue;
      }
      size_t literal = 1;
      while (x + literal < n && literal < 128 && !(x + literal + 1 < n && same(x + literal, x + literal + 1))) {
        ++literal;
      }
      out.push_back(static_cast<uint8_t>(literal - 1));
      out.insert(out.end(), in + x * bpp, in + (x + literal) * bpp);
      x += literal;
    }
  }
  return WriteFileBytes(path, out);
}

}  // namespace platform::image_codec
