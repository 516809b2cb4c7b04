#include "toolsupport/sound/sound_source.h"

#include <algorithm>
#include <cstdio>

#include "platform/system/mul_div.h"
#include "toolsupport/base/paths.h"
#include "platform/system/file_names.h"
#include "toolsupport/sound/video_sound_stream.h"

namespace toolsupport {
namespace {

// Lists that name lists are followed only this deep, so a list naming itself ends.
constexpr int kMaxListDepth = 8;

using platform::MulDiv;

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

// A sound input that ends before the sound it announces is an error, whatever reads it.
std::string EndsEarlyText(const std::string& fileName, uint64_t held, uint64_t announced) {
  return "Error reading " + fileName + ": the sound ends after " + std::to_string(held) + " of its " +
         std::to_string(announced) + " bytes.";
}

}  // namespace

SoundSource::~SoundSource() = default;

bool SoundSource::Refuse(const char* text) {
  // A list entry that failed while the list was being read tells its own reason first.
  refused_ = readStatus_;
  refused_.Then(text);
  return false;
}

bool SoundSource::RefuseCut(const std::string& fileName, uint64_t held, uint64_t announced) {
  cut_ = true;
  refused_ = Status::Error(EndsEarlyText(fileName, held, announced));
  return false;
}

bool SoundSource::RefuseCutEntry(const Status& why) {
  cut_ = true;
  refused_ = why;
  return false;
}

Result<std::unique_ptr<SoundSource>> SoundSource::Open(const Progress& progress, const SoundSwitches& switches,
                                                       const std::string& name, int depth, bool* soundFound,
                                                       bool* cut) {
  auto source = std::unique_ptr<SoundSource>(new SoundSource);
  source->progress_ = progress;
  source->name = name;
  source->depth_ = depth;
  bool opened;
  if (platform::HasExtension(name, ".lst")) {
    opened = source->OpenList(switches);
  } else if (switches.IsRaw()) {
    opened = source->OpenRawFile(switches);
  } else {
    opened = source->OpenRecording(switches);
  }
  opened = opened && source->Finish(switches);
  if (soundFound != nullptr && source->soundFound_) *soundFound = true;
  if (cut != nullptr) *cut = source->cut_;
  if (!opened) return source->refused_;
  return source;
}

bool SoundSource::OpenList(const SoundSwitches& switches) {
  if (depth_ >= kMaxListDepth) return Refuse("Wave lists are nested too deeply.");
  ListWalker walker;
  if (!walker.OpenListFile(name)) return Refuse("Error opening the input file.");
  std::vector<ListEntry> listed;
  ListEntry entry;
  while (walker.ParseListEntry(entry)) {
    listed.push_back(entry);
    readFiles.Add(entry.name);
  }
  kind = SoundKind::kWaveList;
  // The first entry's format is the list's unless one is requested; every entry is then
  // opened in that format to add up the list's size. Entries that cannot be opened are
  // skipped, each with a status line.
  entrySwitches_ = switches;
  std::unique_ptr<SoundSource> first;
  for (const ListEntry& candidate : listed) {
    Result<std::unique_ptr<SoundSource>> opened = OpenEntryOrSkip(candidate, &soundFound_);
    if (!opened.ok()) return RefuseCutEntry(opened.status());
    if ((first = opened.Take())) break;
  }
  if (!first) return Refuse("No files in the wave list file.");
  source = output = first->output;
  entrySwitches_.rate = static_cast<int32_t>(output.rate);
  entrySwitches_.channels = static_cast<int32_t>(output.channels);
  entrySwitches_.bits = static_cast<int32_t>(output.bits);
  uint64_t total = 0;
  for (const ListEntry& candidate : listed) {
    Result<std::unique_ptr<SoundSource>> opening = OpenEntryOrSkip(candidate, &soundFound_);
    if (!opening.ok()) return RefuseCutEntry(opening.status());
    std::unique_ptr<SoundSource> opened = opening.Take();
    if (!opened) continue;
    entries_.push_back(candidate);
    readFiles.Add(opened->readFiles);
    total += opened->size;
  }
  if (entries_.empty()) return Refuse("No files in the wave list file.");
  const Cut cut = CutOf(switches, false, 0, output, total);
  listSkip_ = cut.skip;
  size = cut.length;
  return true;
}

Result<std::unique_ptr<SoundSource>> SoundSource::OpenEntry(size_t index) const {
  SoundSwitches s = entrySwitches_;
  s.start = entries_[index].start;
  s.end = entries_[index].end;
  return Open(progress_, s, entries_[index].name, depth_ + 1, nullptr);
}

Result<std::unique_ptr<SoundSource>> SoundSource::OpenEntryOrSkip(const ListEntry& entry, bool* soundFound) const {
  SoundSwitches s = entrySwitches_;
  s.start = entry.start;
  s.end = entry.end;
  bool cut = false;
  Result<std::unique_ptr<SoundSource>> opened = Open(progress_, s, entry.name, depth_ + 1, soundFound, &cut);
  if (opened.ok() || cut) return opened;
  // The list is walked more than once while it is opened: each entry's reason shows once.
  if (reported_.insert(entry.name).second) {
    for (const std::string& reason : opened.status().messages()) {
      progress_.Show(ProgressKind::StatusNow, entry.name + ": " + reason + " - skipped.");
    }
  }
  return std::unique_ptr<SoundSource>();
}

bool SoundSource::OpenRawFile(const SoundSwitches& switches) {
  auto file = std::make_unique<InputFile>();
  readFiles.Add(WithDefaultExtension(name, ".wav"));
  if (!file->Open(WithDefaultExtension(name, ".wav"))) return Refuse("Error opening the input file.");
  soundFound_ = true;  // every byte of a raw file is sound
  source = RawFormat(switches);
  if (source.rate == 0 || source.rate > 0xFFFFFF) {
    return Refuse("The sample rate of the raw sound must be 1 to 16777215 (/D).");
  }
  const uint64_t fileSize = file->size();
  const uint64_t skip =
      std::min<uint64_t>(static_cast<uint64_t>(std::max(switches.skipBytes, 0)), fileSize ? fileSize - 1 : 0);
  const uint64_t bytes = (fileSize - skip) / source.FrameBytes() * source.FrameBytes();
  auto stream = std::make_unique<SegmentStream>(std::move(file), std::vector<FileSegment>{{skip, bytes}});
  const Cut cut = CutOf(switches, false, 0, source, stream->Size());
  stream->Cut(cut.skip, cut.length);
  stream_ = std::move(stream);
  return true;
}

bool SoundSource::OpenRecording(const SoundSwitches& switches) {
  auto riff = std::make_unique<RiffFile>();
  FileSound sound;
  bool video = false;
  // Whichever of the names opens is read.
  for (const char* extension : {".wav", ".vnt", ".avi"}) readFiles.Add(WithDefaultExtension(name, extension));
  if (riff->Open(WithDefaultExtension(name, ".wav")) && riff->IsForm("WAVE")) soundFound_ = true;
  if (soundFound_ && ReadWavSound(*riff, sound)) {
    kind = SoundKind::kFile;
    if (sound.cut) return RefuseCut(WithDefaultExtension(name, ".wav"), sound.bytes, sound.announced);
  } else {
    std::unique_ptr<VideoSoundStream> track;
    switch (VideoSoundStream::Open(WithDefaultExtension(name, ".vnt"), switches.track, track)) {
      case VideoSoundStream::Result::kFound: {
        soundFound_ = true;
        const Cut cut = CutOf(switches, true, track->framePeriod(), track->format(), track->Size());
        track->Cut(cut.skip, cut.length);
        kind = SoundKind::kVideoTrack;
        source = track->format();
        stream_ = std::move(track);
        return true;
      }
      case VideoSoundStream::Result::kNoSoundInTrack:
        return Refuse("No sound found in the specified Vantrel track.");
      case VideoSoundStream::Result::kNoSound:
        return Refuse("No sound found in the Vantrel file.");
      case VideoSoundStream::Result::kNotVideo:
        break;
    }
    riff = std::make_unique<RiffFile>();
    if (!riff->Open(WithDefaultExtension(name, ".avi"))) return Refuse("Error opening the input file.");
    const AviSoundResult found = ReadAviSound(*riff, std::max(switches.track, 0), sound);
    if (found == AviSoundResult::kNoSound) return Refuse("Error opening the input file.");
    soundFound_ = true;
    if (found == AviSoundResult::kBadFormat) return Refuse("Error reading AVI file.");
    kind = SoundKind::kAvi;
    video = true;
    if (sound.cut) return RefuseCut(WithDefaultExtension(name, ".avi"), sound.bytes, sound.announced);
  }
  source = sound.format;
  auto stream = std::make_unique<SegmentStream>(std::move(riff), std::move(sound.segments));
  const Cut cut = CutOf(switches, video, sound.framePeriod, source, stream->Size());
  stream->Cut(cut.skip, cut.length);
  stream_ = std::move(stream);
  return true;
}

bool SoundSource::Finish(const SoundSwitches& switches) {
  if (kind != SoundKind::kWaveList) {
    if (!OutputFormatOf(switches, source, output)) {
      return Refuse("Unsupported sound output format: rates up to 16777215, 1 or 2 channels, 8 or 16 bits.");
    }
    converter_ = std::make_unique<SoundConverter>(*stream_, source, output);
    size = converter_->OutputBytes();
  }
  if (size == 0) return Refuse("No sound found in the input file.");
  if (!Rewind()) return Refuse("Error reading the input file.");
  return true;
}

Result<std::unique_ptr<SoundSource>> OpenSoundInput(const Progress& progress, const SoundSwitches& switches,
                                                    const std::string& name, bool* soundFound) {
  if (soundFound != nullptr) *soundFound = false;
  return SoundSource::Open(progress, switches, name, 0, soundFound);
}

size_t SoundSource::ReadPlain(uint8_t* buffer, size_t count) {
  if (kind == SoundKind::kWaveList) return ReadList(buffer, count);
  const size_t got = converter_->Read(buffer, count);
  if (got < count && stream_->EndedEarly() && readStatus_.ok()) {
    readStatus_ = Status::Error(EndsEarlyText(name, converter_->SourceBytesTaken(), stream_->Size()));
  }
  return got;
}

size_t SoundSource::ReadList(uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count && entryIndex_ < entries_.size()) {
    if (!entry_) {
      Result<std::unique_ptr<SoundSource>> opened = OpenEntry(entryIndex_);
      if (!opened.ok()) {  // gone since the list was opened
        readStatus_ = opened.status();
        entryIndex_ = entries_.size();
        break;
      }
      entry_ = opened.Take();
    }
    const size_t got = entry_->ReadPlain(buffer + done, count - done);
    done += got;
    if (!entry_->readStatus_.ok()) {  // the entry ends before its sound does
      readStatus_ = entry_->readStatus_;
      entryIndex_ = entries_.size();
      break;
    }
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
  readStatus_ = {};
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
  if (size > 0) {
    char text[64];
    std::snprintf(text, sizeof text, "Processing sound data (%i%%)...",
                  static_cast<int>(MulDiv(size - left, 100, size)));
    progress_.Show(ProgressKind::Status, text);
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
