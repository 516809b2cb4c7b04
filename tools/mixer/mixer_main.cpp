#include "tools/mixer/mixer_main.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <utility>

#include "toolsupport/io/buffered_file.h"
#include "tools/mixer/mix_frames.h"
#include "toolsupport/base/paths.h"
#include "platform/system/file_names.h"
#include "toolsupport/sound/sound_source.h"
#include "toolsupport/sound/sound_switches.h"
#include "toolsupport/sound/sound_track_encoder.h"
#include "toolsupport/ui/status_window.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"
#include "platform/system/file_replacement.h"
#include "platform/system/file_set.h"
#include "toolsupport/ui/tool_run.h"
#include "playback/video_file_format.h"

namespace mixer {
namespace {

using toolsupport::BufferedFile;

constexpr char kUsage[] =
    "SYNTAX: VantMix VantInput DataFile[.WAV]<.VNT/.AVI> VantOutput [/Switches]\n"
    "/M# - Specify the output Vantrel track (1-7).\n"
    "/L# - Sound compression lossy level: 0 to 9 (lossless to very lossy).\n"
    "/P  - Loop the sound if the sound is shorter than the Vantrel file.\n"
    "/F# - Override the output frame rate.\n"
    "/G# - Specifies the beginning frame to mix the sound into.\n"
    "/R# - Output sound rate.\n"
    "/B# - Output sound bits (8 or 16).\n"
    "/C# - Output sound channels (1 or 2).\n"
    "/T# - Sound track to read the sound data from.\n"
    "/S# - Starting millisecond time of the sound.\n"
    "/E# - Ending millisecond time of the sound.\n"
    "/Y# - Raw sound input type: 1 8-bit mono, 2 8-bit stereo, 3 16-bit mono, 4 16-bit stereo.\n"
    "/D# - Sample rate of a raw sound input.\n"
    "/K# - Bytes to skip at the start of a raw sound input.\n"
    "/O  - Automatically overwrite the output file.";
constexpr char kNotVideoMessage[] = "Input file isn't a Vantrel file.";
constexpr uint32_t kCopyPiece = 32768;

struct MixerRun {
  int64_t periodSwitch = 0;
  int32_t firstFrameSwitch = 1;
  bool overwrite = false;
  int32_t track = 1;
  toolsupport::SoundSwitches sound;
  std::string inputName, soundName, outputName;

