#include "platform/image/image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "testsupport/scratch_directory.h"

namespace platform {
namespace {

using testsupport::ScratchDirectory;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

const std::vector<ImageFormat> kAllFormats = {ImageFormat::Bmp, ImageFormat::Gif, ImageFormat::Tiff,
                                              ImageFormat::Jpeg, ImageFormat::Pcx, ImageFormat::Tga};

const char* Name(ImageFormat f) {
  switch (f) {
    case ImageFormat::Bmp: return "bmp";
    case ImageFormat::Gif: return "gif";
    case ImageFormat::Tiff: return "tif";
    case ImageFormat::Jpeg: return "jpg";
    case ImageFormat::Pcx: return "pcx";
    case ImageFormat::Tga: return "tga";
  }
  return "?";
}

// An odd-sized picture so that row padding matters; index and colour vary per pixel.
Image MakePaletted(int32_t width = 13, int32_t height = 7) {
  Image image;
  EXPECT_EQ(AllocateImage(image, width, height, 8), ImageStatus::Ok);
  for (int i = 0; i < 256; ++i) {
    image.palette[i * 4 + 0] = static_cast<uint8_t>(i * 7);
    image.palette[i * 4 + 1] = static_cast<uint8_t>(255 - i);
    image.palette[i * 4 + 2] = static_cast<uint8_t>(i * 13 + 5);
  }
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) image.RowFromTop(y)[x] = static_cast<uint8_t>((x * 37 + y * 91) & 255);
  }
  return image;
}

Image MakeTrueColour(int32_t width = 13, int32_t height = 7) {
  Image image;
  EXPECT_EQ(AllocateImage(image, width, height, 24), ImageStatus::Ok);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = image.RowFromTop(y) + x * 3;
      p[0] = static_cast<uint8_t>(x * 19);
      p[1] = static_cast<uint8_t>(y * 31);
      p[2] = static_cast<uint8_t>(200 - x * 5 - y * 3);
    }
  }
  return image;
}

Image LoadAs(ImageFormat format, const std::string& path) {
  ImageInfo info;
  Image image;
  EXPECT_EQ(ReadImageInfo(format, path, info), ImageStatus::Ok) << path;
  EXPECT_EQ(AllocateImage(image, info.width, info.height, info.bitsPerPixel), ImageStatus::Ok);
  EXPECT_EQ(LoadImage(format, path, image), ImageStatus::Ok) << path;
  return image;
}

// Largest difference of any colour component between two images seen as R, G, B.
int MaxColourDifference(const Image& a, const Image& b) {
  Image ra, rb;
  const Image* pa = &a;
  const Image* pb = &b;
  if (a.bitsPerPixel == 8) { EXPECT_EQ(ConvertPaletteToRgb(a, ra), ImageStatus::Ok); pa = &ra; }
  if (b.bitsPerPixel == 8) { EXPECT_EQ(ConvertPaletteToRgb(b, rb), ImageStatus::Ok); pb = &rb; }
  int worst = 0;
  for (int32_t y = 0; y < a.height; ++y) {
    for (int32_t x = 0; x < a.width * 3; ++x) {
      worst = std::max(worst, std::abs(pa->RowFromTop(y)[x] - pb->RowFromTop(y)[x]));
    }
  }
  return worst;
}

void ExpectSamePixelsAndPalette(const Image& expected, const Image& actual, const std::string& what) {
  ASSERT_EQ(actual.width, expected.width) << what;
  ASSERT_EQ(actual.height, expected.height) << what;
  ASSERT_EQ(actual.bitsPerPixel, expected.bitsPerPixel) << what;
  for (int32_t y = 0; y < expected.height; ++y) {
    const size_t rowBytes = static_cast<size_t>(expected.width) * expected.bitsPerPixel / 8;
    ASSERT_EQ(0, std::memcmp(expected.RowFromTop(y), actual.RowFromTop(y), rowBytes)) << what << " row " << y;
  }
  if (expected.bitsPerPixel == 8) {
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(0, std::memcmp(&expected.palette[i * 4], &actual.palette[i * 4], 3)) << what << " entry " << i;
    }
  }
}

int DefaultOption(ImageFormat f) {
  switch (f) {
    case ImageFormat::Jpeg: return 100;
    case ImageFormat::Tga: return 1;
    case ImageFormat::Tiff: return 1;
    default: return 0;
  }
}

