// `.vnt` videos through the playback library, decoded into a buffer of our own.
#include <algorithm>
#include <cstring>

#include "toolsupport/picture/graphics_inputs.h"
#include "platform/image/image.h"
#include "playback/vant.h"

namespace toolsupport {
namespace {

class VntInput : public FrameInput {
 public:
  ~VntInput() override {
    if (video_) {
      VantToBuffer(video_, 0, 0, 0, 0, nullptr, 0);
      VantClose(video_);
    }
  }

  bool Open(const std::string& path) {
    path_ = path;
    video_ = VantOpen(path.c_str(), 0, 0);
    if (!video_) return false;
    const uint32_t width = video_->header.width, height = video_->header.height;
    // The decode buffer is as large as the image layer lets a picture be, no larger.
    if (width == 0 || height == 0 || width > platform::kMaxImageSide || height > platform::kMaxImageSide ||
        uint64_t{width} * height > platform::kMaxImageBytes) {
      return false;
    }
    width_ = static_cast<int32_t>(width);
    height_ = static_cast<int32_t>(height);
    buffer_.assign(static_cast<size_t>(width_) * height_, 0);
    return VantToBuffer(video_, 0, 0, width_, height_, buffer_.data(), 0) != 0;
  }
  const VantVideo& video() const { return *video_; }

  bool Read(InputFrame& frame, std::array<uint8_t, 768>& palette) override {
    frame = {buffer_.data(), width_, width_, height_, 8, video_->currentFrameSize};
    // A file cut short plays up to the cut; the frames after it cannot be read.
    if (video_->readFailed) return ReadFailed(path_, EndsEarly(video_->currentFrame, video_->header.frames));
    VantDoFrame(video_);
    std::memcpy(palette.data(), video_->palette, palette.size());
    VantNextFrame(video_);
    return true;
  }
  void Rewind() override { VantGoto(video_, 1); }

 private:
  VantVideo* video_ = nullptr;
  std::string path_;
  int32_t width_ = 0, height_ = 0;
  std::vector<uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<FrameInput> OpenVntInput(const std::string& name, InputDescription& description) {
  std::string path = WithDefaultExtension(name, "vnt");
  auto input = std::make_unique<VntInput>();
  if (!input->Open(path)) return nullptr;
  const VantVideo& video = input->video();
  description.name = path;
  description.kind = kGraphicsVnt;
  description.width = static_cast<int32_t>(video.header.width);
  description.height = static_cast<int32_t>(video.header.height);
  description.frames = static_cast<int32_t>(std::min<uint32_t>(video.header.frames, INT32_MAX));
  description.frameRate = video.header.frameRate;
  description.bitsPerPixel = 8;
  return input;
}

}  // namespace toolsupport
