// Pictures whose headers claim more than the layer accepts, GIF files damaged after their first
// picture, TIFF orientations of paletted pictures, and the mode of written files.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/image/image.h"
#include "testsupport/scratch_directory.h"

namespace platform {
namespace {

using testsupport::ScratchDirectory;

struct Bytes {
  std::vector<uint8_t> data;
  Bytes& U8(uint32_t v) {
    data.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  Bytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  Bytes& U32(uint32_t v) { return U16(v).U16(v >> 16); }
  Bytes& Text(const char* text) {
    while (*text) U8(static_cast<uint8_t>(*text++));
    return *this;
  }
  Bytes& Zeros(size_t count) {
    data.insert(data.end(), count, 0);
    return *this;
  }
};

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A 4 x 4 GIF screen with a two-colour table; `desc` gives the first image's size.
Bytes GifScreen(uint16_t width, uint16_t height) {
  Bytes gif;
  gif.Text("GIF89a").U16(4).U16(4).U8(0x80).U8(0).U8(0);
  gif.U8(0).U8(0).U8(0).U8(255).U8(255).U8(255);
  gif.Text(",").U16(0).U16(0).U16(width).U16(height).U8(0);
  gif.U8(2).U8(2).U8(0x4C).U8(0x01).U8(0).Text(";");  // a little LZW data, then the end
  return gif;
}

// Headers that claim pictures (or scan lines) larger than the layer accepts are refused as
// too large, by the information call where the header says it and by the load, before
// anything of that size is made.
TEST(ImageLimits, HeadersBeyondTheLimitsAreRefusedAsTooLarge) {
  ScratchDirectory dir;
  struct Case {
    const char* name;
    ImageFormat format;
    std::vector<uint8_t> bytes;
    bool infoRefuses;  // the information call reads the size in question
  };
  Bytes pcx;  // 2 x 32768 pixels, but 65535 bytes per scan line
  pcx.U8(0x0A).U8(5).U8(1).U8(8).U16(0).U16(0).U16(1).U16(32767).Zeros(53).U8(1).U16(65535).Zeros(60);
  Bytes tga;  // run-length true colour of 32 bits, 16384 x 5461 pixels
  tga.U8(0).U8(0).U8(10).Zeros(9).U16(16384).U16(5461).U8(32).U8(0).U8(0xFF).U32(0);
  Bytes bmp;  // 100000 x 100000 pixels
  bmp.Text("BM").U32(0).U32(0).U32(54).U32(40).U32(100000).U32(100000).U16(1).U16(24).Zeros(24).Zeros(16);
  const Case cases[] = {
      {"lines.pcx", ImageFormat::Pcx, pcx.data, true},
      {"deep.tga", ImageFormat::Tga, tga.data, true},
      {"huge.bmp", ImageFormat::Bmp, bmp.data, true},
      {"image.gif", ImageFormat::Gif, GifScreen(65535, 65535).data, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    Write(path, c.bytes);
    ImageInfo info;
    const ImageStatus infoStatus = ReadImageInfo(c.format, path, info);
    if (c.infoRefuses) {
      EXPECT_EQ(infoStatus, ImageStatus::OutOfMemory);
      info = {4, 4, 8};
    } else {
      ASSERT_EQ(infoStatus, ImageStatus::Ok);
    }
    Image image;
    ASSERT_EQ(AllocateImage(image, info.width, info.height, info.bitsPerPixel), ImageStatus::Ok);
    EXPECT_EQ(LoadImage(c.format, path, image), ImageStatus::OutOfMemory);
  }
}

// A GIF of two pictures whose second is damaged: the first one, read record by record, is kept.
TEST(ImageLimits, AGifDamagedAfterItsFirstPictureKeepsThatPicture) {
  ScratchDirectory dir;
  const std::string path = dir / "two.gif";
  GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  ASSERT_NE(gif, nullptr);
  ColorMapObject* map = GifMakeMapObject(4, colours);
  ASSERT_EQ(EGifPutScreenDesc(gif, 8, 6, 2, 0, map), GIF_OK);
  for (int picture = 0; picture < 2; ++picture) {
    ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 8, 6, false, nullptr), GIF_OK);
    for (int y = 0; y < 6; ++y) {
      GifPixelType line[8];
      for (int x = 0; x < 8; ++x) line[x] = static_cast<GifPixelType>((x + y + picture) % 4);
      ASSERT_EQ(EGifPutLine(gif, line, 8), GIF_OK);
    }
  }
  ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK);
  GifFreeMapObject(map);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  // The second picture starts after the first one's data; its data is cut short.
  size_t second = bytes.size();
  for (size_t i = 13 + 12 + 10; i + 10 < bytes.size(); ++i) {
    if (bytes[i] == ',' && bytes[i - 1] == 0 && bytes[i + 5] == 8 && bytes[i + 7] == 6) second = i;
  }
  ASSERT_LT(second, bytes.size());
  bytes.resize(second + 12);
  Write(path, bytes);