TEST(ImageLayer, PalettedPicturesRoundTripExactlyExceptJpeg) {
  ScratchDirectory dir;
  Image original = MakePaletted();
  for (ImageFormat format : kAllFormats) {
    std::string path = dir / (std::string("p.") + Name(format));
    ASSERT_EQ(SaveImage(format, path, original, DefaultOption(format)), ImageStatus::Ok) << Name(format);
    Image loaded = LoadAs(format, path);
    if (format == ImageFormat::Jpeg) {
      // Expanded through the palette into colour: only approximately kept.
      EXPECT_EQ(loaded.bitsPerPixel, 24);
      continue;
    }
    ExpectSamePixelsAndPalette(original, loaded, Name(format));
  }
  // The other variants of the writers read back as well.
  for (auto [format, option] : {std::pair{ImageFormat::Tga, 0}, std::pair{ImageFormat::Tiff, 5},
                                std::pair{ImageFormat::Tiff, 32773}}) {
    std::string path = dir / (std::string("v") + std::to_string(option) + "." + Name(format));
    ASSERT_EQ(SaveImage(format, path, original, option), ImageStatus::Ok);
    ExpectSamePixelsAndPalette(original, LoadAs(format, path), path);
  }
}

TEST(ImageLayer, TrueColourPicturesRoundTrip) {
  ScratchDirectory dir;
  Image original = MakeTrueColour(37, 21);
  for (ImageFormat format : kAllFormats) {
    std::string path = dir / (std::string("t.") + Name(format));
    ImageStatus saved = SaveImage(format, path, original, DefaultOption(format));
    if (format == ImageFormat::Gif) {
      EXPECT_EQ(saved, ImageStatus::Unsupported);  // GIF holds paletted pictures only
      continue;
    }
    ASSERT_EQ(saved, ImageStatus::Ok) << Name(format);
    Image loaded = LoadAs(format, path);
    if (format == ImageFormat::Jpeg) {
      // Lossy: a smooth picture keeps its colours and their order closely.
      Image smooth = MakeTrueColour(37, 21);
      for (int32_t y = 0; y < 21; ++y) {
        for (int32_t x = 0; x < 37; ++x) {
          uint8_t* p = smooth.RowFromTop(y) + x * 3;
          p[0] = static_cast<uint8_t>(x * 6), p[1] = static_cast<uint8_t>(y * 12), p[2] = 40;
        }
      }
      ASSERT_EQ(SaveImage(format, path, smooth, 100), ImageStatus::Ok);
      EXPECT_LE(MaxColourDifference(smooth, LoadAs(format, path)), 6);
    } else {
      ExpectSamePixelsAndPalette(original, loaded, Name(format));
    }
  }
}

TEST(ImageLayer, EachInfoCallRefusesTheOtherFormats) {
  ScratchDirectory dir;
  Image paletted = MakePaletted();
  Image colour = MakeTrueColour();
  for (ImageFormat written : kAllFormats) {
    for (const Image* image : {&paletted, &colour}) {
      if (written == ImageFormat::Gif && image == &colour) continue;
      std::string path = dir / (std::string("x") + std::to_string(image->bitsPerPixel) + "." + Name(written));
      ASSERT_EQ(SaveImage(written, path, *image, DefaultOption(written)), ImageStatus::Ok);
      for (ImageFormat probed : kAllFormats) {
        ImageInfo info;
        ImageStatus status = ReadImageInfo(probed, path, info);
        if (probed == written) {
          EXPECT_EQ(status, ImageStatus::Ok) << path;
          EXPECT_EQ(info.width, image->width);
          EXPECT_EQ(info.height, image->height);
        } else {
          EXPECT_NE(status, ImageStatus::Ok) << Name(probed) << " took " << path;
        }
      }
    }
  }
  ImageInfo info;
  EXPECT_EQ(ReadImageInfo(ImageFormat::Bmp, dir / "missing.bmp", info), ImageStatus::CannotOpen);
}

