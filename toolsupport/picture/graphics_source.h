#pragma once
// Picture and video input: any picture, video or list of them read as a sequence
// of frames of one size. OpenGraphicsInput opens the input and works out the frame
// range and the sub-frame; ReadGraphicsFrame reads the next input frame and points
// `currentPixels` at the sub-frame's top-left pixel in it. The palette steps that
// turn those frames into the 8-bit output frame work on the fields below.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolsupport/colour/palette_decision.h"
#include "toolsupport/base/status.h"
#include "platform/system/file_set.h"

namespace toolsupport {

enum GraphicsKind : int32_t {
  kGraphicsNone = 0,
  kGraphicsBmp = 3,
  kGraphicsGif = 4,
  kGraphicsTif = 5,
  kGraphicsJpg = 6,
  kGraphicsTga = 7,
  kGraphicsPcx = 8,
  kGraphicsAvi = 32,
  kGraphicsFlic = 128,
  kGraphicsVnt = 129,
  kGraphicsRaw = 130,
  kGraphicsList = 256,
  kGraphicsWav = 512,
};

// The picture-input switches after their defaults and limits.
struct GraphicsSwitches {
  int32_t start = 0;   // /S first frame counting from 1 (0 = 1)
  int32_t end = 0;     // /E last frame (0 = all)
  int32_t left = 0;    // /X
  int32_t top = 0;     // /Y
  int32_t width = 0;   // /W (0 = the input's)
  int32_t height = 0;  // /H
  int32_t colours = 256;      // /Q
  int32_t firstIndex = -1;    // /I (-1 = (256 - Q) / 2)
  int32_t interval = -1;      // /U frames per palette (-1 = absent)
  int32_t paletteMode = 0;    // /P
  int32_t halftone = 0;       // /T 0 for long true-colour inputs, 1 always, 2 never
  int32_t systemColours = 0;  // /D
  std::string paletteSource;  // /&
};

// Reads /S /E /X /Y /W /H /Q /I /U /P /T /D /& from the command text, removing each.
// Negative values take the defaults.
GraphicsSwitches ParseGraphicsSwitches(std::string& commandText);

// The usage lines of the picture-input switches, shown by every tool that reads pictures.
inline constexpr char kPictureInputSwitchLines[] =
    "/S# - Starting frame.\r\n"
    "/E# - Ending frame.\r\n"
    "/X# - Left of the sub-frame to take.\r\n"
    "/Y# - Top of the sub-frame to take.\r\n"
    "/W# - Width of the sub-frame to take.\r\n"
    "/H# - Height of the sub-frame to take.\r\n"
    "/Q# - Number of colors to quantize to.\r\n"
    "/I# - First palette index to use (default=centered).\r\n"
    "/U# - Palette interval in frames.\r\n"
    "/T# - Halftone: 0=high-color input (default), 1=always, 2=never.\r\n"
    "/D# - Windows system colors: 0=copy if a new palette is created (default), 1=always, "
    "2=never.\r\n"
    "/P# - 8-bit palette: 0=copy input palettes (default), 1=new best-case palette, 2=new "
    "palettes whenever the input palette changes.\r\n"
    "/&filename - Take the palette from this file.";

class FrameInput;  // one per kind of input

struct GraphicsSource {
  GraphicsSource();
  ~GraphicsSource();
  GraphicsSource(const GraphicsSource&) = delete;
  GraphicsSource& operator=(const GraphicsSource&) = delete;

  std::string name;  // as opened, with any extension that was added
  // Every file the input reads: the file named, a list's entries (all of them, those that
  // cannot be read too) and the palette file.
  platform::FileSet readFiles;
  GraphicsKind kind = kGraphicsNone;
  int32_t frames = 0;  // delivered, after the /S /E range
  int32_t outputWidth = 0, outputHeight = 0;
  int32_t inputWidth = 0, inputHeight = 0;  // for a list: the largest entry
  int32_t frameRate = 0;                    // video-header convention; 100 for pictures and WAV
  int32_t inputBitsPerPixel = 8;            // 8, or 24 for deeper or halftoned input
  int32_t currentBitsPerPixel = 8;          // of the frame just read: 8, 16, 24 or 32
  std::vector<uint8_t> outputFrame;         // outputPitch × outputHeight rounded up to 4 rows
  int32_t outputPitch = 0;
  int32_t currentFrame = 0;  // frames delivered so far
  int64_t frameDataSize = 0;
  int64_t fileSize = 0;
  std::array<uint8_t, 768> outputPalette{};  // R, G, B
  bool atEnd = false;
  int32_t x = 0, y = 0;
  int32_t copyWidth = 0, copyHeight = 0, missingColumns = 0, missingRows = 0;
  std::array<uint8_t, 768> inputPalette{};  // of the current input frame
  bool readError = false;                   // the last frame could not be read whole
  std::string readErrorText;                // and the input's message why

  // The current frame: its sub-frame's top-left pixel and the signed row step.
  const uint8_t* currentPixels = nullptr;
  ptrdiff_t currentPitch = 0;

  // Palette making: the switches (/Q /I /P /U /D after defaults), the countdown,
  // the analysis source and the mapper; halftone /T and the palette source /&.
  PaletteState paletteState;
  int32_t halftone = 0;
  std::string paletteSourceName;
  std::string actionWord = "Processing";
  std::vector<uint8_t> workingBuffer;  // 24-bit copy of the sub-frame when halftoning
  GraphicsSwitches switches;           // as opened, for the analysis source

  Progress progress;
  int32_t framesToSkip = 0;  // /S − 1
  bool skipDone = false;
  std::unique_ptr<FrameInput> input;
};

// Opens any picture or video input; on failure why ("Error opening: %s", "No files in the
// list file." or "Out of memory").
Result<std::unique_ptr<GraphicsSource>> OpenGraphicsInput(const Progress& progress, const std::string& actionWord,
                                                          const GraphicsSwitches& switches, const std::string& name);

// Delivers the next 8-bit output frame and its palette: reads the input frame,
// makes or copies the palette and maps the frame onto it. Stopped when the user asked
// to stop; an error when the palette source could not be opened or the frame could
// not be read (with the input's message).
Status NextGraphicsFrame(GraphicsSource& source);

// Reads the next input frame; true when the input palette changed. Past the last
// frame nothing is read. A frame that cannot be read sets readError.
bool ReadGraphicsFrame(GraphicsSource& source);

// Back to the first frame (of the /S /E range); the next frames repeat the first ones.
void RewindGraphicsInput(GraphicsSource& source);

// Frees everything; the same as destroying the source.
void CloseGraphicsInput(std::unique_ptr<GraphicsSource>& source);

// Copies `count` 4-byte B, G, R, x entries into R, G, B entries; true when any byte changed.
bool CopyPaletteChanged(uint8_t* destination, const uint8_t* source, int count);

// What the palette steps read of the current frame.
ColourFrame CurrentColourFrame(const GraphicsSource& source);

}  // namespace toolsupport
