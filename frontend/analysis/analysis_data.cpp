#include "frontend/analysis/analysis_data.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "playback/video_file_format.h"

namespace frontend {

const SpeedLine kSpeedLines[3] = {{1, 3, 0xFFFF00}, {2, 1, 0xFF0000}, {4, 2, 0x00FF00}};

namespace {

// The table is read this many sizes at a time.
constexpr size_t kSizesPerRead = 512;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

int64_t PeriodOf(int32_t headerFrameRate) {
  return headerFrameRate >= 0 ? int64_t(headerFrameRate) * 100 : -int64_t(headerFrameRate);
}

}  // namespace

LoadOutcome DataRateAnalysis::Load(const std::string& fileName) {
  sizes_.clear();
  averages_.clear();
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
  struct stat info {};
  if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return LoadOutcome::Unreadable;
  uint8_t bytes[vntfile::kHeaderSize];
  if (std::fread(bytes, 1, sizeof bytes, file.get()) != sizeof bytes) return LoadOutcome::Unreadable;
  const VideoFileHeader header = vntfile::ParseHeader(bytes);
  if (!vntfile::HasMagic(header)) return LoadOutcome::Unreadable;

  // The header's count is believed only as far as the file holds a size for every frame.
  if (uint64_t(info.st_size) < vntfile::kHeaderSize) return LoadOutcome::Unreadable;
  const uint64_t room = (uint64_t(info.st_size) - vntfile::kHeaderSize) / 4;
  if (header.frames > room) return LoadOutcome::Unreadable;
  std::vector<uint32_t> sizes(header.frames);
  uint8_t block[kSizesPerRead * 4];
  for (size_t done = 0; done < sizes.size();) {
    const size_t count = std::min(kSizesPerRead, sizes.size() - done);
    if (std::fread(block, 4, count, file.get()) != count) return LoadOutcome::Unreadable;
    for (size_t i = 0; i < count; ++i) sizes[done + i] = vntfile::LoadLE32(block + 4 * i);
    done += count;
  }
  if (PeriodOf(header.frameRate) == 0) return LoadOutcome::NoFrameRate;
  SetVideo(header.frameRate, std::move(sizes));
  return LoadOutcome::Loaded;
}

void DataRateAnalysis::SetVideo(int32_t headerFrameRate, std::vector<uint32_t> sizes) {
  period_ = PeriodOf(headerFrameRate);
  sizes_ = std::move(sizes);
  window_ = period_ > 0 ? static_cast<int>(std::clamp<int64_t>(100000 / period_, 1, kLongestWindow)) : 1;
  ComputeAverages();
}

// The average of the last `window_` frames, where the first frame counts as 0 bytes: it carries
// the sound that plays ahead of the pictures.
void DataRateAnalysis::ComputeAverages() {
  averages_.assign(sizes_.size(), 0);
  std::vector<uint32_t> recent(static_cast<size_t>(window_), 0);  // a ring of the last sizes
  uint64_t sum = 0;
  size_t count = 0;
  for (size_t i = 0; i < sizes_.size(); ++i) {
    const size_t slot = i % recent.size();
    if (count < recent.size()) ++count;
    else sum -= recent[slot];
    recent[slot] = i == 0 ? 0 : sizes_[i];
    sum += recent[slot];
    averages_[i] = static_cast<uint32_t>(sum / count);
  }
}

double DataRateAnalysis::SizeValue(size_t index, RateUnit unit) const {
  const double size = sizes_.at(index);
  return unit == RateUnit::BytesPerSecond ? size * 100000 / double(period_) : size;
}

double DataRateAnalysis::AverageValue(size_t index, RateUnit unit) const {
  const double average = averages_.at(index);
  return unit == RateUnit::BytesPerSecond ? average * 100000 / double(period_) : average;
}

double DataRateAnalysis::SpeedLineValue(int speed, RateUnit unit) const {
  // A drive sustains 150000 bytes per second per speed; the lines show 80 percent of it.
  const double perSecond = 150000.0 * speed;
  if (unit == RateUnit::BytesPerSecond) return perSecond * 0.8;
  return double(period_) * perSecond * 0.8 * 0.00001;
}

int64_t DataRateAnalysis::BytesPerSecond(uint32_t size) const {
  return period_ > 0 ? int64_t(size) * 100000 / period_ : 0;
}

std::string DataRateAnalysis::FrameInfo(int64_t frame) const {
  if (frame < 1 || frame > int64_t(sizes_.size())) return "";
  const uint32_t size = sizes_[size_t(frame - 1)];
  return "Frame: " + std::to_string(frame) + "  Size: " + std::to_string(size) +
         "  Bytes per second: " + std::to_string(BytesPerSecond(size));
}

std::string DataRateAnalysis::ValuesText(const std::string& fileName) const {
  std::string text = "Vantrel file: " + fileName + "\r\n\r\nFrame\tSize\tBytes per Second\r\n";
  text.reserve(text.size() + sizes_.size() * 24);
  for (size_t i = 0; i < sizes_.size(); ++i) {
    text += std::to_string(i + 1);
    text += '\t';
    text += std::to_string(sizes_[i]);
    text += '\t';
    text += std::to_string(BytesPerSecond(sizes_[i]));
    text += "\r\n";
  }
  return text;
}

double RoundedAxisTop(double highest, RateUnit unit) {
  const int64_t unitStep = unit == RateUnit::BytesPerSecond ? 1000 : 500;
  const int64_t fives = static_cast<int64_t>(std::max(0.0, highest) * 0.2 + 0.5) * 5;
  const int64_t top = (fives + unitStep - 1) / unitStep * unitStep;
  return static_cast<double>(std::max(top, unitStep));
}

}  // namespace frontend