TEST(ImageLayer, LoadRefusesAnImageOfTheWrongShape) {
  ScratchDirectory dir;
  std::string path = dir / "a.bmp";
  ASSERT_EQ(SaveImage(ImageFormat::Bmp, path, MakePaletted(), 0), ImageStatus::Ok);
  Image wrongDepth, tooNarrow, unallocated, wider;
  ASSERT_EQ(AllocateImage(wrongDepth, 13, 7, 24), ImageStatus::Ok);
  EXPECT_EQ(LoadImage(ImageFormat::Bmp, path, wrongDepth), ImageStatus::BadImage);
  ASSERT_EQ(AllocateImage(tooNarrow, 12, 7, 8), ImageStatus::Ok);
  EXPECT_EQ(LoadImage(ImageFormat::Bmp, path, tooNarrow), ImageStatus::BadImage);
  EXPECT_EQ(LoadImage(ImageFormat::Bmp, path, unallocated), ImageStatus::BadImage);
  // One column wider is allowed: the picture fills the left part.
  ASSERT_EQ(AllocateImage(wider, 14, 7, 8), ImageStatus::Ok);
  ASSERT_EQ(LoadImage(ImageFormat::Bmp, path, wider), ImageStatus::Ok);
  EXPECT_EQ(wider.RowFromTop(3)[5], MakePaletted().RowFromTop(3)[5]);
  EXPECT_EQ(AllocateImage(wider, 0, 7, 8), ImageStatus::OutOfMemory);
  EXPECT_EQ(AllocateImage(wider, 4, 7, 12), ImageStatus::BadImage);
}

// Hand-made bitmaps for what our writer never produces.
std::vector<uint8_t> BitmapFile(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                                const std::vector<uint8_t>& palette, const std::vector<uint8_t>& data,
                                const std::vector<uint8_t>& masks = {}) {
  std::vector<uint8_t> out = {'B', 'M'};
  auto u16 = [&](uint32_t v) { out.push_back(v & 255); out.push_back((v >> 8) & 255); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  uint32_t offset = static_cast<uint32_t>(14 + 40 + masks.size() + palette.size());
  u32(offset + static_cast<uint32_t>(data.size()));
  u32(0);
  u32(offset);
  u32(40);
  u32(static_cast<uint32_t>(width));
  u32(static_cast<uint32_t>(height));
  u16(1);
  u16(bits);
  u32(compression);
  u32(static_cast<uint32_t>(data.size()));
  u32(0); u32(0);
  u32(static_cast<uint32_t>(palette.size() / 4));
  u32(0);
  out.insert(out.end(), masks.begin(), masks.end());
  out.insert(out.end(), palette.begin(), palette.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

TEST(ImageLayer, BitmapVariantsDecode) {
  ScratchDirectory dir;
  std::vector<uint8_t> palette = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0};  // black, white, red
  // RLE8, 4x3: row 0 (bottom) a run of 4 red, then a delta up one row and right two,
  // a literal of two, then a hostile delta far outside and more runs that must be dropped.
  std::vector<uint8_t> rle = {4, 2, 0, 0, 0, 2, 2, 1, 0, 3, 1, 2, 1, 0,
                              0, 2, 200, 200, 9, 1, 0, 0, 0, 1};
  std::string path = dir / "rle.bmp";
  WriteBytes(path, BitmapFile(4, 3, 8, 1, palette, rle));
  Image image = LoadAs(ImageFormat::Bmp, path);
  ASSERT_EQ(image.bitsPerPixel, 8);
  const uint8_t expected[3][4] = {{0, 0, 1, 2}, {0, 0, 0, 0}, {2, 2, 2, 2}};  // from the top
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image.RowFromTop(y)[x], expected[y][x]) << x << "," << y;
  }
  EXPECT_EQ(image.palette[2 * 4 + 2], 255);

  // 16-bit 5-6-5 bit fields, top-down (negative height), 2x2.
  std::vector<uint8_t> masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  std::vector<uint8_t> pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF};
  path = dir / "565.bmp";
  WriteBytes(path, BitmapFile(2, -2, 16, 3, {}, pixels, masks));
  image = LoadAs(ImageFormat::Bmp, path);
  ASSERT_EQ(image.bitsPerPixel, 24);
  const uint8_t* top = image.RowFromTop(0);
  EXPECT_EQ(std::vector<uint8_t>(top, top + 6), (std::vector<uint8_t>{0, 0, 255, 0, 255, 0}));
  const uint8_t* bottom = image.RowFromTop(1);
  EXPECT_EQ(std::vector<uint8_t>(bottom, bottom + 6), (std::vector<uint8_t>{255, 0, 0, 255, 255, 255}));
}

