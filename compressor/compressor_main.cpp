#include "compressor/compressor_main.h"

#include <unistd.h>

#include <algorithm>
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

namespace compressor {
namespace {

using toolsupport::BufferedFile;

constexpr int32_t kFileBuffer = -65536;  // allocated at once; big writes and reads of both passes

const char* const kNoFramesMessage = "Error: there are no frames to compress.";
const char* const kFrameSizeMessage = "Error: the frames are too small to compress.";
const char* const kSoundNeedsRateMessage =
    "Error: a sound track needs a frame rate, but the frame rate is 0.";

// Everything a run holds; Cleanup gives it all back.
struct CompressorRun {
  CompressorSwitches switches;
  toolsupport::GraphicsSwitches graphics;
  toolsupport::SoundSwitches sound;
  std::string inputName, outputName;

  std::unique_ptr<toolsupport::GraphicsSource> source;
  std::unique_ptr<GraphicsOutput> pictures;  // output other than a video file
  BufferedFile video{kFileBuffer};
  bool videoCreated = false;
  BufferedFile blockFile{kFileBuffer};
  std::string blockFileName;
  std::unique_ptr<toolsupport::SoundTrackEncoder> track;

  EncoderSettings settings;
  FrameHints hints;
  std::string report;
};

bool Fail(const char* message) { return FailWith(message); }

void ShowUsage() {
  ShowMessage(true, kUsageSyntax);
  ShowMessage(true, kUsageSwitches1);
  ShowMessage(false, kUsageSwitches2);
}

bool ReadCommand(std::string text, CompressorRun& run) {
  const bool inRange = ParseCompressorSwitches(text, run.switches);
  run.graphics = toolsupport::ParseGraphicsSwitches(text);
  toolsupport::ParseSoundSwitches(text, "LRBC", run.sound);
  const bool leftOver = SwitchLeftOver(text);
  run.inputName = TakeArgument(text);
  const bool onlyTwoNames = TakeLastArgument(text, run.outputName);
  if (!inRange || leftOver || !onlyTwoNames || run.inputName.empty() || run.outputName.empty()) {
    ShowUsage();
    return false;
  }
  return true;
}

bool CreateBlockFile(CompressorRun& run) {
  std::string directory = run.outputName;
  ReducePath(false, false, true, true, directory);
  run.blockFileName = CreateTempFile(platform::NowMilliseconds(), "vnt", directory);
  if (run.blockFileName.empty() ||
      !toolsupport::BufferedFileOpen(run.blockFile, run.blockFileName.c_str(),
                                     toolsupport::FileAccess::ReadWrite)) {
    return Fail("Error creating temporary file.");
  }
  return true;
}

bool ReadHints(CompressorRun& run) {
  HintLayout layout;
  layout.firstInputFrame = run.settings.firstInputFrame;
  layout.frames = run.settings.frames;
  layout.everyOther = run.settings.everyOther;
  switch (ReadHintFile(run.switches.hintFile, layout, run.settings.input, run.hints)) {
    case HintStatus::kCannotOpen:
      ShowMessage(true, HintOpenErrorText(run.switches.hintFile));
      return true;
    case HintStatus::kZeroPeriod:
      return Fail(kZeroPeriodMessage);
    case HintStatus::kRead:
      return true;
  }
  return true;
}

bool OpenVideoOutput(CompressorRun& run) {
  if (!toolsupport::BufferedFileCreate(run.video, run.outputName.c_str())) {
    return Fail("Error creating Vantrel file.");
  }
  run.videoCreated = true;
  if (run.sound.lossLevel < 0 || run.sound.lossLevel > 9) return true;

  InputSoundRequest request;
  request.inputName = run.source->name;
  request.switches = run.sound;
  request.inputFrameRate = run.source->frameRate;
  request.firstFrame = run.source->framesToSkip;
  request.inputFrames = run.source->frames;
  request.outputFrameRate = run.settings.input.frameRate;
  request.framesToEncode = run.settings.frames;
  request.repeat = run.settings.ringFrame;
  run.track = OpenInputSound(request, &run.video, StatusCallback);
  if (!run.track) return !StatusCancelled();
  const int64_t period = FramePeriod(run.settings.input.frameRate);
  if (period == 0) return Fail(kSoundNeedsRateMessage);
  run.settings.soundBytesPerFrame =
      static_cast<uint32_t>(run.track->format.BytesPerSecond() * static_cast<uint64_t>(period) / 133333);
  return true;
}

bool RunPasses(CompressorRun& run) {
  GraphicsSourceInput input(*run.source);
  std::unique_ptr<GraphicsOutputFrames> frames;
  if (run.pictures) frames = std::make_unique<GraphicsOutputFrames>(*run.pictures);
  BufferedBlockFile blockFile(run.blockFile);
  VideoTrees trees;

  EncoderPorts ports;
  ports.input = &input;
  ports.progress = StatusCallback;
  ports.stopRequested = StatusCancelled;
  if (run.pictures) {
    ports.output = frames.get();
  } else {
    ports.blockFile = &blockFile;
    ports.counter = &trees;
  }
  if (!EncodePass(run.settings, run.hints, ports)) return false;
  if (run.pictures) return true;

  run.source->actionWord = "Vanting";
  toolsupport::BufferedFileSeek(run.blockFile, 0);
  VideoWriterPorts writer;
  writer.input = &input;
  writer.blockFile = &blockFile;
  writer.output = &run.video;
  writer.sound = run.track.get();
  writer.progress = StatusCallback;
  writer.stopRequested = StatusCancelled;
  return WriteVideoFile(run.settings, run.hints, trees, writer);
}

std::string Decimal(int64_t value) { return std::to_string(value); }

// Closes the outputs; false when their last writes failed.
bool FinishOutputs(CompressorRun& run, uint64_t elapsed) {
  std::string time;
  FormatElapsedTime(time, elapsed);
  if (run.pictures) {
    const std::string description = run.pictures->description;
    if (CloseGraphicsOutput(std::move(run.pictures)) < 0) return Fail(kDiskFullMessage);
    run.report = "Created " + description + " in " + time + ".";
    return true;
  }
  toolsupport::BufferedFileClose(run.video);
  if (run.video.write_error) return Fail(kDiskFullMessage);
  const int64_t in = run.source->fileSize;
  const int64_t out = static_cast<int64_t>(GetFileLength(run.outputName));
  const int64_t ratio = out > 0 ? in * 10 / out : 0;
  run.report = "Vanted in " + time + ".  From " + Decimal(in) + " To: " + Decimal(out) + " (" +
               Decimal(ratio / 10) + "." + Decimal(ratio % 10) + ":1).";
  return true;
}

bool Compress(const std::string& commandText, CompressorRun& run) {
  if (!ReadCommand(commandText, run)) return false;

  run.source = toolsupport::OpenGraphicsInput(StatusCallback, "Analyzing", run.graphics, run.inputName);
  if (!run.source) return false;
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
  if (SameFile(source.name, run.outputName)) return Fail(kSameFileMessage);

  // Pictures or a flic when the name asks for them; anything else is a video file.
  const int flags = kOutputQuietUnknownType | (sw.overwrite ? kOutputOverwrite : 0);
  const int shownHeight = sw.heightScaling ? static_cast<int>(settings.height) : source.outputHeight;
  run.pictures = CreateGraphicsOutput(flags, StatusCallback, settings.input.frameRate,
                                      static_cast<int>(settings.width), shownHeight, source.outputWidth,
                                      static_cast<int32_t>(frames), run.outputName);
  if (!run.pictures && StatusCancelled()) return false;
  const bool videoOutput = !run.pictures;
  // A flic makes its own ring frame; only a video file gets one from /G.
  settings.ringFrame = videoOutput && sw.ringFrame;
  settings.frames = frames + (settings.ringFrame ? 1 : 0);

  if (videoOutput) {
    if (!sw.overwrite && !ConfirmOverwrite(run.outputName)) return false;
    if (!CreateBlockFile(run)) return false;
  }
  if (!ReadHints(run)) return false;
  if (videoOutput && !OpenVideoOutput(run)) return false;

  const uint64_t started = platform::NowMilliseconds();
  if (!RunPasses(run)) return false;
  if (StatusCancelled()) return false;
  return FinishOutputs(run, platform::NowMilliseconds() - started);
}

// Gives back everything; a run that did not complete leaves no output.
void Cleanup(CompressorRun& run, bool completed) {
  run.track.reset();
  run.source.reset();
  if (run.pictures) {
    if (completed) {
      CloseGraphicsOutput(std::move(run.pictures));
    } else {
      DiscardGraphicsOutput(std::move(run.pictures));
    }
  }
  if (run.videoCreated) {
    toolsupport::BufferedFileClose(run.video);
    if (!completed) unlink(run.outputName.c_str());
  }
  if (!run.blockFileName.empty()) {
    toolsupport::BufferedFileClose(run.blockFile);
    unlink(run.blockFileName.c_str());
  }
  if (run.switches.deleteHintFile && !run.switches.hintFile.empty()) {
    unlink(run.switches.hintFile.c_str());
  }
}

}  // namespace

int CompressorMain(std::string commandText) {
  CompressorRun run;
  return RunTool(
      std::move(commandText), kCompressorVersionLine, kCompressorTitle,
      [&](const std::string& text, std::string& report) {
        const bool done = Compress(text, run);
        report = run.report;
        return done;
      },
      [&](bool completed) { Cleanup(run, completed); });
}

}  // namespace compressor
