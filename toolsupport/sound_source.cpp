#include "sound_source.h"

#include <algorithm>
#include <cstdio>

#include "paths.h"
#include "platform/system/file_names.h"

namespace toolsupport {
namespace {

// Lists that name lists are followed only this deep, so a list naming itself ends.
constexpr int kMaxListDepth = 8;

void ReportError(const ProgressCallback& progress, const char* text) {
  if (progress) progress(2, text);
}

uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t c) {
  return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b / c);
}

std::string WithDefaultExtension(const std::string& name, const char* extension) {
  return FindExtension(name) == std::string::npos ? platform::NameForOpening(name, extension) : name;
}

// A switch value in milliseconds. Negative values are frames for video inputs (with their frame
// period in 10 us units) and plain milliseconds for files.
uint64_t Milliseconds(int32_t value, bool video, uint32_t framePeriod) {
  const uint64_t magnitude = value < 0 ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(value))
                                       : static_cast<uint64_t>(value);
  if (value >= 0 || !video) return magnitude;
  return magnitude * framePeriod / 100;
}

struct Cut {
  uint64_t skip = 0;
  uint64_t length = 0;
};

// The part of `size` bytes that the start and end switches keep, in whole sample frames.
Cut CutOf(const SoundSwitches& s, bool video, uint32_t framePeriod, const PcmFormat& format, uint64_t size) {
  const uint64_t start = Milliseconds(s.start, video, framePeriod);
  const uint64_t end = Milliseconds(s.end, video, framePeriod);
  const uint64_t frame = format.FrameBytes();
  Cut cut{0, size};
  if (start == 0 && end == 0) return cut;
  cut.skip = MulDiv(start, format.BytesPerSecond(), 1000) / frame * frame;
  cut.length = cut.skip < size ? size - cut.skip : 0;
  if (end >= start) cut.length = std::min(cut.length, MulDiv(end - start, format.BytesPerSecond(), 1000) / frame * frame);
  return cut;
}

// Checks the requested output and fills in what the source keeps.
bool OutputFormatOf(const SoundSwitches& s, const PcmFormat& source, PcmFormat& output) {
  if (s.rate < 0 || s.rate > 0xFFFFFF) return false;
  if (s.channels != 0 && s.channels != 1 && s.channels != 2) return false;
  if (s.bits != 0 && s.bits != 8 && s.bits != 16) return false;
  output.rate = s.rate ? static_cast<uint32_t>(s.rate) : source.rate;
  output.channels = s.channels ? static_cast<uint32_t>(s.channels) : source.channels;
  output.bits = s.bits ? static_cast<uint32_t>(s.bits) : source.bits;
  return output.Valid();
}

// The raw PCM format of /Y and /D.
PcmFormat RawFormat(const SoundSwitches& s) {
  const uint32_t word = RawFormatWord(s);
  PcmFormat format;
  format.channels = (word & 1) ? 2 : 1;
  format.bits = (word & 2) ? 16 : 8;
  format.rate = word >> 3;
  return format;
}

}  // namespace

std::unique_ptr<SoundSource> OpenSoundSource(const ProgressCallback& progress, const SoundSwitches& switches,
                                             const std::string& name, int depth);

namespace {

std::unique_ptr<SoundSource> Refuse(const ProgressCallback& progress, const char* text) {
  ReportError(progress, text);
  return nullptr;
}

}  // namespace

SoundSource::~SoundSource() = default;

