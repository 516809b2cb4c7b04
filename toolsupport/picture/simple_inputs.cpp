// Inputs of one file each: WAV as a blank video, flics, raw frame files and the
// `.vnt` placeholder.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/system/little_endian.h"
#include "toolsupport/picture/flic_reader.h"
#include "toolsupport/picture/graphics_inputs.h"
#include "platform/image/image.h"
#include "toolsupport/sound/sound_files.h"

namespace toolsupport {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A WAV file stands for a blank 4 × 4 video lasting as long as its sound.
class WavInput : public FrameInput {
 public:
  bool Read(InputFrame& frame, std::array<uint8_t, 768>&) override {
    frame = {blank_.data(), 4, 4, 4, 8, 0};
    return true;
  }
  bool Skip(int32_t, const Progress&, std::array<uint8_t, 768>&) override { return true; }
  void Rewind() override {}

 private:
  std::array<uint8_t, 16> blank_{};
};

class FlicInput : public FrameInput {
 public:
  ~FlicInput() override { CloseFlicReader(reader_); }
  bool Open(const std::string& name) {
    if (!OpenFlic(reader_, name)) return false;
    buffer_.assign(static_cast<size_t>(reader_.paddedWidth) * reader_.paddedHeight, 0);
    return true;
  }
  const FlicReader& reader() const { return reader_; }
  bool Read(InputFrame& frame, std::array<uint8_t, 768>& palette) override {
    const FlicFrame result = DecodeFlicFrame(reader_, buffer_.data());
    palette = reader_.palette;
    frame = {buffer_.data(), reader_.paddedWidth, reader_.paddedWidth, reader_.paddedHeight, 8,
             static_cast<int64_t>(reader_.lastFrameSize) + 16};
    if (result == FlicFrame::Unreadable || reader_.lastFrameCut) {
      return ReadFailed(FlicFileName(reader_), EndsEarly(reader_.currentFrame - 1, reader_.frames));
    }
    return true;
  }
  void Rewind() override { RewindFlic(reader_, 0, buffer_.data()); }

 private:
  FlicReader reader_;
  std::vector<uint8_t> buffer_;
};

// Raw frame files: "RAWB", frames, width, height, period, then tagged records.
class RawInput : public FrameInput {
 public:
  static constexpr int64_t kRecordsStart = 20;

  bool Open(const std::string& name, InputDescription& description) {
    file_.reset(std::fopen(name.c_str(), "rb"));
    if (!file_) return false;
    uint8_t header[20];
    if (std::fread(header, 1, sizeof header, file_.get()) != sizeof header || std::memcmp(header, "RAWB", 4) != 0) {
      return false;
    }
    const uint32_t frames = platform::LoadLE32(header + 4), width = platform::LoadLE32(header + 8), height = platform::LoadLE32(header + 12);
    const uint32_t period = platform::LoadLE32(header + 16);
    // The frame buffer is the one allocation the header sizes; the image layer's limits hold.
    const uint64_t pitch = (uint64_t{width} + 3) & ~uint64_t{3};
    if (width == 0 || height == 0 || pitch > platform::kMaxImageSide || height > platform::kMaxImageSide ||
        pitch * height > platform::kMaxImageBytes || frames > INT32_MAX || period > INT32_MAX) {
      return false;
    }
    name_ = name;
    width_ = static_cast<int32_t>(width);
    height_ = static_cast<int32_t>(height);
    pitch_ = static_cast<int32_t>(pitch);
    fileSize_ = std::filesystem::file_size(name);
    // Every record must be known and whole; a file cut short holds fewer frames than it announces.
    int64_t position = kRecordsStart;
    int32_t found = 0;
    while (found < static_cast<int32_t>(frames)) {
      int32_t tag = NextTagAt(position);
      if (tag == 1) ++found;
      if (tag < 0) break;
      if (tag > 1) return false;
    }
    held_ = found;
    announced_ = static_cast<int32_t>(frames);
    description.kind = kGraphicsRaw;
    description.width = width_;
    description.height = height_;
    description.frames = announced_;
    description.frameRate = -static_cast<int32_t>(period);
    description.bitsPerPixel = 8;
    buffer_.assign(static_cast<size_t>(pitch_) * height_, 0);
    Rewind();
    return true;
  }

