#include "compressor/video_writer.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>

#include "compressor/key_frames.h"
#include "compressor/pass_workers.h"
#include "toolsupport/base/file_errors.h"
#include "playback/video_file_format.h"

namespace compressor {
namespace {

using toolsupport::BufferedFile;

const char* const kRecordsMessage = "Error reading the temporary file.";
const char* const kMismatchMessage = "Error: a frame differs from the first pass.";
const char* const kSoundMessage = "Error compressing the sound.";

void WriteZeros(BufferedFile& file, uint64_t count) {
  static const uint8_t zeros[4096] = {};
  while (count > 0) {
    const size_t part = static_cast<size_t>(std::min<uint64_t>(count, sizeof zeros));
    file.WriteRaw(zeros, part);
    count -= part;
  }
}

int64_t Position(BufferedFile& file) { return file.Seek(-1); }

VideoFileHeader StartHeader(const EncoderSettings& settings) {
  VideoFileHeader header{};
  std::memcpy(header.magic, vntfile::kMagic, 4);
  header.width = settings.width;
  header.height = settings.height;
  header.frames = settings.ringFrame ? settings.frames - 1 : settings.frames;
  header.frameRate = settings.input.frameRate;
  if (settings.heightScaling == 1 || settings.heightScaling == 2) {
    header.flags |= 1u << settings.heightScaling;
  }
  if (settings.ringFrame) header.flags |= vntfile::kFlagRingFrame;
  return header;
}

// The header and both tables over their placeholders at the start of the file.
void WriteTables(BufferedFile& file, const WrittenVideo& video) {
  std::vector<uint8_t> bytes(vntfile::kHeaderSize + 5 * video.frameSizes.size());
  vntfile::SerializeHeader(video.header, bytes.data());
  uint8_t* p = bytes.data() + vntfile::kHeaderSize;
  for (uint32_t size : video.frameSizes) {
    vntfile::StoreLE32(p, size);
    p += 4;
  }
  std::copy(video.frameTypes.begin(), video.frameTypes.end(), p);
  const int64_t end = Position(file);
  file.Seek(0);
  file.WriteRaw(bytes.data(), bytes.size());
  file.Seek(end);
}

// A frame of the second pass: read in order on this thread, its symbols coded by the workers.
struct CodedFrame {
  uint32_t number = 0;
  toolsupport::Status fetchStatus;  // not ok: the input did not give the frame
  toolsupport::Status status;       // not ok: the frame is not what the first pass saw
  bool key = false;
  bool paletteChanged = false;
  vntfile::Palette palette{};
  std::vector<uint32_t> values;
  std::vector<uint8_t> blocks;
  std::vector<BlockCode> codes;
  toolsupport::MemoryBitOutput bits;
  bool coded = false;  // every symbol had a code
  toolsupport::WorkerPool::BatchHandle job;
};

// The frames of the second pass, read and coded up to a few ahead of the one being written.
class CodedFrames {
 public:
  CodedFrames(const EncoderSettings& settings, const FrameHints& hints, const VideoTrees& trees,
              const VideoWriterPorts& ports)
      : settings_(settings),
        hints_(hints),
        trees_(trees),
        input_(*ports.input),
        blockFile_(*ports.blockFile),
        workers_(ports.workers),
        schedule_(settings.keyInterval),
        blockCount_(size_t{settings.width / 4} * (settings.height / 4)) {
    fetcher_.input = ports.input;
    fetcher_.everyOther = settings.everyOther;
    BeginPass(fetcher_, true);
  }
  // Nothing works on a frame any more once this returns.
  ~CodedFrames() {
    for (const std::unique_ptr<CodedFrame>& frame : ahead_) {
      if (frame->job) workers_.Pool().Drop(frame->job);
    }
  }
  CodedFrames(const CodedFrames&) = delete;
  CodedFrames& operator=(const CodedFrames&) = delete;