std::unique_ptr<SoundSource> OpenSoundSource(const ProgressCallback& progress, const SoundSwitches& switches,
                                             const std::string& name, int depth) {
  auto source = std::unique_ptr<SoundSource>(new SoundSource);
  source->progress_ = progress;
  source->name = name;
  source->depth_ = depth;
  bool video = false;
  uint32_t framePeriod = 0;

  if (platform::HasExtension(name, ".lst")) {
    if (depth >= kMaxListDepth) return Refuse(progress, "Wave lists are nested too deeply.");
    ListWalker walker;
    if (!walker.OpenListFile(name)) return Refuse(progress, "Error opening the input file.");
    ListEntry entry;
    while (walker.ParseListEntry(entry)) source->entries_.push_back(entry);
    if (source->entries_.empty()) return Refuse(progress, "No files in the wave list file.");
    // The first entry's format is the list's unless one is requested; every entry is then
    // opened in that format to add up the list's size.
    SoundSwitches entrySwitches = switches;
    entrySwitches.start = source->entries_[0].start;
    entrySwitches.end = source->entries_[0].end;
    std::unique_ptr<SoundSource> first = OpenSoundSource(progress, entrySwitches, source->entries_[0].name, depth + 1);
    if (!first) return nullptr;
    source->kind = SoundKind::kWaveList;
    source->source = source->output = first->output;
    entrySwitches.rate = static_cast<int32_t>(source->output.rate);
    entrySwitches.channels = static_cast<int32_t>(source->output.channels);
    entrySwitches.bits = static_cast<int32_t>(source->output.bits);
    source->entrySwitches_ = entrySwitches;
    uint64_t total = 0;
    for (const ListEntry& e : source->entries_) {
      entrySwitches.start = e.start;
      entrySwitches.end = e.end;
      std::unique_ptr<SoundSource> opened = OpenSoundSource(progress, entrySwitches, e.name, depth + 1);
      if (!opened) return nullptr;
      total += opened->size;
    }
    const Cut cut = CutOf(switches, false, 0, source->output, total);
    source->listSkip_ = cut.skip;
    source->size = cut.length;
  } else {
    PcmFormat format;
    std::vector<FileSegment> segments;
    std::unique_ptr<InputFile> file;
    const std::string fileName = WithDefaultExtension(name, ".wav");
    if (switches.IsRaw()) {
      file = std::make_unique<InputFile>();
      if (!file->Open(fileName)) return Refuse(progress, "Error opening the input file.");
      format = RawFormat(switches);
      if (format.rate == 0 || format.rate > 0xFFFFFF) {
        return Refuse(progress, "The sample rate of the raw sound must be 1 to 16777215 (/D).");
      }
      const uint64_t fileSize = file->size();
      const uint64_t skip = std::min<uint64_t>(static_cast<uint64_t>(std::max(switches.skipBytes, 0)),
                                               fileSize ? fileSize - 1 : 0);
      const uint64_t bytes = (fileSize - skip) / format.FrameBytes() * format.FrameBytes();
      segments.push_back({skip, bytes});
    } else {
      auto riff = std::make_unique<RiffFile>();
      FileSound sound;
      const bool isRiff = riff->Open(fileName);
      if (isRiff && ReadWavSound(*riff, sound)) {
        source->kind = SoundKind::kFile;
      } else {
        riff = std::make_unique<RiffFile>();
        const std::string aviName = WithDefaultExtension(name, ".avi");
        if (!riff->Open(aviName)) return Refuse(progress, "Error opening the input file.");
        const AviSoundResult found = ReadAviSound(*riff, std::max(switches.track, 0), sound);
        if (found == AviSoundResult::kNoSound) return Refuse(progress, "Error opening the input file.");
        if (found == AviSoundResult::kBadFormat) return Refuse(progress, "Error reading AVI file.");
        source->kind = SoundKind::kAvi;
        video = true;
        framePeriod = sound.framePeriod;
      }
      format = sound.format;
      segments = std::move(sound.segments);
      file = std::move(riff);
    }
    auto stream = std::make_unique<SegmentStream>(std::move(file), std::move(segments));
    const Cut cut = CutOf(switches, video, framePeriod, format, stream->Size());
    stream->Cut(cut.skip, cut.length);
    source->source = format;
    source->stream_ = std::move(stream);
  }

  if (source->kind != SoundKind::kWaveList) {
    if (!OutputFormatOf(switches, source->source, source->output)) {
      return Refuse(progress, "Unsupported sound output format: rates up to 16777215, 1 or 2 channels, 8 or 16 bits.");
    }
    source->converter_ = std::make_unique<SoundConverter>(*source->stream_, source->source, source->output);
    source->size = source->converter_->OutputBytes();
  }
  if (source->size == 0) return Refuse(progress, "No sound found in the input file.");
  if (!source->Rewind()) return Refuse(progress, "Error reading the input file.");
  return source;
}

std::unique_ptr<SoundSource> OpenSoundInput(const ProgressCallback& progress, const SoundSwitches& switches,
                                            const std::string& name) {
  return OpenSoundSource(progress, switches, name, 0);
}

size_t SoundSource::ReadPlain(uint8_t* buffer, size_t count) {
  if (kind != SoundKind::kWaveList) return converter_->Read(buffer, count);
  return ReadList(buffer, count);
}

size_t SoundSource::ReadList(uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count && entryIndex_ < entries_.size()) {
    if (!entry_) {
      SoundSwitches s = entrySwitches_;
      s.start = entries_[entryIndex_].start;
      s.end = entries_[entryIndex_].end;
      entry_ = OpenSoundSource(progress_, s, entries_[entryIndex_].name, depth_ + 1);
      if (!entry_) {  // gone since the list was opened; the reason has been reported
        entryIndex_ = entries_.size();
        break;
      }
    }
    const size_t got = entry_->ReadPlain(buffer + done, count - done);
    done += got;
    if (got == 0 || entry_->Exhausted()) {
      entry_.reset();
      ++entryIndex_;
    }
  }
  return done;
}

bool SoundSource::Exhausted() const {
  if (kind != SoundKind::kWaveList) return converter_->Exhausted();
  return entryIndex_ >= entries_.size();
}

bool SoundSource::SkipOutput(uint64_t bytes) {
  std::vector<uint8_t> scratch(16384 / output.FrameBytes() * output.FrameBytes());
  while (bytes > 0) {
    const size_t got = ReadPlain(scratch.data(), static_cast<size_t>(std::min<uint64_t>(bytes, scratch.size())));
    if (got == 0) return false;
    bytes -= got;
  }
  return true;
}

bool SoundSource::Rewind() {
  left = size;
  atEnd = false;
  if (kind == SoundKind::kWaveList) {
    entry_.reset();
    entryIndex_ = 0;
    return SkipOutput(listSkip_);
  }
  if (!stream_->Restart()) return false;
  converter_->Restart();
  return true;
}

size_t SoundSource::ReadConverted(void* buffer, size_t count) {
  if (progress_ && size > 0) {
    char text[64];
    std::snprintf(text, sizeof text, "Processing sound data (%i%%)...",
                  static_cast<int>(MulDiv(size - left, 100, size)));
    progress_(0, text);
  }
  const uint32_t frame = output.FrameBytes();
  count = static_cast<size_t>(std::min<uint64_t>(count, left)) / frame * frame;
  const size_t got = count ? ReadPlain(static_cast<uint8_t*>(buffer), count) : 0;
  left -= got;
  if (left < frame || got < count) atEnd = true;
  return got;
}

size_t ReadConvertedSound(size_t count, void* buffer, SoundSource& source) {
  return source.ReadConverted(buffer, count);
}

bool SeekSoundInput(SoundSource& source) { return source.Rewind(); }

void CloseSoundInput(std::unique_ptr<SoundSource>& source) { source.reset(); }

}  // namespace toolsupport
