#include "platform/image/image.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "platform/image/image_codec.h"

namespace platform {
namespace {

using namespace image_codec;

struct FormatCalls {
  ImageStatus (*info)(const std::string&, ImageInfo&);
  ImageStatus (*load)(const std::string&, Picture&);
  ImageStatus (*save)(const std::string&, const Image&, int);
};

FormatCalls CallsOf(ImageFormat format) {
  switch (format) {
    case ImageFormat::Bmp: return {BmpInfo, BmpLoad, BmpSave};
    case ImageFormat::Gif: return {GifInfo, GifLoad, GifSave};
    case ImageFormat::Tiff: return {TiffInfo, TiffLoad, TiffSave};
    case ImageFormat::Jpeg: return {JpegInfo, JpegLoad, JpegSave};
    case ImageFormat::Pcx: return {PcxInfo, PcxLoad, PcxSave};
    case ImageFormat::Tga: return {TgaInfo, TgaLoad, TgaSave};
  }
  return {BmpInfo, BmpLoad, BmpSave};
}

int32_t PitchOf(int32_t width, int32_t bits) {
  return static_cast<int32_t>(((static_cast<int64_t>(width) * bits + 31) / 32) * 4);
}

bool ValidImage(const Image& image) {
  return image.width > 0 && image.height > 0 && image.pitch >= PitchOf(image.width, image.bitsPerPixel) &&
         image.pixels.size() >= static_cast<size_t>(image.pitch) * image.height;
}

}  // namespace

const char* ImageStatusReason(ImageStatus status) {
  switch (status) {
    case ImageStatus::Ok: return "no error";
    case ImageStatus::CannotOpen: return "the file cannot be read";
    case ImageStatus::WrongFormat: return "it is not a picture of its kind";
    case ImageStatus::Unsupported: return "this kind of picture cannot be read";
    case ImageStatus::Corrupt: return "the picture is damaged or cut short";
    case ImageStatus::OutOfMemory: return "the picture is too large";
    case ImageStatus::CannotWrite: return "the file cannot be written";
    case ImageStatus::BadImage: return "the picture does not fit the image made for it";
  }
  return "unknown error";
}

ImageStatus ReadImageInfo(ImageFormat format, const std::string& path, ImageInfo& info) {
  ImageInfo found;
  ImageStatus status = CallsOf(format).info(path, found);
  if (status == ImageStatus::Ok || status == ImageStatus::OutOfMemory) info = found;
  return status;
}

ImageStatus AllocateImage(Image& image, int32_t width, int32_t height, int32_t bitsPerPixel) {
  static constexpr int32_t kDepths[] = {1, 4, 8, 16, 24, 32};
  if (std::find(std::begin(kDepths), std::end(kDepths), bitsPerPixel) == std::end(kDepths)) {
    return ImageStatus::BadImage;
  }
  if (!SizeAcceptable(width, height, std::max(bitsPerPixel, 8))) return ImageStatus::OutOfMemory;
  image = Image{};
  image.width = width;
  image.height = height;
  image.bitsPerPixel = bitsPerPixel;
  image.pitch = PitchOf(width, bitsPerPixel);
  image.pixels.assign(static_cast<size_t>(image.pitch) * height, 0);
  image.coloursUsed = bitsPerPixel <= 8 ? (1 << bitsPerPixel) : 0;
  return ImageStatus::Ok;
}

void FreeImage(Image& image) { image = Image{}; }

ImageStatus LoadImage(ImageFormat format, const std::string& path, Image& image) {
  if (!ValidImage(image)) return ImageStatus::BadImage;
  Picture picture;
  ImageStatus status = CallsOf(format).load(path, picture);
  if (status != ImageStatus::Ok) return status;
  if (picture.bitsPerPixel != image.bitsPerPixel || picture.width > image.width ||
      picture.height != image.height) {
    return ImageStatus::BadImage;
  }
  for (int32_t y = 0; y < picture.height; ++y) {
    std::memcpy(image.RowFromTop(y), picture.Row(y), picture.RowBytes());
  }
  if (picture.bitsPerPixel == 8) {
    image.palette.fill(0);
    for (int32_t i = 0; i < 256; ++i) {
      image.palette[i * 4 + 0] = picture.palette[i * 3 + 2];
      image.palette[i * 4 + 1] = picture.palette[i * 3 + 1];
      image.palette[i * 4 + 2] = picture.palette[i * 3 + 0];
    }
    image.coloursUsed = picture.paletteSize;
  }
  return ImageStatus::Ok;
}

ImageStatus SaveImage(ImageFormat format, const std::string& path, const Image& image, int option) {
  if (!ValidImage(image)) return ImageStatus::BadImage;
  if (format != ImageFormat::Bmp && image.bitsPerPixel != 8 && image.bitsPerPixel != 24) {
    return ImageStatus::Unsupported;
  }
  return CallsOf(format).save(path, image, option);
}

ImageStatus ConvertPaletteToRgb(const Image& source, Image& target) {
  if (!ValidImage(source) || source.bitsPerPixel > 8) return ImageStatus::BadImage;
  Image result;
  ImageStatus status = AllocateImage(result, source.width, source.height, 24);
  if (status != ImageStatus::Ok) return status;
  const int bits = source.bitsPerPixel;
  for (int32_t y = 0; y < source.height; ++y) {
    const uint8_t* in = source.RowFromTop(y);
    uint8_t* out = result.RowFromTop(y);
    for (int32_t x = 0; x < source.width; ++x) {
      int bitPos = x * bits;
      int index = (in[bitPos / 8] >> (8 - bits - bitPos % 8)) & ((1 << bits) - 1);
      std::memcpy(out + x * 3, &source.palette[index * 4], 3);
    }
  }
  target = std::move(result);
  return ImageStatus::Ok;
}

ImageStatus ConvertRgbToPalette(const Image& source, Image& target) {
  if (!ValidImage(source) || source.bitsPerPixel != 24) return ImageStatus::BadImage;
  Image result;
  ImageStatus status = AllocateImage(result, source.width, source.height, 8);
  if (status != ImageStatus::Ok) return status;
  // Exact palette when the picture has few enough colours.
  std::map<uint32_t, uint8_t> colours;
  for (int32_t y = 0; y < source.height && colours.size() <= 256; ++y) {
    const uint8_t* in = source.RowFromTop(y);
    for (int32_t x = 0; x < source.width && colours.size() <= 256; ++x) {
      uint32_t key = in[x * 3] | (in[x * 3 + 1] << 8) | (in[x * 3 + 2] << 16);
      colours.emplace(key, 0);
    }
  }
  const bool exact = colours.size() <= 256;
  if (exact) {
    uint8_t next = 0;
    for (auto& [key, index] : colours) {
      index = next;
      result.palette[next * 4 + 0] = static_cast<uint8_t>(key);
      result.palette[next * 4 + 1] = static_cast<uint8_t>(key >> 8);
      result.palette[next * 4 + 2] = static_cast<uint8_t>(key >> 16);
      ++next;
    }
    result.coloursUsed = static_cast<int32_t>(colours.size());
  } else {
    for (int i = 0; i < 256; ++i) {  // 3 bits red, 3 green, 2 blue
      result.palette[i * 4 + 2] = static_cast<uint8_t>(((i >> 5) & 7) * 255 / 7);
      result.palette[i * 4 + 1] = static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7);
      result.palette[i * 4 + 0] = static_cast<uint8_t>((i & 3) * 255 / 3);
    }
    result.coloursUsed = 256;
  }
  for (int32_t y = 0; y < source.height; ++y) {
    const uint8_t* in = source.RowFromTop(y);
    uint8_t* out = result.RowFromTop(y);
    for (int32_t x = 0; x < source.width; ++x) {
      uint8_t b = in[x * 3], g = in[x * 3 + 1], r = in[x * 3 + 2];
      if (exact) {
        out[x] = colours[b | (g << 8) | (r << 16)];
      } else {
        out[x] = static_cast<uint8_t>(((r * 7 + 127) / 255) << 5 | ((g * 7 + 127) / 255) << 2 |
                                      ((b * 3 + 127) / 255));
      }
    }
  }
  target = std::move(result);
  return ImageStatus::Ok;
}

