#include "bench/gif_clip.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>

namespace speedbench {
namespace {

struct GifWriterCloser {
  void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};
struct GifReaderCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
struct ColorMapFree {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

bool PutFrameDelay(GifFileType* gif, int delayCentiseconds) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.DelayTime = delayCentiseconds;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const size_t length = EGifGCBToExtension(&control, extension);
  return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
}

bool PutImage(GifFileType* gif, const Clip& clip, const std::vector<uint8_t>& frame, const PixelRect& rect) {
  if (EGifPutImageDesc(gif, static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.width),
                       static_cast<int>(rect.height), false, nullptr) != GIF_OK) {
    return false;
  }
  std::vector<GifPixelType> row(rect.width);
  for (uint32_t y = rect.top; y < rect.top + rect.height; ++y) {
    const uint8_t* from = frame.data() + size_t{y} * clip.width + rect.left;
    std::copy(from, from + rect.width, row.begin());
    if (EGifPutLine(gif, row.data(), static_cast<int>(rect.width)) != GIF_OK) return false;
  }
  return true;
}

// Reads an extension's blocks; a graphic control block is kept for the next image.
bool ReadExtension(GifFileType* gif, GraphicsControlBlock& control) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
      DGifExtensionToGCB(block[0], block + 1, &control) != GIF_OK) {
    return false;
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
  return true;
}

// What an image leaves to be undone before the next one is drawn.
struct Disposal {
  int mode = DISPOSE_DO_NOT;
  int64_t left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> saved;  // the rectangle as it was, for DISPOSE_PREVIOUS
};

void Dispose(const Disposal& last, std::vector<uint8_t>& canvas, int64_t screenWidth, uint8_t background) {
  if (last.mode != DISPOSE_BACKGROUND && last.mode != DISPOSE_PREVIOUS) return;
  for (int64_t y = 0; y < last.height; ++y) {
    uint8_t* row = canvas.data() + (last.top + y) * screenWidth + last.left;
    if (last.mode == DISPOSE_BACKGROUND) {
      std::fill_n(row, last.width, background);
    } else {
      std::copy_n(last.saved.data() + y * last.width, last.width, row);
    }
  }
}

}  // namespace

PixelRect ChangedRect(const uint8_t* before, const uint8_t* after, uint32_t width, uint32_t height) {
  uint32_t left = width, right = 0, top = height, bottom = 0;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* a = before + size_t{y} * width;
    const uint8_t* b = after + size_t{y} * width;
    uint32_t first = 0;
    while (first < width && a[first] == b[first]) ++first;
    if (first == width) continue;
    uint32_t last = width - 1;
    while (a[last] == b[last]) --last;
    left = std::min(left, first);
    right = std::max(right, last);
    top = std::min(top, y);
    bottom = y;
  }
  if (top == height) return {0, 0, 1, 1};
  return {left, top, right - left + 1, bottom - top + 1};
}

bool WriteCroppedGif(const std::string& path, const Clip& clip, int delayCentiseconds) {
  if (clip.frames.empty() || clip.width == 0 || clip.height == 0 || clip.width > 65535 || clip.height > 65535) {
    return false;
  }
  std::unique_ptr<ColorMapObject, ColorMapFree> map(GifMakeMapObject(256, nullptr));
  if (!map) return false;
  for (int i = 0; i < 256; ++i) {
    map->Colors[i] = {clip.palette[3 * i], clip.palette[3 * i + 1], clip.palette[3 * i + 2]};
  }
  int error = 0;
  std::unique_ptr<GifFileType, GifWriterCloser> gif(EGifOpenFileName(path.c_str(), false, &error));
  if (!gif) return false;
  EGifSetGifVersion(gif.get(), true);
  if (EGifPutScreenDesc(gif.get(), static_cast<int>(clip.width), static_cast<int>(clip.height), 8, 0, map.get()) !=
      GIF_OK) {
    return false;
  }
  for (size_t f = 0; f < clip.frames.size(); ++f) {
    const PixelRect rect = f == 0 ? PixelRect{0, 0, clip.width, clip.height}
                                  : ChangedRect(clip.frames[f - 1].data(), clip.frames[f].data(), clip.width,
                                                clip.height);
    if (!PutFrameDelay(gif.get(), delayCentiseconds) || !PutImage(gif.get(), clip, clip.frames[f], rect)) {
      return false;
    }
  }
  // Closing writes the trailer; a failure there means the file is incomplete.
  return EGifCloseFile(gif.release(), &error) == GIF_OK;
}

