#include "toolsupport/sound/sound_streams.h"

#include <algorithm>
#include <cstring>

#include "platform/system/mul_div.h"

namespace toolsupport {
namespace {

constexpr size_t kReadBufferSize = 16384;

using platform::MulDiv;
using platform::MulMod;

}  // namespace

SegmentStream::SegmentStream(std::unique_ptr<InputFile> file, std::vector<FileSegment> segments)
    : file_(std::move(file)), segments_(std::move(segments)) {
  for (const FileSegment& segment : segments_) size_ += segment.size;
}

void SegmentStream::Cut(uint64_t skip, uint64_t length) {
  std::vector<FileSegment> kept;
  uint64_t left = length;
  for (FileSegment segment : segments_) {
    if (skip >= segment.size) {
      skip -= segment.size;
      continue;
    }
    segment.offset += skip;
    segment.size -= skip;
    skip = 0;
    segment.size = std::min(segment.size, left);
    left -= segment.size;
    if (segment.size > 0) kept.push_back(segment);
    if (left == 0) break;
  }
  segments_ = std::move(kept);
  size_ = length - left;
  Restart();
}

size_t SegmentStream::Read(uint8_t* destination, size_t count) {
  size_t done = 0;
  while (done < count && segment_ < segments_.size()) {
    const FileSegment& segment = segments_[segment_];
    const size_t want = static_cast<size_t>(std::min<uint64_t>(count - done, segment.size - offset_));
    const size_t got = file_->ReadSome(segment.offset + offset_, destination + done, want);
    done += got;
    offset_ += got;
    if (got < want) {  // the file shrank under us: the sound ends here
      endedEarly_ = true;
      segment_ = segments_.size();
      break;
    }
    if (offset_ == segment.size) {
      ++segment_;
      offset_ = 0;
    }
  }
  return done;
}

bool SegmentStream::Restart() {
  endedEarly_ = false;
  segment_ = 0;
  offset_ = 0;
  return true;
}

SoundConverter::SoundConverter(SoundByteStream& stream, PcmFormat source, PcmFormat output)
    : stream_(stream), source_(source), output_(output) {
  const uint64_t sourceFrames = stream.Size() / source.FrameBytes();
  outputFrames_ = MulDiv(sourceFrames, output.rate, source.rate);
  buffer_.resize(kReadBufferSize / source.FrameBytes() * source.FrameBytes());
}

void SoundConverter::Restart() {
  position_ = filled_ = 0;
  produced_ = consumed_ = 0;
  dry_ = false;
  haveCurrent_ = haveNext_ = false;
  currentIndex_ = 0;
}

bool SoundConverter::PullFrame(Frame& frame) {
  const size_t frameBytes = source_.FrameBytes();
  if (filled_ - position_ < frameBytes) {
    // Keep a partial frame and read on behind it.
    std::memmove(buffer_.data(), buffer_.data() + position_, filled_ - position_);
    filled_ -= position_;
    position_ = 0;
    while (filled_ < frameBytes) {
      const size_t got = stream_.Read(buffer_.data() + filled_, buffer_.size() - filled_);
      if (got == 0) return false;
      filled_ += got;
    }
  }
  const uint8_t* p = buffer_.data() + position_;
  position_ += frameBytes;
  ++consumed_;
  if (source_.bits == 8) {
    frame.left = p[0] << 8;
    frame.right = source_.channels == 2 ? p[1] << 8 : frame.left;
  } else {
    frame.left = static_cast<int16_t>(p[0] | p[1] << 8) + 0x8000;
    frame.right = source_.channels == 2 ? static_cast<int16_t>(p[2] | p[3] << 8) + 0x8000 : frame.left;
  }
  return true;
}

bool SoundConverter::NextOutputFrame(Frame& frame) {
  if (output_.rate == source_.rate) return PullFrame(frame);

  if (output_.rate < source_.rate) {
    // Average every source frame up to the end of this output frame.
    const uint64_t end = MulDiv(produced_ + 1, source_.rate, output_.rate);
    int64_t left = 0, right = 0, count = 0;
    Frame f;
    while (consumed_ < end && PullFrame(f)) {
      left += f.left;
      right += f.right;
      ++count;
    }
    if (count == 0) return false;
    frame.left = static_cast<int32_t>((left + count / 2) / count);
    frame.right = static_cast<int32_t>((right + count / 2) / count);
    return true;
  }

  // Interpolate between source frames index and index + 1.
  const uint64_t index = MulDiv(produced_, source_.rate, output_.rate);
  const int64_t fraction = static_cast<int64_t>(MulMod(produced_, source_.rate, output_.rate) * 1024 / output_.rate);
  if (!haveCurrent_) {
    if (!PullFrame(current_)) return false;
    haveCurrent_ = true;
    currentIndex_ = 0;
    haveNext_ = PullFrame(next_);
  }
  while (currentIndex_ < index) {
    if (!haveNext_) return false;
    current_ = next_;
    ++currentIndex_;
    haveNext_ = PullFrame(next_);
  }
  const Frame& after = haveNext_ ? next_ : current_;
  frame.left = current_.left + static_cast<int32_t>(((after.left - current_.left) * fraction) >> 10);
  frame.right = current_.right + static_cast<int32_t>(((after.right - current_.right) * fraction) >> 10);
  return true;
}

void SoundConverter::StoreFrame(const Frame& frame, uint8_t* out) const {
  int32_t values[2] = {frame.left, frame.right};
  if (output_.channels == 1) values[0] = (frame.left + frame.right + 1) >> 1;
  for (uint32_t c = 0; c < output_.channels; ++c) {
    if (output_.bits == 8) {
      out[c] = static_cast<uint8_t>(std::min((values[c] + 0x80) >> 8, 0xFF));
    } else {
      const uint32_t sample = static_cast<uint32_t>(values[c] - 0x8000);
      out[2 * c] = static_cast<uint8_t>(sample);
      out[2 * c + 1] = static_cast<uint8_t>(sample >> 8);
    }
  }
}

size_t SoundConverter::Read(uint8_t* destination, size_t count) {
  const size_t frameBytes = output_.FrameBytes();
  const bool copy = source_.rate == output_.rate && source_.bits == output_.bits &&
                    source_.channels == output_.channels;
  size_t done = 0;
  while (done + frameBytes <= count && produced_ < outputFrames_ && !dry_) {
    if (copy && filled_ - position_ >= frameBytes) {
      // Same format: whole runs of buffered frames go across unchanged.
      const uint64_t frames = std::min<uint64_t>({(filled_ - position_) / frameBytes,
                                                  (count - done) / frameBytes, outputFrames_ - produced_});
      const size_t bytes = static_cast<size_t>(frames) * frameBytes;
      std::memcpy(destination + done, buffer_.data() + position_, bytes);
      position_ += bytes;
      consumed_ += frames;
      produced_ += frames;
      done += bytes;
      continue;
    }
    Frame frame;
    if (!NextOutputFrame(frame)) {
      dry_ = true;
      break;
    }
    StoreFrame(frame, destination + done);
    ++produced_;
    done += frameBytes;
  }
  return done;
}

}  // namespace toolsupport
