// GIF files through giflib: the first picture of the file on its logical screen.
#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/image/gif_records.h"
#include "platform/image/image_codec.h"

namespace platform::image_codec {
namespace {

struct GifReader {
  GifFileType* gif = nullptr;
  explicit GifReader(const std::string& path) {
    int error = 0;
    gif = DGifOpenFileName(path.c_str(), &error);
  }
  ~GifReader() {
    int error = 0;
    if (gif) DGifCloseFile(gif, &error);
  }
};

bool LooksLikeGif(const std::string& path, ImageStatus& status) {
  std::vector<uint8_t> head;
  uint64_t fileSize = 0;
  status = ReadFileBytes(path, head, fileSize, 6);
  if (status != ImageStatus::Ok) return false;
  if (head.size() < 6 || std::memcmp(head.data(), "GIF8", 4) != 0) {
    status = ImageStatus::WrongFormat;
    return false;
  }
  return true;
}

}  // namespace

ImageStatus GifInfo(const std::string& path, ImageInfo& info) {
  ImageStatus status;
  if (!LooksLikeGif(path, status)) return status;
  GifReader reader(path);
  if (!reader.gif) return ImageStatus::Corrupt;
  if (!SizeAcceptable(reader.gif->SWidth, reader.gif->SHeight, 8)) {
    AnnounceSize(info, reader.gif->SWidth, reader.gif->SHeight);
    return ImageStatus::OutOfMemory;
  }
  info.width = reader.gif->SWidth;
  info.height = reader.gif->SHeight;
  info.bitsPerPixel = 8;
  return ImageStatus::Ok;
}

namespace {

// Reads the image whose descriptor was just read onto the picture, clipped to the screen.
ImageStatus ReadImage(GifFileType* gif, Picture& picture) {
  const GifImageDesc& desc = gif->Image;
  if (desc.Width <= 0 || desc.Height <= 0) return ImageStatus::Corrupt;
  if (!SizeAcceptable(desc.Width, desc.Height, 8)) return ImageStatus::OutOfMemory;
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  if (!map) return ImageStatus::Corrupt;
  const int colours = map->ColorCount < 256 ? map->ColorCount : 256;
  for (int i = 0; i < colours; ++i) {
    picture.palette[i * 3 + 0] = map->Colors[i].Red;
    picture.palette[i * 3 + 1] = map->Colors[i].Green;
    picture.palette[i * 3 + 2] = map->Colors[i].Blue;
  }
  picture.paletteSize = colours;
  // Interlaced images store their rows in four passes.
  std::vector<int> rows;
  if (desc.Interlace) {
    const int offsets[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = offsets[pass]; y < desc.Height; y += steps[pass]) rows.push_back(y);
    }
  } else {
    for (int y = 0; y < desc.Height; ++y) rows.push_back(y);
  }
  std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
  for (int y : rows) {
    if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) return ImageStatus::Corrupt;
    const int64_t screenY = int64_t{y} + desc.Top;
    if (screenY < 0 || screenY >= picture.height) continue;
    for (int64_t x = 0; x < desc.Width; ++x) {
      const int64_t screenX = x + desc.Left;
      if (screenX >= 0 && screenX < picture.width) picture.Row(static_cast<int32_t>(screenY))[screenX] = line[x];
    }
  }
  return ImageStatus::Ok;
}

}  // namespace

// Record by record up to the first image, which is all that is taken: whatever follows it,
// damaged or not, is never read.
ImageStatus GifLoad(const std::string& path, Picture& picture) {
  ImageStatus status;
  if (!LooksLikeGif(path, status)) return status;
  GifReader reader(path);
  if (!reader.gif) return ImageStatus::Corrupt;
  GifFileType* gif = reader.gif;
  status = picture.Allocate(gif->SWidth, gif->SHeight, 8);
  if (status != ImageStatus::Ok) return status;
  std::fill(picture.pixels.begin(), picture.pixels.end(), static_cast<uint8_t>(gif->SBackGroundColor));
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) != GIF_OK) return ImageStatus::Corrupt;
    switch (type) {
      case EXTENSION_RECORD_TYPE:
        if (!SkipGifExtension(gif)) return ImageStatus::Corrupt;
        break;
      case IMAGE_DESC_RECORD_TYPE:
        if (DGifGetImageDesc(gif) != GIF_OK) return ImageStatus::Corrupt;
        return ReadImage(gif, picture);
      default:  // the end, before any image
        return ImageStatus::Corrupt;
    }
  }
}

ImageStatus GifSave(const std::string& path, const Image& image, int /*option*/) {
  if (image.bitsPerPixel != 8) return ImageStatus::Unsupported;
  if (image.width > 65535 || image.height > 65535) return ImageStatus::Unsupported;
  GifColorType colours[256];
  for (int i = 0; i < 256; ++i) {
    colours[i].Blue = image.palette[i * 4 + 0];
    colours[i].Green = image.palette[i * 4 + 1];
    colours[i].Red = image.palette[i * 4 + 2];
  }
  int error = 0;
  // Made with the normal mode (0666 less the umask), like every file the tools write.
  const int handle = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (handle < 0) return ImageStatus::CannotWrite;
  GifFileType* gif = EGifOpenFileHandle(handle, &error);
  if (!gif) {
    close(handle);
    std::remove(path.c_str());
    return ImageStatus::CannotWrite;
  }
  ColorMapObject* map = GifMakeMapObject(256, colours);
  bool ok = map && EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
  std::vector<GifPixelType> line(static_cast<size_t>(image.width));
  for (int32_t y = 0; ok && y < image.height; ++y) {
    std::memcpy(line.data(), image.RowFromTop(y), line.size());
    ok = EGifPutLine(gif, line.data(), image.width) == GIF_OK;
  }
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  GifFreeMapObject(map);
  if (!ok) {
    std::remove(path.c_str());
    return ImageStatus::CannotWrite;
  }
  return ImageStatus::Ok;
}

}  // namespace platform::image_codec
