#include "fuzz/picture_target.h"

#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"

namespace fuzz {

int FuzzPicture(platform::ImageFormat format, const char* extension, const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, extension);
  platform::ImageInfo info;
  if (path.empty() || platform::ReadImageInfo(format, path, info) != platform::ImageStatus::Ok) return 0;
  if (uint64_t(info.width) * uint64_t(info.height) > kMaxPixels) return 0;
  platform::Image image;
  if (platform::AllocateImage(image, info.width, info.height, info.bitsPerPixel) != platform::ImageStatus::Ok) {
    return 0;
  }
  platform::LoadImage(format, path, image);
  platform::FreeImage(image);
  return 0;
}

int FuzzBmp(const uint8_t* data, size_t size) { return FuzzPicture(platform::ImageFormat::Bmp, ".bmp", data, size); }
int FuzzPcx(const uint8_t* data, size_t size) { return FuzzPicture(platform::ImageFormat::Pcx, ".pcx", data, size); }
int FuzzTga(const uint8_t* data, size_t size) { return FuzzPicture(platform::ImageFormat::Tga, ".tga", data, size); }
int FuzzGif(const uint8_t* data, size_t size) { return FuzzPicture(platform::ImageFormat::Gif, ".gif", data, size); }
int FuzzJpeg(const uint8_t* data, size_t size) {
  return FuzzPicture(platform::ImageFormat::Jpeg, ".jpg", data, size);
}
int FuzzTiff(const uint8_t* data, size_t size) {
  return FuzzPicture(platform::ImageFormat::Tiff, ".tif", data, size);
}

}  // namespace fuzz