  // Frame i (frames in order), read; its bits may still be being coded.
  CodedFrame& Next(uint32_t i) {
    if (current_) spare_.push_back(std::move(current_));
    while (!readEnded_ && nextRead_ < settings_.frames && nextRead_ - i < workers_.FramesAhead()) ReadNext();
    current_ = std::move(ahead_.front());
    ahead_.pop_front();
    return *current_;
  }

  // Waits for the frame's bits, taking part in the coding: false when the stop query stopped it.
  bool Finish(CodedFrame& frame, const toolsupport::WorkerPool::StopQuery& stop) {
    if (!frame.job) return true;
    const bool done = workers_.Pool().Wait(frame.job, stop);
    frame.job = nullptr;
    return done;
  }

 private:
  void ReadNext() {
    std::unique_ptr<CodedFrame> frame;
    if (spare_.empty()) {
      frame = std::make_unique<CodedFrame>();
      frame->blocks.resize(blockCount_ * kBlockPixels);
    } else {
      frame = std::move(spare_.back());
      spare_.pop_back();
    }
    CodedFrame& f = *frame;
    f.number = nextRead_++;
    f.job = nullptr;
    f.status = {};
    f.key = schedule_.Decide(f.number, hints_);
    const bool ring = settings_.ringFrame && f.number + 1 == settings_.frames;
    const FetchResult fetched = FetchEncoderFrame(fetcher_, ring);
    f.fetchStatus = fetched.status;
    ahead_.push_back(std::move(frame));
    if (!f.fetchStatus.ok()) {
      readEnded_ = true;
      return;
    }
    const size_t rowsNeeded = settings_.heightScaling ? 2 * size_t{settings_.height} - 1 : size_t{settings_.height};
    if (input_.Pitch() < settings_.width || input_.Rows() < rowsNeeded) {
      f.status = toolsupport::Status::Error(kMismatchMessage);
    } else if (!ReadBlockRecords(blockFile_, blockCount_, f.values)) {
      f.status = toolsupport::Status::Error(kRecordsMessage);
    }
    if (!f.status.ok()) {
      readEnded_ = true;
      return;
    }
    f.paletteChanged = fetched.paletteChanged;
    if (f.paletteChanged) std::memcpy(f.palette, input_.Palette(), sizeof f.palette);
    GatherBlocks(input_.Pixels(), input_.Pitch(), settings_.width, settings_.height,
                 settings_.heightScaling != 0, f.blocks.data());
    f.job = workers_.Pool().Submit(1, [this, &f](size_t, unsigned) {
      f.bits.Clear();
      f.coded = trees_.WriteFrameTo(f.values, f.blocks.data(), f.codes, f.bits);
      f.bits.AlignBits();
    });
  }

