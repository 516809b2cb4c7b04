#include "toolsupport/picture/graphics_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "toolsupport/picture/graphics_inputs.h"
#include "toolsupport/colour/halftone.h"

namespace toolsupport {
namespace {

constexpr int32_t kMaxSubFrameSide = 32768;

// The part of the sub-frame at (x, y) that a picture of `width` × `height` covers.
void CoverSubFrame(GraphicsSource& source, int32_t width, int32_t height) {
  source.copyWidth = source.x >= width ? 0 : std::min(source.outputWidth, width - source.x);
  source.copyHeight = source.y >= height ? 0 : std::min(source.outputHeight, height - source.y);
  source.missingColumns = source.outputWidth - source.copyWidth;
  source.missingRows = source.outputHeight - source.copyHeight;
}

PaletteSwitches PaletteSwitchesFrom(const GraphicsSwitches& switches) {
  PaletteSwitches palette;
  palette.colours = switches.colours <= 0 || switches.colours > 256 ? 256 : switches.colours;
  int32_t first = switches.firstIndex < 0 ? (256 - palette.colours) / 2 : switches.firstIndex;
  palette.firstIndex = first + palette.colours > 256 ? 256 - palette.colours : first;
  palette.interval = switches.interval <= 0 || switches.interval > 65536 ? 65536 : switches.interval;
  palette.paletteMode = switches.paletteMode >= 0 && switches.paletteMode <= 2 ? switches.paletteMode : 0;
  palette.systemColours = switches.systemColours >= 0 && switches.systemColours <= 2 ? switches.systemColours : 0;
  return palette;
}

Result<std::unique_ptr<FrameInput>> OpenByKind(const Progress& progress, const std::string& name,
                                               InputDescription& description) {
  if (IsSeriesName(name)) {
    ListWalker walker;
    walker.SetSingleName(name);
    return OpenListInput(progress, std::move(walker), description);
  }
  if (auto input = OpenWavInput(name, description)) return input;
  if (HasExtensionOf(name, "lst")) {
    ListWalker walker;
    if (walker.OpenListFile(name)) return OpenListInput(progress, std::move(walker), description);
    return Status::Error("Error opening: " + name);
  }
  for (auto open : {OpenFlicInput, OpenVntInput, OpenPictureInput, OpenAviInput, OpenRawInput}) {
    if (auto input = open(name, description)) return input;
  }
  return Status::Error(description.refusal.empty() ? "Error opening: " + name : description.refusal);
}

}  // namespace

GraphicsSource::GraphicsSource() = default;
GraphicsSource::~GraphicsSource() = default;

bool FrameInput::ReadFailed(const std::string& name, const std::string& reason) {
  error = "Error reading: " + name + " (" + reason + ").";
  return false;
}

std::string FrameInput::EndsEarly(int64_t held, int64_t announced) {
  return "it ends after " + std::to_string(held) + " of its " + std::to_string(announced) + " frames";
}

bool FrameInput::Skip(int32_t count, const Progress& progress, std::array<uint8_t, 768>& palette) {
  InputFrame frame;
  for (int32_t i = 0; i < count; ++i) {
    char text[64];
    std::snprintf(text, sizeof text, "Skipping frame %li...", static_cast<long>(i) + 1);
    if (progress.ShowAndCheck(i == 0 ? ProgressKind::StatusNow : ProgressKind::Status, text)) return false;
    Read(frame, palette);
  }
  return true;
}

Result<std::unique_ptr<GraphicsSource>> OpenGraphicsInput(const Progress& progress, const std::string& actionWord,
                                                          const GraphicsSwitches& switches, const std::string& name) {
  auto source = std::make_unique<GraphicsSource>();
  source->progress = progress;
  source->switches = switches;
  source->paletteState.switches = PaletteSwitchesFrom(switches);
  source->paletteState.paletteSource = !switches.paletteSource.empty();
  source->halftone = switches.halftone >= 0 && switches.halftone <= 2 ? switches.halftone : 0;
  source->paletteSourceName = switches.paletteSource;

  InputDescription description;
  description.name = name;
  Result<std::unique_ptr<FrameInput>> input = OpenByKind(progress, name, description);
  if (!input.ok()) return input.status();
  source->input = input.Take();
  source->name = description.name;
  source->readFiles = description.files;
  source->readFiles.Add(description.name);
  source->readFiles.Add(switches.paletteSource);
  source->kind = description.kind;
  source->inputWidth = description.width;
  source->inputHeight = description.height;
  source->frameRate = description.frameRate;
  source->inputBitsPerPixel = description.bitsPerPixel;
  source->currentBitsPerPixel = description.bitsPerPixel;
  std::error_code error;
  source->fileSize = description.fileSize >= 0
                         ? description.fileSize
                         : static_cast<int64_t>(std::filesystem::file_size(source->name, error));
  if (error) source->fileSize = 0;

  // Frame range: /S 0 is 1 and /E 0 is the end, both within the input.
  const int32_t count = std::max(description.frames, 0);
  if (count > 0) {
    int32_t start = std::clamp(switches.start <= 0 ? 1 : switches.start, 1, count);
    int32_t end = std::clamp(switches.end <= 0 ? 0xFFFFFF : switches.end, 1, count);
    source->framesToSkip = start - 1;
    source->frames = std::max(end, start) - (start - 1);
  }

  // Sub-frame, and the part of it that the input covers.
  source->x = std::max(switches.left, 0);
  source->y = std::max(switches.top, 0);
  source->outputWidth = switches.width > 0 ? switches.width : source->inputWidth;
  source->outputHeight = switches.height > 0 ? switches.height : source->inputHeight;
  if (source->outputWidth > kMaxSubFrameSide || source->outputHeight > kMaxSubFrameSide) {
    return Status::Error("Out of memory");
  }
  source->outputPitch = (source->outputWidth + 3) & ~3;
  CoverSubFrame(*source, source->inputWidth, source->inputHeight);
  const size_t rows = static_cast<size_t>((source->outputHeight + 3) & ~3);
  source->outputFrame.assign(static_cast<size_t>(source->outputPitch) * rows, 0);

  // Deep inputs of more than a few frames are halftoned before their palette is made.
  const bool halftone = (source->halftone == 0 && source->inputBitsPerPixel > 8 && source->frames > 9) ||
                        source->halftone == 1;
  if (halftone) {
    source->workingBuffer.assign(static_cast<size_t>(source->copyWidth) * 3 * source->copyHeight, 0);
    source->inputBitsPerPixel = 24;
  }
  source->actionWord = actionWord.empty() ? "Processing" : actionWord;
  return Result<std::unique_ptr<GraphicsSource>>(std::move(source));
}

bool ReadGraphicsFrame(GraphicsSource& source) {
  if (source.currentFrame >= source.frames) {
    source.atEnd = true;
    return false;
  }
  bool firstRead = !source.skipDone;
  if (!source.skipDone) {
    if (source.framesToSkip > 0) source.input->Skip(source.framesToSkip, source.progress, source.inputPalette);
    source.skipDone = true;
  }
  const std::array<uint8_t, 768> previous = source.inputPalette;
  InputFrame frame;
  source.readError = !source.input->Read(frame, source.inputPalette);
  source.readErrorText = source.readError ? source.input->error : std::string();
  if (source.readError && source.readErrorText.empty()) source.readErrorText = "Error reading: " + source.name;
  const bool paletteChanged = firstRead || previous != source.inputPalette;

  source.currentBitsPerPixel = frame.bitsPerPixel;
  source.frameDataSize = frame.dataSize;
  CoverSubFrame(source, frame.width, frame.height);
  source.currentPitch = frame.pitch;
  source.currentPixels = frame.pixels;
  if (source.copyWidth > 0 && source.copyHeight > 0) {
    source.currentPixels += frame.pitch * source.y + static_cast<ptrdiff_t>(source.x) * (frame.bitsPerPixel / 8);
  }
  ++source.currentFrame;
  source.atEnd = source.currentFrame == source.frames;

  if (!source.workingBuffer.empty() && source.copyWidth > 0 && source.copyHeight > 0) {
    uint8_t* work = source.workingBuffer.data();
    const int w = source.copyWidth, h = source.copyHeight;
    switch (source.currentBitsPerPixel) {
      case 16: ConvertPixels16(w, work, source.currentPixels, h, source.currentPitch); break;
      case 24: ConvertPixels24(w, work, source.currentPixels, h, source.currentPitch); break;
      case 32: ConvertPixels32(w, work, source.currentPixels, h, source.currentPitch); break;
      default:
        ConvertPixels8(w, work, source.currentPixels, h, source.currentPitch, source.inputPalette.data());
    }
    source.currentPixels = work;
    source.currentPitch = static_cast<ptrdiff_t>(w) * 3;
    source.currentBitsPerPixel = 24;
  }
  return paletteChanged;
}

void RewindGraphicsInput(GraphicsSource& source) {
  source.currentFrame = 0;
  source.atEnd = false;
  source.skipDone = false;
  source.paletteState.Rewind();
  source.readError = false;
  source.readErrorText.clear();
  source.inputPalette.fill(0);
  source.outputPalette.fill(0);
  std::fill(source.outputFrame.begin(), source.outputFrame.end(), 0);
  source.paletteState.mapper = FrameMapper();
  if (source.input) source.input->Rewind();
}

namespace {

// The palette steps' view of a picture input; owns the input when it is an
// analysis source.
class GraphicsPaletteInput : public PaletteInput {
 public:
  explicit GraphicsPaletteInput(GraphicsSource& source) : source_(source) {}
  explicit GraphicsPaletteInput(std::unique_ptr<GraphicsSource> owned) : source_(*owned), owned_(std::move(owned)) {}

