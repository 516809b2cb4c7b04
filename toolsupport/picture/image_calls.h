#pragma once
// The picture calls the tools and the front end use: one information, load and
// save call per format, with 0 for success and a nonzero result code otherwise
// (the values of platform::ImageStatus). Images are platform::Image records: rows
// bottom-up, palette of B, G, R, 0 entries.
#include "platform/image/image.h"

namespace toolsupport {

using ImageInfoRecord = platform::ImageInfo;
using ImageRecord = platform::Image;

// 0 when the file is a picture of that kind; the record then holds its width,
// height and the bits per pixel a load delivers (8 or 24).
int bmpinfo(const char* name, ImageInfoRecord* info);
int gifinfo(const char* name, ImageInfoRecord* info);
int tiffinfo(const char* name, ImageInfoRecord* info);
int pcxinfo(const char* name, ImageInfoRecord* info);
int tgainfo(const char* name, ImageInfoRecord* info);
int jpeginfo(const char* name, ImageInfoRecord* info);

// A zeroed pixel block of that size and depth; 0 on success.
int allocimage(ImageRecord* image, int width, int height, int bitsPerPixel);
void freeimage(ImageRecord* image);

// Fill an image made by allocimage with the size and depth the info call gave.
int loadbmp(const char* name, ImageRecord* image);
int loadgif(const char* name, ImageRecord* image);
int loadtif(const char* name, ImageRecord* image);
int loadpcx(const char* name, ImageRecord* image);
int loadtga(const char* name, ImageRecord* image);
int loadjpg(const char* name, ImageRecord* image);

// Nonzero on failure. savebmp takes 0 (uncompressed); savejpg the quality (the
// tools pass 100); savetga nonzero for run-length packets; savetif the TIFF
// compression code (1 = none).
int savebmp(const char* name, const ImageRecord* image, int compression);
int savejpg(const char* name, const ImageRecord* image, int quality);
int savetga(const char* name, const ImageRecord* image, int runLength);
int savetif(const char* name, const ImageRecord* image, int compression);
int savepcx(const char* name, const ImageRecord* image);
int savegif(const char* name, const ImageRecord* image);

// 24-bit to 8-bit and 8-bit to 24-bit copies; 0 on success.
int convertrgbtopal(const ImageRecord* source, ImageRecord* target);
int convertpaltorgb(const ImageRecord* source, ImageRecord* target);

}  // namespace toolsupport
