// TIFF files through libtiff. Paletted and grey strip pictures of 1, 2, 4 or 8
// bits keep their palette and load as 8 bits; everything else goes through
// libtiff's RGBA reader and loads as 24 bits.
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/image/image_codec.h"

namespace platform::image_codec {
namespace {

void SilenceLibrary() {
  static const bool silenced = [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return true;
  }();
  (void)silenced;
}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

ImageStatus OpenForReading(const std::string& path, TiffPtr& tiff) {
  std::vector<uint8_t> head;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, head, fileSize, 4);
  if (status != ImageStatus::Ok) return status;
  static const uint8_t kLittle[] = {'I', 'I', 42, 0}, kBig[] = {'M', 'M', 0, 42};
  static const uint8_t kLittleBig[] = {'I', 'I', 43, 0}, kBigBig[] = {'M', 'M', 0, 43};
  if (head.size() < 4 || (std::memcmp(head.data(), kLittle, 4) != 0 && std::memcmp(head.data(), kBig, 4) != 0 &&
                          std::memcmp(head.data(), kLittleBig, 4) != 0 &&
                          std::memcmp(head.data(), kBigBig, 4) != 0)) {
    return ImageStatus::WrongFormat;
  }
  SilenceLibrary();
  tiff.reset(TIFFOpen(path.c_str(), "r"));
  return tiff ? ImageStatus::Ok : ImageStatus::Corrupt;
}

struct TiffLayout {
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
  bool Indexed() const {
    bool depthFits = bits == 1 || bits == 2 || bits == 4 || bits == 8;
    bool kindFits = photometric == PHOTOMETRIC_PALETTE || photometric == PHOTOMETRIC_MINISBLACK ||
                    photometric == PHOTOMETRIC_MINISWHITE;
    return depthFits && kindFits && samples == 1;
  }
};

ImageStatus ReadLayout(TIFF* tiff, TiffLayout& layout) {
  if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width) ||
      !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height)) {
    return ImageStatus::Corrupt;
  }
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.planar);
  if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric)) {
    layout.photometric = layout.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  }
  if (!SizeAcceptable(layout.width, layout.height, 32)) return ImageStatus::OutOfMemory;
  return ImageStatus::Ok;
}

ImageStatus LoadIndexed(TIFF* tiff, const TiffLayout& layout, Picture& picture) {
  const int bits = layout.bits;
  const uint32_t colours = 1u << bits;
  if (layout.photometric == PHOTOMETRIC_PALETTE) {
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) return ImageStatus::Corrupt;
    // Some writers store 8-bit values in the 16-bit map.
    bool eightBit = true;
    for (uint32_t i = 0; i < colours; ++i) eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
    for (uint32_t i = 0; i < colours; ++i) {
      picture.palette[i * 3 + 0] = static_cast<uint8_t>(eightBit ? red[i] : red[i] >> 8);
      picture.palette[i * 3 + 1] = static_cast<uint8_t>(eightBit ? green[i] : green[i] >> 8);
      picture.palette[i * 3 + 2] = static_cast<uint8_t>(eightBit ? blue[i] : blue[i] >> 8);
    }
  } else {
    const bool whiteIsZero = layout.photometric == PHOTOMETRIC_MINISWHITE;
    for (uint32_t i = 0; i < colours; ++i) {
      uint32_t level = i * 255 / (colours - 1);
      if (whiteIsZero) level = 255 - level;
      for (int c = 0; c < 3; ++c) picture.palette[i * 3 + c] = static_cast<uint8_t>(level);
    }
  }
  picture.paletteSize = static_cast<int32_t>(colours);
  const tmsize_t lineSize = TIFFScanlineSize(tiff);
  if (lineSize <= 0 || static_cast<uint64_t>(lineSize) * 8 < uint64_t{layout.width} * bits) {
    return ImageStatus::Corrupt;
  }
  // The stored rows are turned the way the Orientation tag says, as the true-colour reader of
  // the library turns them: the four orientations with swapped axes count as their unswapped
  // counterparts.
  uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
  const bool mirrored = orientation == ORIENTATION_TOPRIGHT || orientation == ORIENTATION_BOTRIGHT ||
                        orientation == ORIENTATION_RIGHTTOP || orientation == ORIENTATION_RIGHTBOT;
  const bool upsideDown = orientation == ORIENTATION_BOTRIGHT || orientation == ORIENTATION_BOTLEFT ||
                          orientation == ORIENTATION_RIGHTBOT || orientation == ORIENTATION_LEFTBOT;
  std::vector<uint8_t> line(static_cast<size_t>(lineSize));
  for (uint32_t y = 0; y < layout.height; ++y) {
    if (TIFFReadScanline(tiff, line.data(), y, 0) < 0) return ImageStatus::Corrupt;
    uint8_t* row = picture.Row(static_cast<int32_t>(upsideDown ? layout.height - 1 - y : y));
    for (uint32_t x = 0; x < layout.width; ++x) {
      uint64_t bitPos = uint64_t{x} * bits;
      row[mirrored ? layout.width - 1 - x : x] =
          static_cast<uint8_t>((line[bitPos / 8] >> (8 - bits - bitPos % 8)) & (colours - 1));
    }
  }
  return ImageStatus::Ok;
}