  bool ReadFrame() override { return ReadGraphicsFrame(source_); }
  ColourFrame Frame() const override { return CurrentColourFrame(source_); }
  bool AtEnd() const override { return source_.atEnd || source_.currentFrame >= source_.frames; }
  int32_t FramesRead() const override { return source_.currentFrame; }
  int32_t FrameCount() const override { return source_.frames; }
  int InputBitsPerPixel() const override { return source_.inputBitsPerPixel; }
  std::string ActionWord() const override { return source_.actionWord; }
  const Progress& Reporter() const override { return source_.progress; }

  // The palette source read without halftoning, or a second copy of this input with
  // the same switches, sub-frame and frame range.
  Result<std::unique_ptr<PaletteInput>> OpenAnalysisSource() override {
    GraphicsSwitches switches = source_.switches;
    std::string name = source_.name;
    if (!source_.paletteSourceName.empty()) {
      name = source_.paletteSourceName;
      switches.halftone = 2;
    }
    switches.paletteSource.clear();
    Result<std::unique_ptr<GraphicsSource>> analysis = OpenGraphicsInput(source_.progress, source_.actionWord, switches, name);
    if (!analysis.ok()) return analysis.status();
    return std::unique_ptr<PaletteInput>(std::make_unique<GraphicsPaletteInput>(analysis.Take()));
  }

