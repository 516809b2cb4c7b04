#include "tools/sound/extractor_main.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

#include "toolsupport/base/paths.h"
#include "toolsupport/sound/sound_source.h"
#include "toolsupport/ui/status_window.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"
#include "platform/system/file_replacement.h"
#include "platform/system/file_set.h"
#include "toolsupport/ui/tool_run.h"
#include "tools/sound/wav_header.h"

namespace soundtool {

const char* const kExtractorUsage =
    "SYNTAX:  AudPr  InputSoundFile OutputWavFile[.WAV]  [/Switches]\r\n"
    "\r\n"
    "The input can be a WAV file, a list of WAV files (.LST), the sound of an AVI file, a sound "
    "track of a Vantrel file (VNT) or raw PCM data. An output named .WAV gets a WAV header; any "
    "other name holds the samples only.\r\n"
    "\r\n"
    "/O  - Automatically overwrite the output file.\r\n"
    "/R# - Output sound rate (11025, 22050, 44100).\r\n"
    "/C# - Output sound channels (1=mono, 2=stereo).\r\n"
    "/B# - Output sound bits (8 or 16).\r\n"
    "/S# - Start (milliseconds; negative: a frame of a video input).\r\n"
    "/E# - End (milliseconds; negative: a frame of a video input).\r\n"
    "/T# - Sound track of a Vantrel file (1-7) or sound stream of an AVI file.\r\n"
    "/Y# - Raw input: 1=8-bit mono, 2=8-bit stereo, 3=16-bit mono, 4=16-bit stereo.\r\n"
    "/D# - Sample rate of a raw input (11025 default).\r\n"
    "/K# - Bytes to skip at the start of a raw input.";

namespace {

constexpr size_t kChunkBytes = 16384;

using toolsupport::Status;

// Everything a run holds; destroyed, it closes the output, and the output's temporary file goes
// unless it took the output's place.
struct ExtractorRun {
  ExtractorRun() = default;
  ExtractorRun(const ExtractorRun&) = delete;
  ExtractorRun& operator=(const ExtractorRun&) = delete;
  ~ExtractorRun() {
    if (output >= 0) close(output);
  }

  std::unique_ptr<toolsupport::SoundSource> source;
  std::string outputName;
  int output = -1;
  platform::FileReplacement outputFile;  // a device is written in place
};

bool IsWavName(const std::string& name) {
  const size_t dot = FindExtension(name);
  return dot != std::string::npos && strcasecmp(name.c_str() + dot, ".wav") == 0;
}

bool WriteAll(int file, const uint8_t* bytes, size_t count) {
  while (count > 0) {
    const ssize_t done = write(file, bytes, count);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      if (done == 0) errno = ENOSPC;  // nothing taken: the disk is full
      return false;
    }
    bytes += done;
    count -= static_cast<size_t>(done);
  }
  return true;
}

bool WriteHeaderAt0(int file, const toolsupport::PcmFormat& format, uint64_t dataSize) {
  const auto header = MakeWavHeader(format.rate, format.bits, format.channels, dataSize);
  return lseek(file, 0, SEEK_SET) == 0 && WriteAll(file, header.data(), header.size());
}

Status Extract(std::string text, ExtractorRun& run, std::string& report) {
  const bool overwrite = GetFlagSwitch('O', text);
  toolsupport::SoundSwitches switches;
  toolsupport::ParseSoundSwitches(text, "RCBSETYDK", switches);
  const bool leftOver = SwitchLeftOver(text);
  const std::string inputName = TakeArgument(text);
  std::string& outputName = run.outputName;
  const bool onlyTwoNames = TakeLastArgument(text, outputName);
  if (leftOver || !onlyTwoNames || inputName.empty() || outputName.empty()) {
    ShowMessage(false, kExtractorUsage);
    return Status::Stopped();
  }

  if (FindExtension(outputName) == std::string::npos) outputName += ".wav";
  toolsupport::Result<std::unique_ptr<toolsupport::SoundSource>> opened =
      toolsupport::OpenSoundInput(StatusProgress(), switches, inputName);
  if (!opened.ok()) return opened.status();
  run.source = opened.Take();
  toolsupport::SoundSource& source = *run.source;

  platform::FileSet inputs = source.readFiles;
  inputs.Add(inputName);
  if (inputs.Holds(outputName)) return Status::Error(kSameFileMessage);
  const bool wav = IsWavName(outputName);
  if (wav && source.size > kMaxWavDataSize) return Status::Error(kTooLongForWavMessage);
  if (!overwrite && !ConfirmOverwrite(outputName)) return Status::Stopped();

  const int error = run.outputFile.Begin(outputName);
  if (error == 0) run.output = open(run.outputFile.Path().c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (run.output < 0) {
    return Status::Error(toolsupport::FileErrorText("Error creating the output file.", outputName, error ? error : errno));
  }
  const auto writeFailed = [] { return Status::Error(toolsupport::WriteErrorText(errno)); };

  const toolsupport::PcmFormat format = source.output;
  if (wav && !WriteHeaderAt0(run.output, format, 0)) return writeFailed();
  std::vector<uint8_t> chunk(kChunkBytes);
  uint64_t dataSize = 0;
  while (!source.atEnd) {
    const size_t got = toolsupport::ReadConvertedSound(chunk.size(), chunk.data(), source);
    if (Status read = source.ReadStatus(); !read.ok()) return read;
    if (StatusCancelled()) return Status::Stopped();
    if (!WriteAll(run.output, chunk.data(), got)) return writeFailed();
    dataSize += got;
  }

  if (wav) {
    if (dataSize > kMaxWavDataSize) return Status::Error(kTooLongForWavMessage);
    if (!WriteHeaderAt0(run.output, format, dataSize)) return writeFailed();
  }
  const bool closed = close(run.output) == 0;  // the last writes may fail only here
  run.output = -1;
  if (!closed) return writeFailed();
  const uint64_t size = dataSize + (wav ? kWavHeaderSize : 0);
  report = "Created " + outputName + " - " + std::to_string(size) + " bytes written.";
  if (StatusCancelled()) return Status::Stopped();
  if (const int failed = run.outputFile.Commit(); failed != 0) {
    return Status::Error(toolsupport::FileErrorText("Error writing", outputName, failed));
  }
  return {};
}

}  // namespace

int ExtractorMain(std::string commandText) {
  return RunTool(std::move(commandText), kExtractorVersionLine, kExtractorTitle,
                 [](const std::string& text, std::string& report) {
                   ExtractorRun run;
                   return Extract(text, run, report);
                 });
}

}  // namespace soundtool