ImageStatus LoadRgb(TIFF* tiff, const TiffLayout& layout, Picture& picture) {
  std::vector<uint32_t> rgba(static_cast<size_t>(layout.width) * layout.height);
  if (!TIFFReadRGBAImageOriented(tiff, layout.width, layout.height, rgba.data(), ORIENTATION_TOPLEFT, 0)) {
    return ImageStatus::Corrupt;
  }
  for (uint32_t y = 0; y < layout.height; ++y) {
    uint8_t* row = picture.Row(static_cast<int32_t>(y));
    for (uint32_t x = 0; x < layout.width; ++x) {
      uint32_t pixel = rgba[static_cast<size_t>(y) * layout.width + x];
      row[x * 3 + 0] = static_cast<uint8_t>(TIFFGetB(pixel));
      row[x * 3 + 1] = static_cast<uint8_t>(TIFFGetG(pixel));
      row[x * 3 + 2] = static_cast<uint8_t>(TIFFGetR(pixel));
    }
  }
  return ImageStatus::Ok;
}

ImageStatus OpenWithLayout(const std::string& path, TiffPtr& tiff, TiffLayout& layout) {
  const ImageStatus status = OpenForReading(path, tiff);
  if (status != ImageStatus::Ok) return status;
  return ReadLayout(tiff.get(), layout);
}

// Tiled pictures are read as RGB whatever they hold.
bool ReadIndexed(TIFF* tiff, const TiffLayout& layout) { return layout.Indexed() && !TIFFIsTiled(tiff); }

}  // namespace

ImageStatus TiffInfo(const std::string& path, ImageInfo& info) {
  TiffPtr tiff;
  TiffLayout layout;
  const ImageStatus status = OpenWithLayout(path, tiff, layout);
  if (status == ImageStatus::OutOfMemory) AnnounceSize(info, layout.width, layout.height);
  if (status != ImageStatus::Ok) return status;
  info.width = static_cast<int32_t>(layout.width);
  info.height = static_cast<int32_t>(layout.height);
  info.bitsPerPixel = ReadIndexed(tiff.get(), layout) ? 8 : 24;
  return ImageStatus::Ok;
}

ImageStatus TiffLoad(const std::string& path, Picture& picture) {
  TiffPtr tiff;
  TiffLayout layout;
  ImageStatus status = OpenWithLayout(path, tiff, layout);
  if (status != ImageStatus::Ok) return status;
  const bool indexed = ReadIndexed(tiff.get(), layout);
  status = picture.Allocate(layout.width, layout.height, indexed ? 8 : 24);
  if (status != ImageStatus::Ok) return status;
  return indexed ? LoadIndexed(tiff.get(), layout, picture) : LoadRgb(tiff.get(), layout, picture);
}

ImageStatus TiffSave(const std::string& path, const Image& image, int option) {
  if (option <= 0 || option > 65535 || !TIFFIsCODECConfigured(static_cast<uint16_t>(option))) {
    return ImageStatus::Unsupported;
  }
  SilenceLibrary();
  TiffPtr tiff(TIFFOpen(path.c_str(), "w"));
  if (!tiff) return ImageStatus::CannotWrite;
  const bool paletted = image.bitsPerPixel == 8;
  TIFF* t = tiff.get();
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.width));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, paletted ? 1 : 3);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, paletted ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_RGB);
  TIFFSetField(t, TIFFTAG_COMPRESSION, static_cast<uint16_t>(option));
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
  if (paletted) {
    std::vector<uint16_t> red(256), green(256), blue(256);
    for (int i = 0; i < 256; ++i) {
      red[i] = static_cast<uint16_t>(image.palette[i * 4 + 2] * 257);
      green[i] = static_cast<uint16_t>(image.palette[i * 4 + 1] * 257);
      blue[i] = static_cast<uint16_t>(image.palette[i * 4 + 0] * 257);
    }
    TIFFSetField(t, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  }
  std::vector<uint8_t> line(static_cast<size_t>(image.width) * (paletted ? 1 : 3));
  bool ok = true;
  for (int32_t y = 0; ok && y < image.height; ++y) {
    const uint8_t* in = image.RowFromTop(y);
    if (paletted) {
      std::memcpy(line.data(), in, line.size());
    } else {
      for (int32_t x = 0; x < image.width; ++x) {
        line[x * 3 + 0] = in[x * 3 + 2];
        line[x * 3 + 1] = in[x * 3 + 1];
        line[x * 3 + 2] = in[x * 3 + 0];
      }
    }
    ok = TIFFWriteScanline(t, line.data(), static_cast<uint32_t>(y), 0) >= 0;
  }
  ok = TIFFFlush(t) && ok;
  tiff.reset();
  if (!ok) {
    std::remove(path.c_str());
    return ImageStatus::CannotWrite;
  }
  return ImageStatus::Ok;
}

}  // namespace platform::image_codec
