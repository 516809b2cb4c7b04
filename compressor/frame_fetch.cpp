#include "compressor/frame_fetch.h"

#include <cstring>

namespace compressor {

void BeginPass(FrameFetcher& fetcher, bool rewind) {
  if (rewind) fetcher.input->Rewind();
  fetcher.firstOfPass = true;
  fetcher.previousPalette.fill(0);
}

FetchResult FetchEncoderFrame(FrameFetcher& fetcher, bool ringFrame) {
  FetchResult result;
  EncoderInput& input = *fetcher.input;
  if (ringFrame) input.Rewind();
  if (fetcher.everyOther) {
    result.status = input.NextFrame();
    if (!result.status.ok()) return result;
  }
  result.status = input.NextFrame();
  if (!result.status.ok()) return result;
  const uint8_t* palette = input.Palette();
  result.firstOfPass = fetcher.firstOfPass;
  result.paletteChanged =
      std::memcmp(palette, fetcher.previousPalette.data(), fetcher.previousPalette.size()) != 0;
  std::memcpy(fetcher.previousPalette.data(), palette, fetcher.previousPalette.size());
  fetcher.firstOfPass = false;
  return result;
}

}  // namespace compressor
