#include "toolsupport/colour/palette_decision.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kInputEnded = 65536;

// Shows the frame at work; true when the user asked to stop.
bool ReportFrame(PaletteInput& input, toolsupport::ProgressKind kind, int32_t number) {
  char text[160];
  std::snprintf(text, sizeof text, "%s frame %li of %li...", input.ActionWord().c_str(), static_cast<long>(number),
                static_cast<long>(input.FrameCount()));
  return input.Reporter().ShowAndCheck(kind, text);
}

// The output palette before a new one is made: the input's entries, all of them on the first
// frame, later only those outside the new range.
void FillFromInput(const ColourFrame& frame, const PaletteSwitches& s, bool all, uint8_t* palette) {
  static const uint8_t kBlack[kPaletteBytes] = {};
  const uint8_t* in = frame.palette ? frame.palette : kBlack;
  if (all) {
    std::memcpy(palette, in, kPaletteBytes);
    return;
  }
  std::memcpy(palette, in, s.firstIndex * 3);
  const int end = s.firstIndex + s.colours;
  std::memcpy(palette + end * 3, in + end * 3, (256 - end) * 3);
}

}  // namespace

void PaletteState::Rewind() {
  framesUntilPalette = 0;
  analysis.reset();
  analysisFrameWaiting = false;
  firstFrame = true;
  newPalette = false;
}

uint32_t AnalyzeColors(PaletteInput& analysis, const PaletteSwitches& s, bool& frameWaiting, uint8_t* palette) {
  if (!frameWaiting) {
    if (analysis.AtEnd()) return kInputEnded;
    analysis.ReadFrame();
    frameWaiting = true;
  }
  if (s.interval >= 32000 && s.paletteMode == 0 && analysis.InputBitsPerPixel() <= 8) {
    TakePaletteRange(s, analysis.Frame().palette, palette);
    frameWaiting = false;
    return analysis.AtEnd() ? kInputEnded : 1;
  }
  ColourHistogram histogram;
  uint32_t analysed = 0, result = 0;
  while (analysed < static_cast<uint32_t>(s.interval)) {
    int32_t number = analysis.FramesRead() + (frameWaiting ? 0 : 1);
    if (ReportFrame(analysis, analysed == 0 ? toolsupport::ProgressKind::StatusNow : toolsupport::ProgressKind::Status,
                    number)) {
      return 0;
    }
    if (!frameWaiting) {
      bool changed = analysis.ReadFrame();
      if (s.paletteMode == 2 && changed) {
        frameWaiting = true;  // it starts the next run
        break;
      }
    }
    CountFrameColours(histogram, analysis.Frame());
    frameWaiting = false;
    ++analysed;
    if (analysis.AtEnd()) {
      result = kInputEnded;
      break;
    }
  }
  if (result == 0) result = analysed;
  MakeNewColours(analysis.Reporter(), s, histogram, palette);
  return result;
}

toolsupport::Status NextPaletteFrame(PaletteInput& input, PaletteState& st, uint8_t* palette, uint8_t* out,
                                     ptrdiff_t outPitch) {
  if (ReportFrame(input, toolsupport::ProgressKind::Status, input.FramesRead() + 1)) {
    return toolsupport::Status::Stopped();
  }
  bool inputChanged = input.ReadFrame() || st.firstFrame;
  const ColourFrame frame = input.Frame();
  const PaletteSwitches& s = st.switches;
  uint8_t before[kPaletteBytes];
  std::memcpy(before, palette, kPaletteBytes);

  const bool makePalettes = st.paletteSource || s.paletteMode != 0 || input.InputBitsPerPixel() > 8 ||
                            s.interval < 32000;
  bool copyAsIs = false;
  st.newPalette = false;
  if (!makePalettes) {
    if (inputChanged) FillFromInput(frame, s, true, palette);
    copyAsIs = s.systemColours != 1 && s.firstIndex == 0 && s.colours == 256;
  } else if (st.framesUntilPalette == 0) {
    FillFromInput(frame, s, st.firstFrame, palette);
    if (!st.analysis) {
      toolsupport::Result<std::unique_ptr<PaletteInput>> opened = input.OpenAnalysisSource();
      st.analysisFrameWaiting = false;
      if (!opened.ok()) {
        toolsupport::Status failed = opened.status();
        return failed.Then("Error opening palette graphics file.");
      }
      st.analysis = opened.Take();
    }
    uint32_t analysed = AnalyzeColors(*st.analysis, s, st.analysisFrameWaiting, palette);
    if (analysed == 0) {
      st.analysis.reset();
      return toolsupport::Status::Stopped();
    }
    st.framesUntilPalette = analysed - 1;
    if (st.framesUntilPalette > 32767) st.analysis.reset();  // the analysis source has ended
    st.newPalette = true;
  } else {
    --st.framesUntilPalette;
  }
  bool changed = inputChanged || std::memcmp(before, palette, kPaletteBytes) != 0;
  st.mapper.MapFrame(s, frame, copyAsIs, changed, palette, out, outPitch);
  st.firstFrame = false;
  return {};
}