std::vector<uint8_t> GifGlobalColors(const std::string& path) {
  int error = 0;
  std::unique_ptr<GifFileType, GifReaderCloser> gif(DGifOpenFileName(path.c_str(), &error));
  std::vector<uint8_t> colors;
  if (!gif || !gif->SColorMap) return colors;
  for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
    const GifColorType& c = gif->SColorMap->Colors[i];
    colors.insert(colors.end(), {c.Red, c.Green, c.Blue});
  }
  return colors;
}

int DecodeGif(const std::string& path, std::vector<uint8_t>& canvas,
              const std::function<void(const std::vector<uint8_t>&)>& onFrame) {
  int error = 0;
  std::unique_ptr<GifFileType, GifReaderCloser> gif(DGifOpenFileName(path.c_str(), &error));
  if (!gif) return -1;
  const int64_t screenWidth = gif->SWidth, screenHeight = gif->SHeight;
  if (screenWidth <= 0 || screenHeight <= 0) return -1;
  const auto background = static_cast<uint8_t>(gif->SBackGroundColor);
  canvas.assign(static_cast<size_t>(screenWidth * screenHeight), background);
  std::vector<uint8_t> line;
  GraphicsControlBlock control{};
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  Disposal last;
  int frames = 0;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) != GIF_OK) return -1;
    if (record == TERMINATE_RECORD_TYPE) return frames;
    if (record == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif.get(), control)) return -1;
      continue;
    }
    if (record != IMAGE_DESC_RECORD_TYPE) return -1;
    if (DGifGetImageDesc(gif.get()) != GIF_OK) return -1;
    const GifImageDesc& image = gif->Image;
    const int64_t left = image.Left, top = image.Top, width = image.Width, height = image.Height;
    if (image.Interlace || left < 0 || top < 0 || width <= 0 || height <= 0 || left + width > screenWidth ||
        top + height > screenHeight) {
      return -1;
    }
    Dispose(last, canvas, screenWidth, background);
    last = Disposal{control.DisposalMode, left, top, width, height, {}};
    if (last.mode == DISPOSE_PREVIOUS) {
      last.saved.resize(static_cast<size_t>(width * height));
      for (int64_t y = 0; y < height; ++y) {
        std::copy_n(canvas.data() + (top + y) * screenWidth + left, width, last.saved.data() + y * width);
      }
    }
    const int transparent = control.TransparentColor;
    if (transparent != NO_TRANSPARENT_COLOR) line.resize(static_cast<size_t>(width));
    for (int64_t y = top; y < top + height; ++y) {
      uint8_t* row = canvas.data() + y * screenWidth + left;
      if (transparent == NO_TRANSPARENT_COLOR) {
        if (DGifGetLine(gif.get(), row, static_cast<int>(width)) != GIF_OK) return -1;
        continue;
      }
      // Pixels of the transparent index let the picture below show through.
      if (DGifGetLine(gif.get(), line.data(), static_cast<int>(width)) != GIF_OK) return -1;
      for (int64_t x = 0; x < width; ++x) {
        if (line[x] != transparent) row[x] = line[x];
      }
    }
    control = GraphicsControlBlock{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    ++frames;
    if (onFrame) onFrame(canvas);
  }
}

}  // namespace speedbench
