// A list file or a numbered series as one input: the frames of its entries in turn.
#include <algorithm>
#include <set>

#include "toolsupport/picture/graphics_inputs.h"

namespace toolsupport {
namespace {

// Lists naming lists are followed only this deep, so a list naming itself ends.
constexpr int kMaxListDepth = 8;
int listDepth = 0;

struct DepthGuard {
  DepthGuard() { ++listDepth; }
  ~DepthGuard() { --listDepth; }
};

class ListInput : public FrameInput {
 public:
  ListInput(const Progress& progress, ListWalker walker)
      : progress_(progress), walker_(std::move(walker)) {}

  // Opens every entry once to size the list; false when no entry gives a frame.
  bool Measure(InputDescription& description) {
    int64_t frames = 0, fileSize = 0;
    ListEntry entry;
    while (walker_.ParseListEntry(entry)) {
      description.files.Add(entry.name);
      std::unique_ptr<GraphicsSource> source = OpenEntry(entry, entry.start);
      if (!source) continue;
      description.files.Add(source->readFiles);
      description.width = std::max(description.width, source->inputWidth);
      description.height = std::max(description.height, source->inputHeight);
      description.bitsPerPixel = std::max(description.bitsPerPixel, source->inputBitsPerPixel);
      if (description.frameRate == 0) description.frameRate = source->frameRate;
      frames += source->frames;
      fileSize += source->fileSize;
    }
    walker_.Rewind();
    description.frames = static_cast<int32_t>(std::min<int64_t>(frames, INT32_MAX));
    description.fileSize = fileSize;
    blank_.assign(static_cast<size_t>(std::max(description.width, 1)) * std::max(description.height, 1), 0);
    width_ = std::max(description.width, 1);
    height_ = std::max(description.height, 1);
    return frames > 0;
  }

  bool Read(InputFrame& frame, std::array<uint8_t, 768>& palette) override {
    if (entry_ && entry_->atEnd) entry_.reset();
    if (!entry_ && !OpenNextEntry()) {
      frame = {blank_.data(), width_, width_, height_, 8, 0};
      error = "Error reading: the list has no entry left that can be read.";
      return false;
    }
    ReadGraphicsFrame(*entry_);
    error = entry_->readErrorText;
    frame.pixels = entry_->currentPixels;
    frame.pitch = entry_->currentPitch;
    frame.width = entry_->inputWidth;
    frame.height = entry_->inputHeight;
    frame.bitsPerPixel = entry_->currentBitsPerPixel;
    frame.dataSize = entry_->frameDataSize;
    palette = entry_->inputPalette;
    return !entry_->readError;
  }

  // Whole entries are dropped; the entry where skipping ends opens further in.
  bool Skip(int32_t count, const Progress&, std::array<uint8_t, 768>&) override {
    int64_t remaining = count;
    ListEntry entry;
    int misses = 0;
    while (remaining > 0) {
      if (!walker_.ParseListEntry(entry)) {
        if (++misses > 1) return true;
        continue;
      }
      std::unique_ptr<GraphicsSource> source = OpenEntry(entry, entry.start);
      if (!source) continue;
      if (source->frames <= remaining) {
        remaining -= source->frames;
        continue;
      }
      // The entry's own first frame counts from 1 (0 meaning 1).
      int64_t start = std::max<int64_t>(entry.start, 1) + remaining;
      entry_ = OpenEntry(entry, static_cast<int32_t>(std::min<int64_t>(start, INT32_MAX)));
      remaining = 0;
    }
    return true;
  }

  void Rewind() override {
    entry_.reset();
    walker_.Rewind();
  }

 private:
  std::unique_ptr<GraphicsSource> OpenEntry(const ListEntry& entry, int32_t start) {
    GraphicsSwitches switches;
    switches.start = start;
    switches.end = entry.end;
    switches.halftone = 2;
    switches.firstIndex = 0;
    switches.interval = 65536;
    DepthGuard depth;
    if (listDepth > kMaxListDepth) return nullptr;
    // An entry that cannot be opened is skipped: its reason becomes a status line, not an
    // error that would end the run.
    Result<std::unique_ptr<GraphicsSource>> opened = OpenGraphicsInput(progress_, "", switches, entry.name);
    if (!opened.ok()) {
      // Every walk of the list meets the entry again; its reason is shown the first time.
      if (reported_.insert(entry.name).second) {
        for (const std::string& reason : opened.status().messages()) {
          progress_.Show(ProgressKind::StatusNow, reason + " - skipped.");
        }
      }
      return nullptr;
    }
    std::unique_ptr<GraphicsSource> source = opened.Take();
    if (source->frames <= 0) source.reset();
    return source;
  }

  // The next entry that opens; an ended walk is tried once more from its start.
  bool OpenNextEntry() {
    ListEntry entry;
    int misses = 0;
    while (misses < 2) {
      if (!walker_.ParseListEntry(entry)) {
        ++misses;
        continue;
      }
      entry_ = OpenEntry(entry, entry.start);
      if (entry_) return true;
    }
    return false;
  }

  Progress progress_;
  ListWalker walker_;
  std::unique_ptr<GraphicsSource> entry_;
  std::set<std::string> reported_;  // entries whose failure has been shown
  std::vector<uint8_t> blank_;
  int32_t width_ = 1, height_ = 1;
};

}  // namespace

Result<std::unique_ptr<FrameInput>> OpenListInput(const Progress& progress, ListWalker walker,
                                                  InputDescription& description) {
  progress.Show(ProgressKind::Status, "Opening the files in the list...");
  auto input = std::make_unique<ListInput>(progress, std::move(walker));
  description.kind = kGraphicsList;
  description.frameRate = 0;
  description.bitsPerPixel = 8;
  if (!input->Measure(description)) return Status::Error("No files in the list file.");
  return std::unique_ptr<FrameInput>(std::move(input));
}

}  // namespace toolsupport
