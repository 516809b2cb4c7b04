#pragma once
// Shared pieces of the picture readers and writers (not part of the public layer).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/image/image.h"
#include "platform/system/little_endian.h"

namespace platform::image_codec {

// A decoded picture: rows top-down, packed (width × bytes per pixel), 8 bits with
// an R, G, B palette or 24 bits as B, G, R.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 8;
  std::vector<uint8_t> pixels;
  std::array<uint8_t, 768> palette{};  // R, G, B
  int32_t paletteSize = 0;

  size_t RowBytes() const { return static_cast<size_t>(width) * (bitsPerPixel / 8); }
  uint8_t* Row(int32_t y) { return pixels.data() + y * RowBytes(); }
  // Sizes the pixel block after checking the dimensions against the layer's limits.
  ImageStatus Allocate(int64_t w, int64_t h, int32_t bits);
};

// True when both sides are positive and the layer accepts the picture's size.
bool SizeAcceptable(int64_t width, int64_t height, int32_t bitsPerPixel);
// The size a header announces that is past the limits, kept for the message that refuses it.
void AnnounceSize(ImageInfo& info, int64_t width, int64_t height);

// The whole file, or its first `limit` bytes. Also gives the file's size.
ImageStatus ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, uint64_t& fileSize,
                          uint64_t limit = UINT64_MAX);
ImageStatus WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Pixel (x, y from the top) of an 8-bit or 24-bit image as R, G, B.
void ImagePixelRgb(const Image& image, int32_t x, int32_t y, uint8_t rgb[3]);

// Per-format calls. Info reads as little as it can; Load gives a Picture; Save
// takes an 8-bit or 24-bit image (BMP any depth).
ImageStatus BmpInfo(const std::string& path, ImageInfo& info);
ImageStatus BmpLoad(const std::string& path, Picture& picture);
ImageStatus BmpSave(const std::string& path, const Image& image, int option);
ImageStatus GifInfo(const std::string& path, ImageInfo& info);
ImageStatus GifLoad(const std::string& path, Picture& picture);
ImageStatus GifSave(const std::string& path, const Image& image, int option);
ImageStatus TiffInfo(const std::string& path, ImageInfo& info);
ImageStatus TiffLoad(const std::string& path, Picture& picture);
ImageStatus TiffSave(const std::string& path, const Image& image, int option);
ImageStatus JpegInfo(const std::string& path, ImageInfo& info);
ImageStatus JpegLoad(const std::string& path, Picture& picture);
ImageStatus JpegSave(const std::string& path, const Image& image, int option);
ImageStatus PcxInfo(const std::string& path, ImageInfo& info);
ImageStatus PcxLoad(const std::string& path, Picture& picture);
ImageStatus PcxSave(const std::string& path, const Image& image, int option);
ImageStatus TgaInfo(const std::string& path, ImageInfo& info);
ImageStatus TgaLoad(const std::string& path, Picture& picture);
ImageStatus TgaSave(const std::string& path, const Image& image, int option);

}  // namespace platform::image_codec
