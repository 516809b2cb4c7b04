// PCX files: run-length coded scan lines of one to four planes; 1, 2, 4 and 8 bits
// per plane. 8-bit pictures carry a 256-colour palette after the pixel data.
#include <cstring>

#include "platform/image/image_codec.h"

namespace platform::image_codec {
namespace {

constexpr size_t kHeaderSize = 128;

struct PcxHeader {
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bitsPerPlane = 0;
  uint32_t planes = 0;
  uint32_t bytesPerLine = 0;
  bool encoded = true;
  bool trueColour = false;
};

ImageStatus ParseHeader(const std::vector<uint8_t>& file, PcxHeader& header) {
  if (file.size() < kHeaderSize) return ImageStatus::WrongFormat;
  const uint8_t* p = file.data();
  uint8_t version = p[1];
  if (p[0] != 0x0A || (version != 0 && version != 2 && version != 3 && version != 4 && version != 5) ||
      p[2] > 1) {
    return ImageStatus::WrongFormat;
  }
  header.encoded = p[2] == 1;
  header.bitsPerPlane = p[3];
  uint32_t xMin = LoadLE16(p + 4), yMin = LoadLE16(p + 6), xMax = LoadLE16(p + 8), yMax = LoadLE16(p + 10);
  header.planes = p[65];
  header.bytesPerLine = LoadLE16(p + 66);
  if (xMax < xMin || yMax < yMin || header.planes == 0) return ImageStatus::WrongFormat;
  header.width = int64_t{xMax} - xMin + 1;
  header.height = int64_t{yMax} - yMin + 1;
  const uint32_t bits = header.bitsPerPlane, planes = header.planes;
  bool packed = planes == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
  bool planar = bits == 1 && planes <= 4;
  header.trueColour = bits == 8 && (planes == 3 || planes == 4);
  if (!packed && !planar && !header.trueColour) return ImageStatus::WrongFormat;
  if (uint64_t{header.bytesPerLine} * 8 < static_cast<uint64_t>(header.width) * bits) {
    return ImageStatus::WrongFormat;
  }
  if (!SizeAcceptable(header.width, header.height, 24)) return ImageStatus::OutOfMemory;
  // The scan lines are expanded whole before the picture is made from them: they too must
  // stay within the layer's limit, however long the header says a line is.
  if (uint64_t{header.bytesPerLine} * header.planes * static_cast<uint64_t>(header.height) > kMaxImageBytes) {
    return ImageStatus::OutOfMemory;
  }
  return ImageStatus::Ok;
}

}  // namespace

ImageStatus PcxInfo(const std::string& path, ImageInfo& info) {
  std::vector<uint8_t> head;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, head, fileSize, kHeaderSize);
  if (status != ImageStatus::Ok) return status;
  PcxHeader header;
  status = ParseHeader(head, header);
  if (status == ImageStatus::OutOfMemory) AnnounceSize(info, header.width, header.height);
  if (status != ImageStatus::Ok) return status;
  info.width = static_cast<int32_t>(header.width);
  info.height = static_cast<int32_t>(header.height);
  info.bitsPerPixel = header.trueColour ? 24 : 8;
  return ImageStatus::Ok;
}

