// Still pictures through the image calls and AVI videos through our reader.
#include <cctype>
#include <cstring>
#include <filesystem>

#include "platform/system/file_names.h"
#include "toolsupport/base/paths.h"
#include "toolsupport/picture/avi_reader.h"
#include "toolsupport/picture/graphics_inputs.h"
#include "toolsupport/picture/image_calls.h"

namespace toolsupport {
namespace {

struct PictureKind {
  GraphicsKind kind;
  const char* extension;
  int (*info)(const char*, ImageInfoRecord*);
  int (*load)(const char*, ImageRecord*);
};

// The order in which a picture's kind is probed; TGA has no signature and is
// checked strictly, before JPEG.
constexpr PictureKind kPictureKinds[] = {
    {kGraphicsBmp, "bmp", bmpinfo, loadbmp}, {kGraphicsGif, "gif", gifinfo, loadgif},
    {kGraphicsTif, "tif", tiffinfo, loadtif}, {kGraphicsPcx, "pcx", pcxinfo, loadpcx},
    {kGraphicsTga, "tga", tgainfo, loadtga}, {kGraphicsJpg, "jpg", jpeginfo, loadjpg},
};

// One picture, loaded at every read (a list may hold the same file more than once).
class PictureInput : public FrameInput {
 public:
  PictureInput(const PictureKind& kind, std::string path, ImageInfoRecord info)
      : kind_(kind), path_(std::move(path)), info_(info) {}

  bool Read(InputFrame& frame, std::array<uint8_t, 768>& palette) override {
    int result = allocimage(&image_, info_.width, info_.height, info_.bitsPerPixel);
    if (result == 0) result = kind_.load(path_.c_str(), &image_);
    const bool ok = result == 0;
    if (!ok) {
      allocimage(&image_, info_.width, info_.height, info_.bitsPerPixel);  // a black frame
      ReadFailed(path_, platform::ImageStatusReason(static_cast<platform::ImageStatus>(result)));
    } else if (image_.bitsPerPixel == 8) {
      CopyPaletteChanged(palette.data(), image_.palette.data(), 256);
    }
    frame.pixels = image_.pixels.empty() ? nullptr : image_.RowFromTop(0);
    frame.pitch = -static_cast<ptrdiff_t>(image_.pitch);  // rows are stored bottom-up
    frame.width = image_.width;
    frame.height = image_.height;
    frame.bitsPerPixel = image_.bitsPerPixel;
    std::error_code unknownSize;
    frame.dataSize = static_cast<int64_t>(std::filesystem::file_size(path_, unknownSize));
    return ok;
  }
  void Rewind() override {}

 private:
  PictureKind kind_;
  std::string path_;
  ImageInfoRecord info_;
  ImageRecord image_;
};

class AviInput : public FrameInput {
 public:
  bool Open(const std::string& path) {
    path_ = path;
    return reader_.Open(path);
  }
  const AviReader& reader() const { return reader_; }

  bool Read(InputFrame& frame, std::array<uint8_t, 768>& palette) override {
    const int32_t index = next_++;
    frame = {reader_.pixels(), reader_.pitch(), reader_.width(), reader_.height(), reader_.bitsPerPixel(), 0};
    if (index >= reader_.frames()) return ReadFailed(path_, EndsEarly(reader_.frames(), reader_.announcedFrames()));
    const bool ok = reader_.DecodeFrame(index);
    frame.dataSize = reader_.sampleSize(index) + reader_.soundBytesPerFrame();
    if (reader_.bitsPerPixel() == 8) palette = reader_.palette();
    return ok || ReadFailed(path_, "frame " + std::to_string(index + 1) + " cannot be read");
  }
  bool Skip(int32_t count, const Progress&, std::array<uint8_t, 768>&) override {
    next_ += count;
    return true;
  }
  void Rewind() override { next_ = 0; }

 private:
  AviReader reader_;
  std::string path_;
  int32_t next_ = 0;
};

}  // namespace

std::string WithDefaultExtension(const std::string& name, const char* extension) {
  return FindExtension(name) != std::string::npos ? name : platform::NameForOpening(name, std::string(".") + extension);
}

bool HasExtensionOf(const std::string& name, const char* extension) {
  const size_t dot = FindExtension(name);
  if (dot == std::string::npos) return false;
  const char* given = name.c_str() + dot + 1;
  if (std::strlen(given) != std::strlen(extension)) return false;
  for (size_t i = 0; extension[i]; ++i) {
    if (std::tolower(static_cast<unsigned char>(given[i])) != std::tolower(static_cast<unsigned char>(extension[i]))) {
      return false;
    }
  }
  return true;
}

std::unique_ptr<FrameInput> OpenPictureInput(const std::string& name, InputDescription& description) {
  for (const PictureKind& kind : kPictureKinds) {
    std::string path = WithDefaultExtension(name, kind.extension);
    ImageInfoRecord info;
    const int status = kind.info(path.c_str(), &info);
    if (status == static_cast<int>(platform::ImageStatus::OutOfMemory) && description.refusal.empty()) {
      description.refusal = "Error opening: " + path + ": the picture is too large: " + std::to_string(info.width) +
                            " x " + std::to_string(info.height) + " pixels.";
    }
    if (status != 0) continue;
    description.name = path;
    description.kind = kind.kind;
    description.width = info.width;
    description.height = info.height;
    description.frames = 1;
    description.frameRate = 100;
    description.bitsPerPixel = info.bitsPerPixel > 8 ? 24 : 8;
    return std::make_unique<PictureInput>(kind, path, info);
  }
  return nullptr;
}

std::unique_ptr<FrameInput> OpenAviInput(const std::string& name, InputDescription& description) {
  std::string path = WithDefaultExtension(name, "avi");
  auto input = std::make_unique<AviInput>();
  if (!input->Open(path)) return nullptr;
  const AviReader& reader = input->reader();
  description.name = path;
  description.kind = kGraphicsAvi;
  description.width = reader.width();
  description.height = reader.height();
  description.frames = reader.announcedFrames();
  description.frameRate = reader.frameRate();
  description.bitsPerPixel = reader.bitsPerPixel() > 8 ? 24 : 8;
  return input;
}

}  // namespace toolsupport
