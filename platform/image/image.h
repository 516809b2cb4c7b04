#pragma once
// Still pictures in memory and on disk: BMP, GIF, TIFF, JPEG, PCX and TGA.
//
// An Image is a pixel block with rows stored bottom-up (row 0 in memory is the
// bottom row of the picture), each row padded to a multiple of 4 bytes, and a
// 256-entry palette of B, G, R, 0 quadruples. Loading always gives 8 bits per pixel
// (paletted and grey pictures, the palette filled) or 24 bits (B, G, R bytes) for
// everything deeper; saving takes 8-bit or 24-bit images (BMP also 1, 4 and 32 bits).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class ImageFormat { Bmp, Gif, Tiff, Jpeg, Pcx, Tga };

// Result codes; Ok is 0, every failure is nonzero.
enum class ImageStatus : int {
  Ok = 0,
  CannotOpen = 1,     // the file cannot be opened or read
  WrongFormat = 2,    // the file is not a picture of the format asked for
  Unsupported = 3,    // a variant of the format that is not handled
  Corrupt = 4,        // the file is damaged or truncated
  OutOfMemory = 5,    // the picture is larger than the layer accepts
  CannotWrite = 6,    // the output file could not be written
  BadImage = 7,       // the image record does not fit the call
};

// Why a call failed, in words that complete "Error reading: <file> (...)".
const char* ImageStatusReason(ImageStatus status);

// Largest picture side and largest pixel block the layer accepts.
inline constexpr int32_t kMaxImageSide = 32768;
inline constexpr uint64_t kMaxImageBytes = uint64_t{1} << 28;

struct ImageInfo {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 0;  // 8 or 24: the depth a load delivers
};

struct Image {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 0;
  int32_t pitch = 0;  // bytes per row, a multiple of 4
  std::vector<uint8_t> pixels;
  std::array<uint8_t, 1024> palette{};  // B, G, R, 0 per entry
  int32_t coloursUsed = 0;

  // Row y counted from the top of the picture.
  uint8_t* RowFromTop(int32_t y) { return pixels.data() + static_cast<size_t>(height - 1 - y) * pitch; }
  const uint8_t* RowFromTop(int32_t y) const {
    return pixels.data() + static_cast<size_t>(height - 1 - y) * pitch;
  }
};

// Reads only as much of the file as needed to tell whether it is a picture of the
// format and its size. Ok and the info filled, or why not; OutOfMemory for a size past the
// limits, with the size the header announces in width and height (depth 0).
ImageStatus ReadImageInfo(ImageFormat format, const std::string& path, ImageInfo& info);

// Makes a zeroed pixel block (bits 1, 4, 8, 16, 24 or 32).
ImageStatus AllocateImage(Image& image, int32_t width, int32_t height, int32_t bitsPerPixel);
void FreeImage(Image& image);

// Loads a picture into an image made by AllocateImage with the size and depth that
// ReadImageInfo gave (a wider image is allowed: the extra columns are left as they are).
ImageStatus LoadImage(ImageFormat format, const std::string& path, Image& image);

// Saves an image. `option`: BMP 0 (no compression); JPEG the quality 1 to 100;
// TGA nonzero for run-length packets; TIFF the TIFF compression code (1 none,
// 5 LZW, 32773 PackBits); ignored for GIF and PCX. GIF needs an 8-bit image; 8-bit
// images are saved to JPEG expanded through their palette.
ImageStatus SaveImage(ImageFormat format, const std::string& path, const Image& image, int option);

// 8-bit (or 1- and 4-bit) image to a 24-bit one through its palette.
ImageStatus ConvertPaletteToRgb(const Image& source, Image& target);
// 24-bit image to an 8-bit one: the palette of the distinct colours when there are
// at most 256 of them, else a fixed 3-3-2 colour cube.
ImageStatus ConvertRgbToPalette(const Image& source, Image& target);

// The format a file name's extension names (case ignored), if any.
bool ImageFormatFromExtension(const std::string& path, ImageFormat& format);

}  // namespace platform