  bool Read(InputFrame& frame, std::array<uint8_t, 768>& palette) override {
    frame = {buffer_.data(), pitch_, width_, height_, 8, int64_t{width_} * height_};
    const int32_t index = next_++;
    if (index >= held_) return ReadFailed(name_, EndsEarly(held_, announced_));
    for (;;) {
      int32_t tag = ReadTag();
      if (tag == 0) {
        if (std::fread(palette.data(), 1, 768, file_.get()) != 768) return ReadFailed(name_, kUnreadable);
        continue;
      }
      if (tag != 1) return ReadFailed(name_, kUnreadable);
      // Row by row, so that rows of any width land on the padded pitch.
      for (int32_t row = 0; row < height_; ++row) {
        if (std::fread(buffer_.data() + static_cast<size_t>(row) * pitch_, 1, static_cast<size_t>(width_),
                       file_.get()) != static_cast<size_t>(width_)) {
          return ReadFailed(name_, kUnreadable);
        }
      }
      return true;
    }
  }

  bool Skip(int32_t count, const Progress&, std::array<uint8_t, 768>& palette) override {
    next_ += count;
    for (int32_t skipped = 0; skipped < count;) {
      int32_t tag = ReadTag();
      if (tag == 0) {
        if (std::fread(palette.data(), 1, 768, file_.get()) != 768) return true;
      } else if (tag == 1) {
        if (fseeko(file_.get(), static_cast<off_t>(width_) * height_, SEEK_CUR) != 0) return true;
        ++skipped;
      } else {
        return true;
      }
    }
    return true;
  }

  void Rewind() override {
    fseeko(file_.get(), kRecordsStart, SEEK_SET);
    next_ = 0;
  }

 private:
  int32_t ReadTag() {
    uint8_t tag[4];
    if (std::fread(tag, 1, 4, file_.get()) != 4) return -1;
    uint32_t value = platform::LoadLE32(tag);
    return value <= 1 ? static_cast<int32_t>(value) : 2;
  }
  // The tag at `position`, which moves past its record; -1 when no whole record is left.
  int32_t NextTagAt(int64_t& position) {
    if (fseeko(file_.get(), position, SEEK_SET) != 0) return -1;
    int32_t tag = ReadTag();
    if (tag < 0) return -1;
    int64_t recordSize = 4 + (tag == 0 ? 768 : tag == 1 ? int64_t{width_} * height_ : 0);
    if (tag <= 1 && position + recordSize > fileSize_) return -1;
    position += recordSize;
    return tag;
  }

  static constexpr const char* kUnreadable = "the file cannot be read";

  FilePtr file_;
  std::string name_;
  int32_t width_ = 0, height_ = 0, pitch_ = 0;
  int32_t held_ = 0, announced_ = 0, next_ = 0;  // frames whole in the file, in its header, read
  int64_t fileSize_ = 0;
  std::vector<uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<FrameInput> OpenWavInput(const std::string& name, InputDescription& description) {
  if (!HasExtensionOf(name, "wav")) return nullptr;
  // The sound input's own reading of the file, so that the video lasts exactly as long as the
  // sound it will carry: the same format checks and the "data" size cut to the file.
  RiffFile file;
  FileSound sound;
  if (!file.Open(name) || !ReadWavSound(file, sound)) return nullptr;
  const uint64_t bytesPerSecond = sound.format.BytesPerSecond();
  if (bytesPerSecond == 0) return nullptr;  // no length without a rate: refused, never divided by
  description.kind = kGraphicsWav;
  description.width = description.height = 4;
  description.frameRate = 100;
  description.bitsPerPixel = 8;
  description.frames = static_cast<int32_t>(std::min<uint64_t>(sound.bytes * 10 / bytesPerSecond + 1, INT32_MAX));
  return std::make_unique<WavInput>();
}

std::unique_ptr<FrameInput> OpenFlicInput(const std::string& name, InputDescription& description) {
  auto input = std::make_unique<FlicInput>();
  if (!input->Open(name)) return nullptr;
  const FlicReader& reader = input->reader();
  description.name = FlicFileName(reader);
  description.kind = kGraphicsFlic;
  description.width = reader.paddedWidth;
  description.height = reader.paddedHeight;
  description.frames = reader.frames;
  description.frameRate = reader.frameRate;
  description.bitsPerPixel = 8;
  return input;
}

std::unique_ptr<FrameInput> OpenRawInput(const std::string& name, InputDescription& description) {
  std::string path = WithDefaultExtension(name, "raw");
  auto input = std::make_unique<RawInput>();
  if (!input->Open(path, description)) return nullptr;
  description.name = path;
  return input;
}

}  // namespace toolsupport
