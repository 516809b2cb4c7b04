#pragma once
// A sound input over bytes in memory, for the track encoder's tests.
#include <algorithm>
#include <cstring>
#include <vector>

#include "toolsupport/sound/pcm_source.h"

namespace testing_files {

class MemoryPcmSource : public toolsupport::PcmSource {
 public:
  MemoryPcmSource(toolsupport::PcmFormat format, std::vector<uint8_t> bytes)
      : format_(format), bytes_(std::move(bytes)) {}
  toolsupport::PcmFormat OutputFormat() const override { return format_; }
  uint64_t OutputSize() const override { return bytes_.size(); }
  size_t ReadConverted(void* buffer, size_t count) override {
    count = std::min(count, bytes_.size() - position_);
    count -= count % format_.FrameBytes();
    if (count > 0) std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  bool AtEnd() const override { return position_ + format_.FrameBytes() > bytes_.size(); }
  bool Rewind() override {
    position_ = 0;
    return true;
  }

 private:
  toolsupport::PcmFormat format_;
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace testing_files