ImageStatus PcxLoad(const std::string& path, Picture& picture) {
  std::vector<uint8_t> file;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, file, fileSize);
  if (status != ImageStatus::Ok) return status;
  PcxHeader header;
  status = ParseHeader(file, header);
  if (status != ImageStatus::Ok) return status;
  status = picture.Allocate(header.width, header.height, header.trueColour ? 24 : 8);
  if (status != ImageStatus::Ok) return status;

  // Expand the whole run-length stream first; runs may cross scan lines.
  const uint64_t lineBytes = uint64_t{header.bytesPerLine} * header.planes;
  std::vector<uint8_t> lines(static_cast<size_t>(lineBytes * header.height));
  size_t in = kHeaderSize, out = 0;
  while (out < lines.size()) {
    if (in >= file.size()) return ImageStatus::Corrupt;
    uint8_t byte = file[in++];
    size_t count = 1;
    if (header.encoded && byte >= 0xC0) {
      if (in >= file.size()) return ImageStatus::Corrupt;
      count = byte & 0x3F;
      byte = file[in++];
    }
    for (; count > 0 && out < lines.size(); --count) lines[out++] = byte;
  }

  const uint32_t bits = header.bitsPerPlane, planes = header.planes;
  for (int32_t y = 0; y < picture.height; ++y) {
    const uint8_t* line = lines.data() + lineBytes * y;
    uint8_t* row = picture.Row(y);
    for (int32_t x = 0; x < picture.width; ++x) {
      if (header.trueColour) {  // planes R, G, B (and an ignored fourth)
        for (int c = 0; c < 3; ++c) row[x * 3 + 2 - c] = line[c * header.bytesPerLine + x];
        continue;
      }
      uint32_t index = 0;
      for (uint32_t plane = 0; plane < planes; ++plane) {
        uint64_t bitPos = static_cast<uint64_t>(x) * bits;
        uint32_t value = (line[plane * header.bytesPerLine + bitPos / 8] >> (8 - bits - bitPos % 8)) &
                         ((1u << bits) - 1);
        index |= value << (plane * bits);
      }
      row[x] = static_cast<uint8_t>(index);
    }
  }
  if (header.trueColour) return ImageStatus::Ok;

  const uint32_t colours = 1u << (bits * planes);
  picture.paletteSize = static_cast<int32_t>(colours);
  if (bits == 8) {
    // The 256-colour palette follows a 0x0C marker at the end; without it, grey.
    bool marked = file.size() >= kHeaderSize + 769 && file[file.size() - 769] == 0x0C;
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c) {
        picture.palette[i * 3 + c] = marked ? file[file.size() - 768 + i * 3 + c] : static_cast<uint8_t>(i);
      }
    }
  } else if (colours == 2) {
    const uint8_t white[3] = {255, 255, 255};
    std::memcpy(&picture.palette[3], white, 3);
  } else {
    std::memcpy(picture.palette.data(), file.data() + 16, colours * 3);
  }
  return ImageStatus::Ok;
}

ImageStatus PcxSave(const std::string& path, const Image& image, int /*option*/) {
  const bool trueColour = image.bitsPerPixel == 24;
  const uint32_t planes = trueColour ? 3 : 1;
  const uint32_t bytesPerLine = static_cast<uint32_t>((image.width + 1) & ~1);
  if (image.width > 65536 || image.height > 65536) return ImageStatus::Unsupported;
  std::vector<uint8_t> out(kHeaderSize, 0);
  out[0] = 0x0A;
  out[1] = 5;
  out[2] = 1;
  out[3] = 8;
  auto put16At = [&](size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  put16At(8, static_cast<uint32_t>(image.width - 1));
  put16At(10, static_cast<uint32_t>(image.height - 1));
  put16At(12, 72);
  put16At(14, 72);
  out[65] = static_cast<uint8_t>(planes);
  put16At(66, bytesPerLine);
  put16At(68, 1);  // colour or grey palette

  std::vector<uint8_t> line(bytesPerLine);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.RowFromTop(y);
    for (uint32_t plane = 0; plane < planes; ++plane) {
      std::fill(line.begin(), line.end(), 0);
      for (int32_t x = 0; x < image.width; ++x) line[x] = trueColour ? row[x * 3 + 2 - plane] : row[x];
      for (size_t i = 0; i < line.size();) {  // runs never cross a plane's line
        size_t run = 1;
        while (i + run < line.size() && run < 63 && line[i + run] == line[i]) ++run;
        if (run > 1 || line[i] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
        out.push_back(line[i]);
        i += run;
      }
    }
  }
  if (!trueColour) {
    out.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c) out.push_back(image.palette[i * 4 + 2 - c]);
    }
  }
  return WriteFileBytes(path, out);
}

}  // namespace platform::image_codec
