#include "toolsupport/colour/palette_steps.h"

#include <algorithm>
#include <cstring>

void CountFrameColours(ColourHistogram& histogram, const ColourFrame& frame) {
  std::vector<uint8_t> unpacked(frame.bitsPerPixel == 4 ? frame.copyWidth : 0);
  const uint8_t* row = frame.pixels;
  for (int y = 0; y < frame.copyHeight; ++y, row += frame.pitch) {
    switch (frame.bitsPerPixel) {
      case 4:
        UnpackRow4(unpacked.data(), row, frame.copyWidth);
        CountColors8(histogram, unpacked.data(), frame.copyWidth, frame.palette);
        break;
      case 8: CountColors8(histogram, row, frame.copyWidth, frame.palette); break;
      case 16: CountColors16(histogram, row, frame.copyWidth); break;
      case 24: CountColors24(histogram, row, frame.copyWidth); break;
      case 32: CountColors32(histogram, row, frame.copyWidth); break;
      default: break;
    }
  }
  uint64_t fullWidth = static_cast<uint64_t>(frame.copyWidth) + frame.missingColumns;
  histogram.counts[0] += static_cast<uint64_t>(frame.missingColumns) * frame.copyHeight +
                         static_cast<uint64_t>(frame.missingRows) * fullWidth;
}

SystemReserves ReservesFor(const PaletteSwitches& s) {
  SystemReserves r;
  if (s.systemColours == 2) return r;
  const int end = s.firstIndex + s.colours;
  if (s.firstIndex < 10) r.low = std::min(10, end) - s.firstIndex;
  if (end >= 247) r.high = end - std::max(246, s.firstIndex);
  // The system colours that would leave no room for a new colour give way, the high ones first.
  r.low = std::min(r.low, s.colours - 1);
  r.high = std::min(r.high, s.colours - 1 - r.low);
  return r;
}

int MakeNewColours(const toolsupport::Progress& progress, const PaletteSwitches& switches,
                   ColourHistogram& histogram, uint8_t* palette) {
  SystemReserves reserves = ReservesFor(switches);
  if (switches.systemColours != 2) {
    // Entries taken by new colours keep no system colour.
    int firstNew = switches.firstIndex + reserves.low;
    int newCount = switches.colours - reserves.low - reserves.high;
    PutSystemColours(palette, firstNew, firstNew + newCount);
  }
  return ReduceColors(progress, reserves.high, reserves.low, switches.colours, switches.firstIndex, histogram,
                      palette);
}

void TakePaletteRange(const PaletteSwitches& switches, const uint8_t* sourcePalette, uint8_t* palette) {
  std::memcpy(palette + switches.firstIndex * 3, sourcePalette + switches.firstIndex * 3, switches.colours * 3);
  if (switches.systemColours == 1) PutSystemColours(palette);
}

void FrameMapper::MapFrame(const PaletteSwitches& switches, const ColourFrame& frame, bool copyAsIs,
                           bool paletteChanged, uint8_t* palette, uint8_t* out, ptrdiff_t outPitch) {
  const uint8_t* row = frame.pixels;
  const int width = frame.copyWidth;
  if (frame.bitsPerPixel > 8) {
    remap_.clear();
    if (!cache_) {
      cache_ = std::make_unique<ColourCache>();
      paletteChanged = true;
    }
    if (paletteChanged) cache_->SetPalette(palette, switches.firstIndex, switches.colours);
    for (int y = 0; y < frame.copyHeight; ++y, row += frame.pitch, out += outPitch) {
      if (frame.bitsPerPixel == 16) cache_->MapRow16(out, row, width);
      else if (frame.bitsPerPixel == 24) cache_->MapRow24(out, row, width);
      else cache_->MapRow32(out, row, width);
    }
    return;
  }
  if (copyAsIs) {
    for (int y = 0; y < frame.copyHeight; ++y, row += frame.pitch, out += outPitch) {
      if (frame.bitsPerPixel == 4) UnpackRow4(out, row, width);
      else std::memcpy(out, row, width);
    }
    return;
  }
  if (switches.systemColours == 1) PutSystemColours(palette);
  if (paletteChanged || remap_.empty()) {
    cache_.reset();
    remap_.resize(256);
    BuildRemapTable(remap_.data(), frame.palette, palette, switches.firstIndex, switches.colours);
  }
  for (int y = 0; y < frame.copyHeight; ++y, row += frame.pitch, out += outPitch) {
    if (frame.bitsPerPixel == 4) RemapRow4(out, row, width, remap_.data());
    else RemapRow8(out, row, width, remap_.data());
  }
}
