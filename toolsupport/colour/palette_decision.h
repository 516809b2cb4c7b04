#pragma once
// When and how a picture input gets its output palette: copied from the input, taken from a
// palette source, or made from the colours of a run of frames read ahead by a second input
// (the analysis source) that keeps in step with the palette intervals.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "toolsupport/base/status.h"
#include "toolsupport/colour/palette_steps.h"

// What the palette steps need of a picture input.
class PaletteInput {
 public:
  virtual ~PaletteInput() = default;
  // Reads the next frame; true when its palette differs from the frame before.
  virtual bool ReadFrame() = 0;
  virtual ColourFrame Frame() const = 0;
  virtual bool AtEnd() const = 0;
  virtual int32_t FramesRead() const = 0;
  virtual int32_t FrameCount() const = 0;
  // 8, or 24 for inputs deeper than 8 bits (or halftoned).
  virtual int InputBitsPerPixel() const = 0;
  virtual std::string ActionWord() const = 0;
  // Where the steps show what they do and learn that the user wants to stop.
  virtual const toolsupport::Progress& Reporter() const = 0;
  // The palette source, or a second copy of this input at its first frame; or why neither
  // could be opened.
  virtual toolsupport::Result<std::unique_ptr<PaletteInput>> OpenAnalysisSource() = 0;
};

// The palette state of one picture input.
struct PaletteState {
  PaletteSwitches switches;
  bool paletteSource = false;         // /& names a picture to take palettes from
  uint32_t framesUntilPalette = 0;    // 0: make a palette at the next frame
  std::unique_ptr<PaletteInput> analysis;
  bool analysisFrameWaiting = false;  // the analysis source holds a frame not yet counted
  bool firstFrame = true;
  bool newPalette = false;            // a palette was made for the last frame
  FrameMapper mapper;

  // Back to the first frame (the analysis source is closed).
  void Rewind();
};

// Reads the next input frame, decides its palette and maps it into `out` (rows of `outPitch`
// bytes) on `palette` (256 x R, G, B). Stopped when the user asked to stop; an error when the
// palette source could not be opened.
toolsupport::Status NextPaletteFrame(PaletteInput& input, PaletteState& state, uint8_t* palette, uint8_t* out,
                      ptrdiff_t outPitch);

// Fills the new range of `palette` from the next run of frames of the analysis source. Returns
// the frames analysed, 65536 when the source ended, 0 when stopped.
uint32_t AnalyzeColors(PaletteInput& analysis, const PaletteSwitches& switches, bool& frameWaiting,
                       uint8_t* palette);
