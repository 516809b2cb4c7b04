#pragma once
// Reading GIF files record by record through giflib.
#include <gif_lib.h>

namespace platform {

// Passes over the extension record that DGifGetRecordType just announced, sub-block by
// sub-block. False when the file is damaged there.
inline bool SkipGifExtension(GifFileType* gif) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
  return true;
}

}  // namespace platform