TEST(ImageLayer, DamagedAndOversizedFilesAreRefused) {
  ScratchDirectory dir;
  Image paletted = MakePaletted(40, 30);
  for (ImageFormat format : kAllFormats) {
    std::string path = dir / (std::string("d.") + Name(format));
    ASSERT_EQ(SaveImage(format, path, paletted, DefaultOption(format)), ImageStatus::Ok);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    // Truncated to a third: the load fails or keeps within the picture, never crashes.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 3);
    std::string cutPath = dir / (std::string("cut.") + Name(format));
    WriteBytes(cutPath, cut);
    ImageInfo info;
    if (ReadImageInfo(format, cutPath, info) == ImageStatus::Ok) {
      Image image;
      ASSERT_EQ(AllocateImage(image, info.width, info.height, info.bitsPerPixel), ImageStatus::Ok);
      (void)LoadImage(format, cutPath, image);
    }
  }
  // A bitmap header claiming 100000 x 100000 pixels.
  std::vector<uint8_t> huge = BitmapFile(100000, 100000, 24, 0, {}, std::vector<uint8_t>(64));
  WriteBytes(dir / "huge.bmp", huge);
  ImageInfo info;
  EXPECT_EQ(ReadImageInfo(ImageFormat::Bmp, dir / "huge.bmp", info), ImageStatus::OutOfMemory);
  // A bitmap whose pixel data is missing.
  WriteBytes(dir / "short.bmp", BitmapFile(64, 64, 24, 0, {}, std::vector<uint8_t>(100)));
  Image image;
  ASSERT_EQ(ReadImageInfo(ImageFormat::Bmp, dir / "short.bmp", info), ImageStatus::Ok);
  ASSERT_EQ(AllocateImage(image, 64, 64, 24), ImageStatus::Ok);
  EXPECT_EQ(LoadImage(ImageFormat::Bmp, dir / "short.bmp", image), ImageStatus::Corrupt);
}

// Our own readers see damaged data everywhere after the picture's size: they must
// refuse it or decode within the picture (the sanitizer build checks the second).
TEST(ImageLayer, RandomlyDamagedFilesOfOurOwnReadersAreHandled) {
  ScratchDirectory dir;
  Image paletted = MakePaletted(33, 17);
  Image colour = MakeTrueColour(33, 17);
  struct Case { ImageFormat format; const Image* image; int option; size_t keep; };
  const Case cases[] = {{ImageFormat::Bmp, &paletted, 0, 26}, {ImageFormat::Bmp, &colour, 0, 26},
                        {ImageFormat::Pcx, &paletted, 0, 12}, {ImageFormat::Pcx, &colour, 0, 12},
                        {ImageFormat::Tga, &paletted, 1, 16}, {ImageFormat::Tga, &colour, 1, 16},
                        {ImageFormat::Tga, &colour, 0, 16}};
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  int loaded = 0;
  for (const Case& c : cases) {
    std::string path = dir / (std::string("f.") + Name(c.format));
    ASSERT_EQ(SaveImage(c.format, path, *c.image, c.option), ImageStatus::Ok);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> original(std::istreambuf_iterator<char>(in), {});
    for (int round = 0; round < 150; ++round) {
      std::vector<uint8_t> bytes = original;
      for (int hits = 1 + next() % 8; hits > 0; --hits) {
        bytes[c.keep + next() % (bytes.size() - c.keep)] = static_cast<uint8_t>(next());
      }
      if (round % 5 == 0) bytes.resize(c.keep + next() % (bytes.size() - c.keep));
      WriteBytes(path, bytes);
      ImageInfo info;
      if (ReadImageInfo(c.format, path, info) != ImageStatus::Ok) continue;
      Image image;
      ASSERT_EQ(AllocateImage(image, info.width, info.height, info.bitsPerPixel), ImageStatus::Ok);
      if (LoadImage(c.format, path, image) == ImageStatus::Ok) ++loaded;
    }
  }
  EXPECT_GT(loaded, 0);  // damage inside the pixels still gives a picture
}

