#include "compressor/video_writer.h"

#include <algorithm>
#include <cstring>

#include "compressor/key_frames.h"
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

  FrameFetcher fetcher;
  fetcher.input = ports.input;
  fetcher.everyOther = settings.everyOther;
  BeginPass(fetcher, true);

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

  const size_t blockCount = size_t{settings.width / 4} * (settings.height / 4);
  const size_t rowsNeeded =
      settings.heightScaling ? 2 * size_t{settings.height} - 1 : size_t{settings.height};
  std::vector<uint8_t> frameBlocks(blockCount * kBlockPixels);
  std::vector<uint32_t> values;
  std::vector<uint8_t> paletteChunk;
  toolsupport::MemoryBitOutput frameBits;
  vntfile::Palette lastWritten{};  // the palette as the last chunk left it, all zero at first
  KeyFrameSchedule schedule(settings.keyInterval);

  for (uint32_t i = 0; i < n; ++i) {
    const bool key = schedule.Decide(i, hints);
    const bool ring = settings.ringFrame && i + 1 == n;
    FetchResult fetched = FetchEncoderFrame(fetcher, ring);
    if (!fetched.status.ok()) return fetched.status;
    if (ports.progress.Cancelled()) return toolsupport::Status::Stopped();
    EncoderInput& input = *ports.input;
    if (input.Pitch() < settings.width || input.Rows() < rowsNeeded) return fail(kMismatchMessage);
    if (!ReadBlockRecords(*ports.blockFile, blockCount, values)) return fail(kRecordsMessage);

    const int64_t start = Position(file);
    uint8_t type = 0;
    if (fetched.paletteChanged) {
      vntfile::Palette next;
      std::memcpy(next, input.Palette(), sizeof next);
      paletteChunk.clear();
      if (vntfile::WritePaletteChunk(paletteChunk, next, lastWritten, key && i != 0)) {
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

    GatherBlocks(input.Pixels(), input.Pitch(), settings.width, settings.height,
                 settings.heightScaling != 0, frameBlocks.data());
    frameBits.Clear();
    if (!trees.WriteFrame(values, frameBlocks.data(), frameBits)) return fail(kMismatchMessage);
    frameBits.AlignBits();
    const std::vector<uint8_t>& data = frameBits.Bytes();
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