 private:
  GraphicsSource& source_;
  std::unique_ptr<GraphicsSource> owned_;
};

}  // namespace

Status NextGraphicsFrame(GraphicsSource& source) {
  GraphicsPaletteInput input(source);
  Status status = NextPaletteFrame(input, source.paletteState, source.outputPalette.data(),
                                   source.outputFrame.data(), source.outputPitch);
  if (!status.ok()) return status;
  // A frame that could not be read is no frame to deliver: the tool stops with the reason.
  if (source.readError) return Status::Error(source.readErrorText);
  return {};
}

void CloseGraphicsInput(std::unique_ptr<GraphicsSource>& source) { source.reset(); }

bool CopyPaletteChanged(uint8_t* destination, const uint8_t* source, int count) {
  bool changed = false;
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < 3; ++c) {
      uint8_t value = source[i * 4 + 2 - c];
      changed = changed || destination[i * 3 + c] != value;
      destination[i * 3 + c] = value;
    }
  }
  return changed;
}

ColourFrame CurrentColourFrame(const GraphicsSource& source) {
  ColourFrame frame;
  frame.pixels = source.currentPixels;
  frame.pitch = source.currentPitch;
  frame.bitsPerPixel = source.currentBitsPerPixel;
  frame.copyWidth = source.copyWidth;
  frame.copyHeight = source.copyHeight;
  frame.missingColumns = source.missingColumns;
  frame.missingRows = source.missingRows;
  frame.palette = source.inputPalette.data();
  return frame;
}

}  // namespace toolsupport
