#include "compressor/compressor_main.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <utility>

#include "compressor/block_file.h"
#include "compressor/compressor_switches.h"
#include "compressor/encode_pass.h"
#include "compressor/frame_hints.h"
#include "compressor/graphics_input.h"
#include "toolsupport/picture/graphics_output.h"
#include "compressor/graphics_output_frames.h"
#include "toolsupport/picture/graphics_source.h"
#include "compressor/input_sound.h"
#include "toolsupport/base/paths.h"
#include "platform/system/clock.h"
#include "toolsupport/sound/sound_switches.h"
#include "toolsupport/ui/status_window.h"
#include "toolsupport/base/switches.h"
#include "compressor/temp_file.h"
#include "toolsupport/ui/tool_run.h"
#include "toolsupport/base/text_words.h"
#include "compressor/video_trees.h"
#include "compressor/video_writer.h"
#include "toolsupport/io/output_file.h"
#include "platform/system/file_replacement.h"
#include "platform/system/file_set.h"
#include "toolsupport/threads/worker_pool.h"

namespace compressor {
namespace {

using toolsupport::BufferedFile;

constexpr int32_t kFileBuffer = -65536;  // allocated at once; big writes and reads of both passes

const char* const kNoFramesMessage = "Error: there are no frames to compress.";
const char* const kFrameSizeMessage = "Error: the frames are too small to compress.";
const char* const kSoundNeedsRateMessage =
    "Error: a sound track needs a frame rate, but the frame rate is 0.";

// Everything a run holds; destroyed, it gives everything back, and a run that did not complete
// leaves no output.
struct CompressorRun {
  CompressorSwitches switches;
  toolsupport::GraphicsSwitches graphics;
  toolsupport::SoundSwitches sound;
  std::string inputName, outputName;

  std::unique_ptr<toolsupport::GraphicsSource> source;
  std::unique_ptr<GraphicsOutput> pictures;  // output other than a video file
  BufferedFile video{kFileBuffer};
  platform::FileReplacement videoFile;     // replaces the output only when the run completes
  BufferedFile blockFile{kFileBuffer};
  std::string blockFileName;
  toolsupport::OutputFile blockFileGuard;  // a temporary file: always removed
  toolsupport::OutputFile hintFileGuard;   // the hint file, when /K asks to delete it
  std::unique_ptr<toolsupport::SoundTrackEncoder> track;