TEST(ImageLayer, ConversionsKeepColours) {
  Image paletted = MakePaletted();
  Image colour, back;
  ASSERT_EQ(ConvertPaletteToRgb(paletted, colour), ImageStatus::Ok);
  EXPECT_EQ(MaxColourDifference(paletted, colour), 0);
  ASSERT_EQ(ConvertRgbToPalette(colour, back), ImageStatus::Ok);
  EXPECT_EQ(MaxColourDifference(colour, back), 0);  // fewer than 257 colours: exact
  Image many = MakeTrueColour(64, 64), reduced;
  ASSERT_EQ(ConvertRgbToPalette(many, reduced), ImageStatus::Ok);
  EXPECT_LE(MaxColourDifference(many, reduced), 43);
}

// Pictures made by an independent writer (Python's imaging library), when installed.
std::string FindPythonWithImaging() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    std::string command = std::string(python) + " -c 'import PIL' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) return python;
  }
  return {};
}

TEST(ImageLayer, ReadsPicturesMadeByAnIndependentWriter) {
  std::string python = FindPythonWithImaging();
  if (python.empty()) GTEST_SKIP() << "python3 with PIL is not installed";
  ScratchDirectory dir;
  std::string script = dir / "make.py";
  std::ofstream(script) << R"(import sys
from PIL import Image
out = sys.argv[1]
w, h = 23, 11
pal = Image.new('P', (w, h))
pal.putpalette([v for i in range(256) for v in ((i * 5) % 256, (i * 3) % 256, 255 - i)])
pal.putdata([(x * 7 + y * 11) % 256 for y in range(h) for x in range(w)])
rgb = Image.new('RGB', (w, h))
rgb.putdata([((x * 10) % 256, (y * 20) % 256, (x * y) % 256) for y in range(h) for x in range(w)])
pal.save(out + '/p.bmp'); pal.save(out + '/p.gif'); pal.save(out + '/p.tif'); pal.save(out + '/p.pcx')
pal.save(out + '/p.tga'); pal.save(out + '/prle.tga', compression='tga_rle')
rgb.save(out + '/c.bmp'); rgb.save(out + '/c.tif'); rgb.save(out + '/c.pcx'); rgb.save(out + '/c.tga')
rgb.save(out + '/crle.tga', compression='tga_rle'); rgb.save(out + '/c.jpg', quality=100)
rgb.convert('L').save(out + '/g.jpg', quality=100)
)";
  ASSERT_EQ(std::system((python + " " + script + " " + dir / "").c_str()), 0);
  const int32_t w = 23, h = 11;
  auto check = [&](const std::string& file, ImageFormat format, int tolerance) {
    SCOPED_TRACE(file);
    Image image = LoadAs(format, dir / file);
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h);
    int worst = 0;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t rgb[3];
        const uint8_t* row = image.RowFromTop(y);
        const uint8_t* bgr = image.bitsPerPixel == 8 ? &image.palette[row[x] * 4] : row + x * 3;
        rgb[0] = bgr[2], rgb[1] = bgr[1], rgb[2] = bgr[0];
        int expected[3];
        if (file[0] == 'p') {
          int i = (x * 7 + y * 11) % 256;
          if (format != ImageFormat::Gif) {  // its GIF writer reorders the palette
            EXPECT_EQ(row[x], i);
          }
          expected[0] = (i * 5) % 256, expected[1] = (i * 3) % 256, expected[2] = 255 - i;
        } else {
          expected[0] = (x * 10) % 256, expected[1] = (y * 20) % 256, expected[2] = (x * y) % 256;
          if (file[0] == 'g') {  // the imaging library's own grey weighting
            int grey = (expected[0] * 299 + expected[1] * 587 + expected[2] * 114) / 1000;
            expected[0] = expected[1] = expected[2] = grey;
          }
        }
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(rgb[c] - expected[c]));
      }
    }
    EXPECT_LE(worst, tolerance);
  };
  for (const char* f : {"p.bmp", "c.bmp"}) check(f, ImageFormat::Bmp, 0);
  check("p.gif", ImageFormat::Gif, 0);
  for (const char* f : {"p.tif", "c.tif"}) check(f, ImageFormat::Tiff, 0);
  for (const char* f : {"p.pcx", "c.pcx"}) check(f, ImageFormat::Pcx, 0);
  for (const char* f : {"p.tga", "prle.tga", "c.tga", "crle.tga"}) check(f, ImageFormat::Tga, 0);
  check("c.jpg", ImageFormat::Jpeg, 24);
  check("g.jpg", ImageFormat::Jpeg, 3);
}

}  // namespace
}  // namespace platform