  ImageInfo info;
  ASSERT_EQ(ReadImageInfo(ImageFormat::Gif, path, info), ImageStatus::Ok);
  Image image;
  ASSERT_EQ(AllocateImage(image, info.width, info.height, info.bitsPerPixel), ImageStatus::Ok);
  ASSERT_EQ(LoadImage(ImageFormat::Gif, path, image), ImageStatus::Ok);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(image.RowFromTop(y)[x], (x + y) % 4) << x << "," << y;
  }
  EXPECT_EQ(image.palette[1 * 4 + 2], 255);  // entry 1 is red (B, G, R, 0)

  // Cut inside the first picture, nothing is left to take.
  bytes.resize(40);
  Write(path, bytes);
  EXPECT_EQ(LoadImage(ImageFormat::Gif, path, image), ImageStatus::Corrupt);
}

// The colour of pixel (x, y) of the test pictures: index (x * 3 + y * 5) % levels.
uint8_t TestIndex(uint32_t x, uint32_t y, uint32_t bits) { return static_cast<uint8_t>((x * 3 + y * 5) % (1u << bits)); }

// Writes a TIFF of `bits` bits per pixel through its palette, or as RGB samples of the same
// colours, with the given Orientation tag.
void WriteTiff(const std::string& path, uint32_t bits, bool rgb, uint16_t orientation, uint32_t w, uint32_t h) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr);
  std::vector<uint16_t> red(256), green(256), blue(256);
  for (int i = 0; i < 256; ++i) {
    red[i] = static_cast<uint16_t>((i * 40 % 256) * 257);
    green[i] = static_cast<uint16_t>((255 - i * 7 % 256) * 257);
    blue[i] = static_cast<uint16_t>((i * 90 % 256) * 257);
  }
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, rgb ? 8 : bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, rgb ? 3 : 1);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, rgb ? PHOTOMETRIC_RGB : PHOTOMETRIC_PALETTE);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, orientation);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, h);
  if (!rgb) TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  for (uint32_t y = 0; y < h; ++y) {
    std::vector<uint8_t> line(rgb ? w * 3 : (w * bits + 7) / 8);
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t index = TestIndex(x, y, bits);
      if (rgb) {
        line[x * 3] = static_cast<uint8_t>(red[index] >> 8);
        line[x * 3 + 1] = static_cast<uint8_t>(green[index] >> 8);
        line[x * 3 + 2] = static_cast<uint8_t>(blue[index] >> 8);
      } else {
        line[x * bits / 8] |= static_cast<uint8_t>(index << (8 - bits - x * bits % 8));
      }
    }
    ASSERT_GE(TIFFWriteScanline(tiff, line.data(), y, 0), 0);
  }
  TIFFClose(tiff);
}

Image LoadTiff(const std::string& path) {
  ImageInfo info;
  Image image;
  EXPECT_EQ(ReadImageInfo(ImageFormat::Tiff, path, info), ImageStatus::Ok);
  EXPECT_EQ(AllocateImage(image, info.width, info.height, info.bitsPerPixel), ImageStatus::Ok);
  EXPECT_EQ(LoadImage(ImageFormat::Tiff, path, image), ImageStatus::Ok);
  return image;
}

// Paletted and two-colour pictures are turned as their Orientation tag says, exactly as the
// same picture stored as RGB samples.
TEST(ImageLimits, PalettedTiffsHonourTheirOrientationAsTrueColourOnesDo) {
  ScratchDirectory dir;
  const uint32_t w = 7, h = 5;
  for (uint32_t bits : {1u, 4u, 8u}) {
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
      SCOPED_TRACE("bits " + std::to_string(bits) + ", orientation " + std::to_string(orientation));
      WriteTiff(dir / "p.tif", bits, false, orientation, w, h);
      WriteTiff(dir / "c.tif", bits, true, orientation, w, h);
      const Image paletted = LoadTiff(dir / "p.tif"), colour = LoadTiff(dir / "c.tif");
      ASSERT_EQ(paletted.bitsPerPixel, 8);
      ASSERT_EQ(colour.bitsPerPixel, 24);
      ASSERT_EQ(colour.width, paletted.width);
      ASSERT_EQ(colour.height, paletted.height);
      int wrong = 0;
      for (int32_t y = 0; y < paletted.height; ++y) {
        for (int32_t x = 0; x < paletted.width; ++x) {
          const uint8_t* entry = &paletted.palette[paletted.RowFromTop(y)[x] * 4];
          wrong += std::memcmp(entry, colour.RowFromTop(y) + x * 3, 3) != 0;
        }
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}

// Written files get the normal mode: 0666 less the umask.
TEST(ImageLimits, WrittenPicturesGetTheNormalMode) {
  ScratchDirectory dir;
  Image image;
  ASSERT_EQ(AllocateImage(image, 8, 4, 8), ImageStatus::Ok);
  const mode_t old = umask(022);
  for (ImageFormat format : {ImageFormat::Bmp, ImageFormat::Gif, ImageFormat::Tiff, ImageFormat::Jpeg,
                             ImageFormat::Pcx, ImageFormat::Tga}) {
    const std::string path = dir / ("out" + std::to_string(static_cast<int>(format)));
    const int option = format == ImageFormat::Jpeg ? 90 : format == ImageFormat::Tiff ? 1 : 0;
    ASSERT_EQ(SaveImage(format, path, image, option), ImageStatus::Ok);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u) << static_cast<int>(format);
  }
  umask(old);
}

}  // namespace
}  // namespace platform
