#pragma once
// The steps that turn the frames of a picture input into 8-bit frames on a palette: what a
// frame looks like to them, the palette switches, making the new colours of a palette from a
// histogram, and mapping a frame onto the output palette.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolsupport/colour/colour_histogram.h"
#include "toolsupport/colour/colour_map.h"
#include "toolsupport/colour/colour_reduce.h"

// The part of an input frame that a sub-frame covers.
struct ColourFrame {
  const uint8_t* pixels = nullptr;  // top-left pixel
  ptrdiff_t pitch = 0;              // signed step between rows
  int bitsPerPixel = 8;             // 4, 8, 16 (5-5-5), 24 (B, G, R) or 32 (B, G, R, x)
  int copyWidth = 0, copyHeight = 0;
  int missingColumns = 0, missingRows = 0;  // parts of the sub-frame the input does not reach
  const uint8_t* palette = nullptr;         // 256 x R, G, B of 4- and 8-bit frames
};

// /Q /I /P /U /D as the picture input holds them after their defaults and limits.
struct PaletteSwitches {
  int colours = 256;       // Q: 1 to 256
  int firstIndex = 0;      // I: first + colours <= 256
  int paletteMode = 0;     // P: 0 copy input palettes, 1 one new palette, 2 new at input changes
  int interval = 65536;    // U: frames per palette
  int systemColours = 0;   // D: 0 with new palettes, 1 always, 2 never
};

// Adds every covered pixel of the frame; the missing columns and rows count as black.
void CountFrameColours(ColourHistogram& histogram, const ColourFrame& frame);

// Reserved entries at the low and high end of the new range for the system colours, limited
// so that at least one entry is left for a new colour.
struct SystemReserves {
  int low = 0, high = 0;
};
SystemReserves ReservesFor(const PaletteSwitches& switches);

// Fills the new range of `palette` from the histogram: the system colours (unless /D2) in
// their entries, then the reduced colours placed near what the range held. Returns the
// number of colours made.
int MakeNewColours(const toolsupport::Progress& progress, const PaletteSwitches& switches,
                   ColourHistogram& histogram, uint8_t* palette);

// Takes the new range from another palette as it stands (plus the system colours with /D1).
void TakePaletteRange(const PaletteSwitches& switches, const uint8_t* sourcePalette, uint8_t* palette);

// How frames become output pixels; kept per picture input.
class FrameMapper {
 public:
  // Maps the covered rows of `frame` into `out` (rows of `outPitch` bytes).
  // `copyAsIs`: the output palette is the input palette and no switch asks for a remap, so
  // paletted rows are copied. `paletteChanged`: the input or the output palette changed
  // since the last call. With /D1 the remap path puts the system colours into `palette`.
  void MapFrame(const PaletteSwitches& switches, const ColourFrame& frame, bool copyAsIs, bool paletteChanged,
                uint8_t* palette, uint8_t* out, ptrdiff_t outPitch);

 private:
  std::vector<uint8_t> remap_;         // empty until a paletted frame needs one
  std::unique_ptr<ColourCache> cache_; // made for the first true-colour frame
};
