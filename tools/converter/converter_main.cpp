#include "tools/converter/converter_main.h"

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "toolsupport/picture/graphics_output.h"
#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/base/paths.h"
#include "platform/system/clock.h"
#include "toolsupport/ui/status_window.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"
#include "toolsupport/ui/tool_run.h"

namespace converter {

const char* const kConverterUsageSyntax =
    "Syntax:  PicPr <Input Graphics File> <Output Graphics File> [/Switches]\r\n"
    "\r\n"
    "The input can be a flic (FLI, FLC), an AVI, a Vantrel file (VNT), a picture (BMP, GIF, "
    "TIF, JPG, PCX, TGA), a raw frame file, a numbered series of pictures (Exam???.BMP*1-149) "
    "or a list file (.LST).\r\n"
    "The output is a flic (.FLC, added when the name has no extension) or, chosen by its "
    "extension, a numbered series of BMP, JPG, TGA, TIF, PCX or GIF pictures.\r\n"
    "/O  - Automatically overwrite the output file.\r\n"
    "/F# - Override the output frame rate.";

const std::string kConverterUsageSwitches =
    std::string("Switches:\r\n") + toolsupport::kPictureInputSwitchLines;

std::string ConverterUsageText() {
  return std::string(kConverterUsageSyntax) + "\r\n\r\n" + kConverterUsageSwitches;
}

namespace {

using toolsupport::Status;

// Everything a run holds; an output still open when it is destroyed is discarded.
struct ConverterRun {
  std::unique_ptr<toolsupport::GraphicsSource> source;
  std::unique_ptr<GraphicsOutput> output;
};

Status Convert(std::string text, ConverterRun& run, std::string& report) {
  const bool overwrite = GetFlagSwitch('O', text);
  const int32_t frameSwitch = GetNumberSwitch(0, 'F', text);
  const toolsupport::GraphicsSwitches graphics = toolsupport::ParseGraphicsSwitches(text);
  const bool leftOver = SwitchLeftOver(text);
  const std::string inputName = TakeArgument(text);
  std::string outputName;
  const bool onlyTwoNames = TakeLastArgument(text, outputName);
  if (leftOver || !onlyTwoNames || inputName.empty() || outputName.empty()) {
    ShowMessage(true, kConverterUsageSyntax);
    ShowMessage(false, kConverterUsageSwitches);
    return Status::Stopped();
  }

  toolsupport::Result<std::unique_ptr<toolsupport::GraphicsSource>> opened =
      toolsupport::OpenGraphicsInput(StatusProgress(), "Copying", graphics, inputName);
  if (!opened.ok()) return opened.status();
  run.source = opened.Take();
  toolsupport::GraphicsSource& source = *run.source;

  if (FindExtension(outputName) == std::string::npos) outputName += ".flc";

  // The output's files are held against every file the run reads before anything is written.
  toolsupport::Result<std::unique_ptr<GraphicsOutput>> created =
      CreateGraphicsOutput(overwrite ? kOutputOverwrite : 0, ConfirmOverwrite,
                           OutputFrameRate(frameSwitch, source.frameRate), source.outputPitch, source.outputHeight,
                           source.outputWidth, source.frames, outputName, source.readFiles);
  if (!created.ok()) return created.status();
  run.output = created.Take();

  const uint64_t started = platform::NowMilliseconds();
  while (!source.atEnd) {
    if (Status next = toolsupport::NextGraphicsFrame(source); !next.ok()) return next;
    WriteGraphicsFrame(*run.output, source.outputPalette.data(), source.outputFrame.data());
    if (run.output->error) return Status::Error(run.output->errorText);
    if (StatusCancelled()) return Status::Stopped();
  }
  // A flic whose last writes fail replaces nothing, and nor does a run stopped meanwhile.
  std::string why;
  if (!FinishGraphicsOutput(*run.output, &why)) return Status::Error(why);
  if (StatusCancelled()) return Status::Stopped();
  const std::string description = run.output->description;
  if (CloseGraphicsOutput(std::move(run.output), &why) < 0) return Status::Error(why);
  std::string elapsed;
  FormatElapsedTime(elapsed, platform::NowMilliseconds() - started);
  report = "Created " + description + " in " + elapsed + ".";
  return {};
}

}  // namespace

int ConverterMain(std::string commandText) {
  return RunTool(std::move(commandText), kConverterVersionLine, kConverterTitle,
                 [](const std::string& text, std::string& report) {
                   ConverterRun run;
                   return Convert(text, run, report);
                 });
}

}  // namespace converter
