#include "toolsupport/picture/image_calls.h"

namespace toolsupport {
namespace {

using platform::ImageFormat;
using platform::ImageStatus;

int Code(ImageStatus status) { return static_cast<int>(status); }

int Info(ImageFormat format, const char* name, ImageInfoRecord* info) {
  if (!name || !info) return Code(ImageStatus::BadImage);
  return Code(platform::ReadImageInfo(format, name, *info));
}

int Load(ImageFormat format, const char* name, ImageRecord* image) {
  if (!name || !image) return Code(ImageStatus::BadImage);
  return Code(platform::LoadImage(format, name, *image));
}

int Save(ImageFormat format, const char* name, const ImageRecord* image, int option) {
  if (!name || !image) return Code(ImageStatus::BadImage);
  return Code(platform::SaveImage(format, name, *image, option));
}

}  // namespace

int bmpinfo(const char* name, ImageInfoRecord* info) { return Info(ImageFormat::Bmp, name, info); }
int gifinfo(const char* name, ImageInfoRecord* info) { return Info(ImageFormat::Gif, name, info); }
int tiffinfo(const char* name, ImageInfoRecord* info) { return Info(ImageFormat::Tiff, name, info); }
int pcxinfo(const char* name, ImageInfoRecord* info) { return Info(ImageFormat::Pcx, name, info); }
int tgainfo(const char* name, ImageInfoRecord* info) { return Info(ImageFormat::Tga, name, info); }
int jpeginfo(const char* name, ImageInfoRecord* info) { return Info(ImageFormat::Jpeg, name, info); }

int allocimage(ImageRecord* image, int width, int height, int bitsPerPixel) {
  if (!image) return Code(ImageStatus::BadImage);
  return Code(platform::AllocateImage(*image, width, height, bitsPerPixel));
}

void freeimage(ImageRecord* image) {
  if (image) platform::FreeImage(*image);
}

int loadbmp(const char* name, ImageRecord* image) { return Load(ImageFormat::Bmp, name, image); }
int loadgif(const char* name, ImageRecord* image) { return Load(ImageFormat::Gif, name, image); }
int loadtif(const char* name, ImageRecord* image) { return Load(ImageFormat::Tiff, name, image); }
int loadpcx(const char* name, ImageRecord* image) { return Load(ImageFormat::Pcx, name, image); }
int loadtga(const char* name, ImageRecord* image) { return Load(ImageFormat::Tga, name, image); }
int loadjpg(const char* name, ImageRecord* image) { return Load(ImageFormat::Jpeg, name, image); }

int savebmp(const char* name, const ImageRecord* image, int compression) {
  return Save(ImageFormat::Bmp, name, image, compression);
}
int savejpg(const char* name, const ImageRecord* image, int quality) {
  return Save(ImageFormat::Jpeg, name, image, quality);
}
int savetga(const char* name, const ImageRecord* image, int runLength) {
  return Save(ImageFormat::Tga, name, image, runLength);
}
int savetif(const char* name, const ImageRecord* image, int compression) {
  return Save(ImageFormat::Tiff, name, image, compression);
}
int savepcx(const char* name, const ImageRecord* image) { return Save(ImageFormat::Pcx, name, image, 0); }
int savegif(const char* name, const ImageRecord* image) { return Save(ImageFormat::Gif, name, image, 0); }

int convertrgbtopal(const ImageRecord* source, ImageRecord* target) {
  if (!source || !target) return Code(ImageStatus::BadImage);
  return Code(platform::ConvertRgbToPalette(*source, *target));
}

int convertpaltorgb(const ImageRecord* source, ImageRecord* target) {
  if (!source || !target) return Code(ImageStatus::BadImage);
  return Code(platform::ConvertPaletteToRgb(*source, *target));
}

}  // namespace toolsupport