  EncoderSettings settings;
  FrameHints hints;
  std::string report;
};

toolsupport::Status Fail(const char* message) { return toolsupport::Status::Error(message); }

using toolsupport::Status;

void ShowUsage() {
  ShowMessage(true, kUsageSyntax);
  ShowMessage(true, kUsageSwitches1);
  ShowMessage(false, kUsageSwitches2);
}

Status ReadCommand(std::string text, CompressorRun& run) {
  const bool inRange = ParseCompressorSwitches(text, run.switches);
  run.graphics = toolsupport::ParseGraphicsSwitches(text);
  toolsupport::ParseSoundSwitches(text, "LRBC", run.sound);
  const bool leftOver = SwitchLeftOver(text);
  run.inputName = TakeArgument(text);
  const bool onlyTwoNames = TakeLastArgument(text, run.outputName);
  if (!inRange || leftOver || !onlyTwoNames || run.inputName.empty() || run.outputName.empty()) {
    ShowUsage();
    return Status::Stopped();
  }
  return {};
}

Status CreateBlockFile(CompressorRun& run) {
  std::string directory = run.outputName;
  ReducePath(false, false, true, true, directory);
  run.blockFileName = CreateTempFile(platform::NowMilliseconds(), "vnt", directory);
  if (run.blockFileName.empty()) {
    return Status::Error(toolsupport::FileErrorText("Error creating temporary file.",
                                                    directory.empty() ? "." : directory, errno));
  }
  run.blockFileGuard = toolsupport::OutputFile(run.blockFileName);
  if (!run.blockFile.Open(run.blockFileName.c_str(), toolsupport::FileAccess::ReadWrite)) {
    return Status::Error(toolsupport::FileErrorText("Error creating temporary file.", run.blockFileName, errno));
  }
  return {};
}

Status ReadHints(CompressorRun& run) {
  HintLayout layout;
  layout.firstInputFrame = run.settings.firstInputFrame;
  layout.frames = run.settings.frames;
  layout.everyOther = run.settings.everyOther;
  switch (ReadHintFile(run.switches.hintFile, layout, run.settings.input, run.hints)) {
    case HintStatus::kCannotOpen:
      ShowMessage(true, HintOpenErrorText(run.switches.hintFile));
      return {};
    case HintStatus::kZeroPeriod:
      return Fail(kZeroPeriodMessage);
    case HintStatus::kRead:
      return {};
  }
  return {};
}

Status OpenVideoOutput(CompressorRun& run) {
  const int error = run.videoFile.Begin(run.outputName);
  if (error != 0 || !run.video.Create(run.videoFile.Path().c_str())) {
    return Status::Error(toolsupport::FileErrorText("Error creating Vantrel file.", run.outputName, error ? error : errno));
  }
  if (run.sound.lossLevel < 0 || run.sound.lossLevel > 9) return {};

  InputSoundRequest request;
  request.inputName = run.source->name;
  request.switches = run.sound;
  request.inputFrameRate = run.source->frameRate;
  request.firstFrame = run.source->framesToSkip;
  request.inputFrames = run.source->frames;
  request.outputFrameRate = run.settings.input.frameRate;
  request.framesToEncode = run.settings.frames;
  request.repeat = run.settings.ringFrame;
  toolsupport::Result<std::unique_ptr<toolsupport::SoundTrackEncoder>> track =
      OpenInputSound(request, &run.video, StatusProgress());
  if (!track.ok()) return track.status();
  run.track = track.Take();
  if (!run.track) return StatusCancelled() ? Status::Stopped() : Status();
  const int64_t period = FramePeriod(run.settings.input.frameRate);
  if (period == 0) return Fail(kSoundNeedsRateMessage);
  run.settings.soundBytesPerFrame =
      static_cast<uint32_t>(run.track->format.BytesPerSecond() * static_cast<uint64_t>(period) / 133333);
  return {};
}

Status RunPasses(CompressorRun& run) {
  GraphicsSourceInput input(*run.source);
  std::unique_ptr<GraphicsOutputFrames> frames;
  if (run.pictures) frames = std::make_unique<GraphicsOutputFrames>(*run.pictures);
  BufferedBlockFile blockFile(run.blockFile);
  VideoTrees trees;
  toolsupport::WorkerPool workers(toolsupport::WorkerThreadCount());

  EncoderPorts ports;
  ports.input = &input;
  ports.progress = StatusProgress();
  ports.workers = &workers;
  if (run.pictures) {
    ports.output = frames.get();
  } else {
    ports.blockFile = &blockFile;
    ports.counter = &trees;
  }
  if (Status passed = EncodePass(run.settings, run.hints, ports); !passed.ok()) return passed;
  if (run.pictures) return {};

  run.source->actionWord = "Vanting";
  // The records are read back from here on: a disk that filled up says so, not that they are
  // short.
  run.blockFile.Flush();
  if (run.blockFile.WriteError()) return Status::Error(toolsupport::WriteErrorText(run.blockFile.WriteErrorNumber()));
  run.blockFile.Seek(0);
  VideoWriterPorts writer;
  writer.input = &input;
  writer.blockFile = &blockFile;
  writer.output = &run.video;
  writer.sound = run.track.get();
  writer.progress = StatusProgress();
  writer.workers = &workers;
  return WriteVideoFile(run.settings, run.hints, trees, writer);
}

std::string Decimal(int64_t value) { return std::to_string(value); }

// Closes the outputs and keeps them; an error when their last writes failed.
Status FinishOutputs(CompressorRun& run, uint64_t elapsed) {
  std::string time;
  FormatElapsedTime(time, elapsed);
  if (run.pictures) {
    const std::string description = run.pictures->description;
    std::string why;
    if (!FinishGraphicsOutput(*run.pictures, &why)) return Status::Error(why);
    if (StatusCancelled()) return Status::Stopped();
    if (CloseGraphicsOutput(std::move(run.pictures), &why) < 0) return Status::Error(why);
    run.report = "Created " + description + " in " + time + ".";
    return {};
  }
  run.video.Close();
  if (run.video.WriteError()) return Status::Error(toolsupport::WriteErrorText(run.video.WriteErrorNumber()));
  const int64_t in = run.source->fileSize;
  const int64_t out = static_cast<int64_t>(GetFileLength(run.videoFile.Path()));
  const int64_t ratio = out > 0 ? in * 10 / out : 0;
  run.report = "Vanted in " + time + ".  From " + Decimal(in) + " To: " + Decimal(out) + " (" +
               Decimal(ratio / 10) + "." + Decimal(ratio % 10) + ":1).";
  if (StatusCancelled()) return Status::Stopped();
  if (const int error = run.videoFile.Commit(); error != 0) {
    return Status::Error(toolsupport::FileErrorText("Error writing", run.outputName, error));
  }
  return {};
}

Status Compress(const std::string& commandText, CompressorRun& run) {
  const Status read = ReadCommand(commandText, run);
  if (run.switches.deleteHintFile && !run.switches.hintFile.empty()) {
    run.hintFileGuard = toolsupport::OutputFile(run.switches.hintFile);
  }
  if (!read.ok()) return read;

  toolsupport::Result<std::unique_ptr<toolsupport::GraphicsSource>> opened =
      toolsupport::OpenGraphicsInput(StatusProgress(), "Analyzing", run.graphics, run.inputName);
  if (!opened.ok()) return opened.status();
  run.source = opened.Take();
  toolsupport::GraphicsSource& source = *run.source;
  const CompressorSwitches& sw = run.switches;

  EncoderSettings& settings = run.settings;
  const StoredGeometry geometry = StoredFrameGeometry(static_cast<uint32_t>(std::max(source.outputPitch, 0)),
                                                      static_cast<uint32_t>(std::max(source.outputHeight, 0)),
                                                      sw.heightScaling);
  settings.width = geometry.width;
  settings.height = geometry.height;
  settings.heightScaling = sw.heightScaling;
  settings.keyInterval = sw.keyInterval;
  settings.autoKeyPercent = sw.autoKeyPercent;
  settings.regularTarget = sw.regularTarget;
  settings.keyTarget = sw.keyTarget;
  settings.everyOther = sw.everyOther;
  settings.mixOriginals = sw.mixOriginals;
  settings.input.fileSize = static_cast<uint64_t>(std::max<int64_t>(source.fileSize, 0));
  settings.input.frames = static_cast<uint32_t>(std::max(source.frames, 0));
  settings.input.frameRate = OutputFrameRate(sw.frameRate, source.frameRate);
  settings.firstInputFrame = int64_t{source.framesToSkip} + 1;
  // Every other frame halves the count; the ring frame comes on top, so no frame is lost to it.
  uint32_t frames = settings.input.frames;
  if (sw.everyOther) frames /= 2;
  if (settings.width == 0 || settings.height == 0) return Fail(kFrameSizeMessage);
  if (frames == 0) return Fail(kNoFramesMessage);

  if (FindExtension(run.outputName) == std::string::npos) run.outputName += ".vnt";
  // Every file the run reads, so that none of them is ever the output.
  platform::FileSet inputs = source.readFiles;
  inputs.Add(sw.hintFile);
  if (inputs.Holds(run.outputName)) return Fail(kSameFileMessage);

  // Pictures or a flic when the name asks for them; anything else is a video file.
  const int flags = kOutputQuietUnknownType | (sw.overwrite ? kOutputOverwrite : 0);
  const int shownHeight = sw.heightScaling ? static_cast<int>(settings.height) : source.outputHeight;
  toolsupport::Result<std::unique_ptr<GraphicsOutput>> pictures =
      CreateGraphicsOutput(flags, ConfirmOverwrite, settings.input.frameRate, static_cast<int>(settings.width),
                           shownHeight, source.outputWidth, static_cast<int32_t>(frames), run.outputName, inputs);
  // An output name of no picture type (which says nothing) is a video file.
  if (!pictures.ok() && !pictures.status().messages().empty()) return pictures.status();
  if (pictures.status().stopped() || StatusCancelled()) return Status::Stopped();
  run.pictures = pictures.Take();
  const bool videoOutput = !run.pictures;
  // A flic makes its own ring frame; only a video file gets one from /G.
  settings.ringFrame = videoOutput && sw.ringFrame;
  settings.frames = frames + (settings.ringFrame ? 1 : 0);

  if (videoOutput) {
    if (!sw.overwrite && !ConfirmOverwrite(run.outputName)) return Status::Stopped();
    if (Status created = CreateBlockFile(run); !created.ok()) return created;
  }
  if (Status hinted = ReadHints(run); !hinted.ok()) return hinted;
  if (videoOutput) {
    if (Status video = OpenVideoOutput(run); !video.ok()) return video;
  }

  const uint64_t started = platform::NowMilliseconds();
  if (Status passed = RunPasses(run); !passed.ok()) return passed;
  if (StatusCancelled()) return Status::Stopped();
  return FinishOutputs(run, platform::NowMilliseconds() - started);
}

}  // namespace

int CompressorMain(std::string commandText) {
  return RunToolWith(std::move(commandText), kCompressorVersionLine, kCompressorTitle, Compress);
}

}  // namespace compressor