bool ImageFormatFromExtension(const std::string& path, ImageFormat& format) {
  size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const std::map<std::string, ImageFormat> kByExtension = {
      {"bmp", ImageFormat::Bmp}, {"dib", ImageFormat::Bmp},  {"gif", ImageFormat::Gif},
      {"tif", ImageFormat::Tiff}, {"tiff", ImageFormat::Tiff}, {"jpg", ImageFormat::Jpeg},
      {"jpeg", ImageFormat::Jpeg}, {"pcx", ImageFormat::Pcx}, {"tga", ImageFormat::Tga}};
  auto it = kByExtension.find(ext);
  if (it == kByExtension.end()) return false;
  format = it->second;
  return true;
}

namespace image_codec {

void AnnounceSize(ImageInfo& info, int64_t width, int64_t height) {
  info.width = static_cast<int32_t>(std::clamp<int64_t>(width, 0, INT32_MAX));
  info.height = static_cast<int32_t>(std::clamp<int64_t>(height, 0, INT32_MAX));
  info.bitsPerPixel = 0;
}

bool SizeAcceptable(int64_t width, int64_t height, int32_t bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
  uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * ((bitsPerPixel + 7) / 8);
  return bytes <= kMaxImageBytes;
}

ImageStatus Picture::Allocate(int64_t w, int64_t h, int32_t bits) {
  if (!SizeAcceptable(w, h, bits)) return ImageStatus::OutOfMemory;
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  bitsPerPixel = bits;
  pixels.assign(RowBytes() * height, 0);
  return ImageStatus::Ok;
}

void ImagePixelRgb(const Image& image, int32_t x, int32_t y, uint8_t rgb[3]) {
  const uint8_t* row = image.RowFromTop(y);
  const uint8_t* bgr = image.bitsPerPixel == 8 ? &image.palette[row[x] * 4] : row + x * 3;
  rgb[0] = bgr[2];
  rgb[1] = bgr[1];
  rgb[2] = bgr[0];
}

}  // namespace image_codec
}  // namespace platform