  BufferedFile input{512};
  BufferedFile output{512};
  platform::FileReplacement outputFile;  // replaces the output only when the run completes
  platform::FileSet soundFiles;          // every file the sound input reads
  std::unique_ptr<toolsupport::SoundTrackEncoder> encoder;
  VideoFileHeader header{};
  MixTables tables;
  std::string report;
};

using toolsupport::Status;

Status Fail(const char* message) { return Status::Error(message); }

Status ReadCommand(std::string text, MixerRun& run) {
  run.periodSwitch = FramePeriodSwitch(GetNumberSwitch(0, 'F', text));
  run.firstFrameSwitch = GetNumberSwitch(1, 'G', text);
  run.overwrite = GetFlagSwitch('O', text);
  run.track = GetNumberSwitch(1, 'M', text);
  if (run.track < 1 || run.track > 7) return Fail("You must use a track number between 1 and 7.");
  toolsupport::ParseSoundSwitches(text, "LPRBCTSEYDK", run.sound);
  const bool leftOver = SwitchLeftOver(text);
  run.inputName = TakeArgument(text);
  run.soundName = TakeArgument(text);
  run.outputName = TakeArgument(text);
  if (run.sound.lossLevel < 0 || run.sound.lossLevel > toolsupport::kMaxLossLevel || leftOver ||
      run.inputName.empty() || run.soundName.empty() || run.outputName.empty() || !text.empty()) {
    ShowMessage(false, kUsage);
    return Status::Stopped();
  }
  if (FindExtension(run.inputName) == std::string::npos) {
    run.inputName = platform::NameForOpening(run.inputName, ".vnt");
  }
  if (FindExtension(run.soundName) == std::string::npos && GetFileLength(run.soundName) == 0) {
    run.soundName = platform::NameForOpening(run.soundName, ".wav");
  }
  if (FindExtension(run.outputName) == std::string::npos) {
    run.outputName = platform::NameForCreating(run.outputName, ".vnt");
  }
  return {};
}

// The header and both tables of the input; sizes are checked against the file before use.
Status ReadInput(MixerRun& run) {
  if (!run.input.Open(run.inputName.c_str())) {
    return Fail("Error opening the input Vantrel file.");
  }
  uint8_t bytes[vntfile::kHeaderSize];
  if (run.input.Read(bytes, sizeof bytes) != sizeof bytes) return Fail(kNotVideoMessage);
  run.header = vntfile::ParseHeader(bytes);
  if (!vntfile::HasMagic(run.header)) return Fail(kNotVideoMessage);
  const uint64_t stored = vntfile::StoredFrameCount(run.header);
  if (vntfile::FirstFrameOffset(run.header) > static_cast<uint64_t>(run.input.Size())) {
    return Fail(kNotVideoMessage);
  }
  run.tables.sizes.resize(stored);
  run.tables.types.resize(stored);
  for (uint32_t& size : run.tables.sizes) {
    uint8_t word[4];
    run.input.Read(word, 4);
    size = vntfile::LoadLE32(word);
  }
  run.input.Read(run.tables.types.data(), stored);
  return {};
}

// The frame period of the output in 1/100000 s; /F also changes the header's rate.
int64_t OutputPeriod(MixerRun& run) {
  if (run.periodSwitch != 0) {
    run.header.frameRate = static_cast<int32_t>(-std::min<int64_t>(run.periodSwitch, INT32_MAX));
    return std::min<int64_t>(run.periodSwitch, INT32_MAX);
  }
  if (run.header.frameRate > 0) return int64_t{run.header.frameRate} * 100;
  return -int64_t{run.header.frameRate};
}

Status OpenSound(MixerRun& run, int64_t period) {
  // An input without sound is refused with the one message below, and the input's status lines
  // wait until it is open.
  auto opening = std::make_shared<bool>(true);
  const toolsupport::Progress quietWhileOpening(
      [opening](toolsupport::ProgressKind kind, const std::string& text) {
        if (!*opening) ShowStatusProgress(kind, text);
      },
      StatusCancelled);
  bool soundFound = false;
  toolsupport::Result<std::unique_ptr<toolsupport::SoundSource>> opened =
      toolsupport::OpenSoundInput(quietWhileOpening, run.sound, run.soundName, &soundFound);
  *opening = false;
  if (StatusCancelled()) return Status::Stopped();
  // Sound that is there but cannot be taken (cut short, of a format that cannot be made) says why.
  if (!opened.ok() && soundFound && !opened.status().messages().empty()) return opened.status();
  if (opened.ok()) {
    std::unique_ptr<toolsupport::SoundSource> source = opened.Take();
    run.soundFiles = source->readFiles;
    const int64_t frames = run.header.frames;
    const int64_t first = run.firstFrameSwitch > frames ? frames - 1 : int64_t{run.firstFrameSwitch} - 1;
    toolsupport::SoundTrackOptions options;
    options.lead_silence_ms = static_cast<uint32_t>(std::clamp<int64_t>(std::max<int64_t>(first, 0) * period / 100, 0, UINT32_MAX));
    const int64_t length = static_cast<int64_t>(run.tables.sizes.size()) * period / 100;
    options.length_ms = static_cast<uint32_t>(std::clamp<int64_t>(length, 1, UINT32_MAX));
    options.repeat = run.sound.loop;
    options.loop_source = run.sound.loop;
    options.loss_level = run.sound.lossLevel;
    run.encoder = toolsupport::OpenSoundTrack(std::move(source), options, &run.output);
  }
  if (!run.encoder) return Fail("Error opening the sound file.");
  return {};
}

Status WriteStatus(const BufferedFile& file) {
  return file.WriteError() ? Status::Error(toolsupport::WriteErrorText(file.WriteErrorNumber())) : Status();
}

Status WriteHeaderAndTables(MixerRun& run) {
  uint8_t bytes[vntfile::kHeaderSize];
  vntfile::SerializeHeader(run.header, bytes);
  run.output.WriteRaw(bytes, sizeof bytes);
  for (uint32_t size : run.tables.sizes) run.output.PutLong(size);
  run.output.WriteRaw(run.tables.types.data(), run.tables.types.size());
  return WriteStatus(run.output);
}

Status CopyTreeData(MixerRun& run) {
  std::vector<uint8_t> piece(kCopyPiece);
  for (uint32_t left = run.header.treeDataSize; left > 0;) {
    const uint32_t count = std::min(left, kCopyPiece);
    if (run.input.Read(piece.data(), count) != count) return Fail(kNotVideoMessage);
    run.output.WriteRaw(piece.data(), count);
    left -= count;
  }
  return WriteStatus(run.output);
}

Status Mix(const std::string& commandText, MixerRun& run) {
  if (Status read = ReadCommand(commandText, run); !read.ok()) return read;
  if (Status read = ReadInput(run); !read.ok()) return read;
  const int64_t period = OutputPeriod(run);
  if (period <= 0) return Fail("Error: a sound track needs a frame rate, but the frame rate is 0.");
  if (Status opened = OpenSound(run, period); !opened.ok()) return opened;

  platform::FileSet inputs = run.soundFiles;
  inputs.Add(run.inputName);
  inputs.Add(run.soundName);
  if (inputs.Holds(run.outputName)) return Fail(kSameFileMessage);
  if (!run.overwrite && !ConfirmOverwrite(run.outputName)) return Status::Stopped();
  const int error = run.outputFile.Begin(run.outputName);
  if (error != 0 || !run.output.Create(run.outputFile.Path().c_str())) {
    return Status::Error(
        toolsupport::FileErrorText("Error creating output Vantrel file.", run.outputName, error ? error : errno));
  }
  const uint32_t track = static_cast<uint32_t>(run.track - 1);
  run.header.soundRates[track] = toolsupport::SoundTrackRateWord(*run.encoder);

  if (Status written = WriteHeaderAndTables(run); !written.ok()) return written;
  if (Status copied = CopyTreeData(run); !copied.ok()) return copied;
  const MixResult mixed = MixSoundFrames(run.input, run.output, run.tables, track,
                                         static_cast<uint32_t>(std::min<int64_t>(period, UINT32_MAX)),
                                         *run.encoder, StatusProgress());
  if (!mixed.status.ok()) return mixed.status;
  if (StatusCancelled()) return Status::Stopped();

  run.header.audioSizes[track] = mixed.largestChunkSound;
  run.output.Seek(0);
  if (Status written = WriteHeaderAndTables(run); !written.ok()) return written;
  run.output.Close();
  if (Status written = WriteStatus(run.output); !written.ok()) return written;

  const uint64_t sound = run.encoder->total_sound_bytes;
  const uint64_t chunks = run.encoder->total_chunk_bytes;
  const int64_t saved = sound > 0 ? 100 - static_cast<int64_t>(chunks * 100 / sound) : 0;
  run.report = "Successfully mixed.  Compressed by " + std::to_string(saved) + " %.";
  if (StatusCancelled()) return Status::Stopped();
  if (const int failed = run.outputFile.Commit(); failed != 0) {
    return Status::Error(toolsupport::FileErrorText("Error writing", run.outputName, failed));
  }
  return {};
}

}  // namespace

std::string MixerUsageText() { return kUsage; }

int MixerMain(std::string commandText) {
  return RunToolWith(std::move(commandText), kMixerVersionLine, kMixerTitle, Mix);
}

}  // namespace mixer