  const EncoderSettings& settings_;
  const FrameHints& hints_;
  const VideoTrees& trees_;
  EncoderInput& input_;
  ByteSource& blockFile_;
  PassWorkers workers_;
  FrameFetcher fetcher_;
  KeyFrameSchedule schedule_;
  size_t blockCount_;
  std::deque<std::unique_ptr<CodedFrame>> ahead_;
  std::unique_ptr<CodedFrame> current_;
  std::vector<std::unique_ptr<CodedFrame>> spare_;
  uint32_t nextRead_ = 0;
  bool readEnded_ = false;
};

}  // namespace

const char* const kComplexityMessage =
    "  Complexity error - you must compress at a lower data rate.";

toolsupport::Status WriteVideoFile(const EncoderSettings& settings, const FrameHints& hints, VideoTrees& trees,
                                   const VideoWriterPorts& ports, WrittenVideo* written) {
  auto fail = [](const std::string& message) { return toolsupport::Status::Error(message); };
  const uint32_t n = settings.frames;
  if (n == 0 || !ports.input || !ports.blockFile || !ports.output) return fail(kMismatchMessage);
  BufferedFile& file = *ports.output;
  WrittenVideo local;
  WrittenVideo& video = written ? *written : local;
  video = WrittenVideo{};
  video.header = StartHeader(settings);
  video.frameSizes.assign(n, 0);
  video.frameTypes.assign(n, 0);

  // Placeholders, then the tree data padded so that the first frame starts on a 512 boundary.
  const uint64_t tablesEnd = vntfile::kHeaderSize + 5 * uint64_t{n};
  WriteZeros(file, tablesEnd);
  ports.progress.Show(toolsupport::ProgressKind::StatusNow, "Calculating compression data...");
  std::optional<std::array<uint32_t, kVideoTreeCount>> treeSizes = trees.Build(file);
  if (!treeSizes) return fail(kComplexityMessage);
  std::copy(treeSizes->begin(), treeSizes->end(), video.header.treeSizes);
  file.AlignBits();
  const int64_t treeEnd = Position(file);
  WriteZeros(file, vntfile::PaddingTo(static_cast<uint64_t>(treeEnd), vntfile::kFirstFrameAlignment));
  video.header.treeDataSize = static_cast<uint32_t>(static_cast<uint64_t>(Position(file)) - tablesEnd);

  toolsupport::SoundTrackEncoder* sound = ports.sound;
  const uint64_t bytesPerSecond = sound ? sound->format.BytesPerSecond() : 0;
  const uint32_t period = static_cast<uint32_t>(FramePeriod(settings.input.frameRate));
  uint64_t soundGiven = 0;
  uint32_t soundLargest = 0;
  vntfile::Palette lastWritten{};  // the palette as the last chunk left it, all zero at first
  std::vector<uint8_t> paletteChunk;

  CodedFrames frames(settings, hints, trees, ports);
  for (uint32_t i = 0; i < n; ++i) {
    CodedFrame& frame = frames.Next(i);
    if (!frame.fetchStatus.ok()) return frame.fetchStatus;
    if (ports.progress.Cancelled()) return toolsupport::Status::Stopped();
    if (!frame.status.ok()) return frame.status;

    const int64_t start = Position(file);
    uint8_t type = 0;
    if (frame.paletteChanged) {
      paletteChunk.clear();
      if (vntfile::WritePaletteChunk(paletteChunk, frame.palette, lastWritten, frame.key && i != 0)) {
        type |= vntfile::kTypePalette;
        file.WriteRaw(paletteChunk.data(), paletteChunk.size());
      }
    }
    if (sound) {
      const uint32_t request = toolsupport::SoundRequestForFrame(i, period, bytesPerSecond, soundGiven);
      if (!toolsupport::CompressAudioChunk(request, *sound)) return fail(kSoundMessage);
      // A sound input that failed while being read ends the run with its reason.
      if (toolsupport::Status read = sound->source->ReadStatus(); !read.ok()) return read;
      if (sound->last_sound_bytes > 0) {
        type |= vntfile::TypeAudio(0);
        soundGiven += sound->last_sound_bytes;
        soundLargest = std::max(soundLargest, sound->last_sound_bytes);
      }
    }

    if (!frames.Finish(frame, [&ports] { return ports.progress.Cancelled(); })) return toolsupport::Status::Stopped();
    if (!frame.coded) return fail(kMismatchMessage);
    const std::vector<uint8_t>& data = frame.bits.Bytes();
    file.WriteRaw(data.data(), data.size());
    const int64_t end = Position(file);
    WriteZeros(file, vntfile::PaddingTo(static_cast<uint64_t>(end), vntfile::kFramePadding));
    if (file.WriteError()) return fail(toolsupport::WriteErrorText(file.WriteErrorNumber()));

    video.frameSizes[i] = static_cast<uint32_t>(Position(file) - start);
    video.frameTypes[i] = type;
  }

  if (sound && soundGiven > 0) {
    video.header.audioSizes[0] = soundLargest;
    video.header.soundRates[0] = toolsupport::SoundTrackRateWord(*sound);
  }
  WriteTables(file, video);
  if (file.WriteError()) return fail(toolsupport::WriteErrorText(file.WriteErrorNumber()));
  return {};
}

}  // namespace compressor
