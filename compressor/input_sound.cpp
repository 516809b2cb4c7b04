#include "compressor/input_sound.h"

#include <algorithm>
#include <string>

#include "compressor/data_rate.h"
#include "toolsupport/sound/sound_source.h"

namespace compressor {
namespace {

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, 0, INT32_MAX));
}

}  // namespace

toolsupport::Result<std::unique_ptr<toolsupport::SoundTrackEncoder>> OpenInputSound(
    const InputSoundRequest& request, toolsupport::BufferedFile* output, const toolsupport::Progress& progress) {
  using toolsupport::Status;
  // Whether the input has sound at all is known only once it is open: until then nothing it
  // says is shown.
  auto opening = std::make_shared<bool>(true);
  const toolsupport::Progress quietWhileOpening(
      [opening, progress](toolsupport::ProgressKind kind, const std::string& text) {
        if (!*opening) progress.Show(kind, text);
      },
      [progress] { return progress.Cancelled(); });
  auto fail = [](const std::string& text) {
    return Status::Error(text.empty() ? "Error reading the input file." : text);
  };

  // The part of the sound that belongs to the frames taken, in milliseconds of the input.
  toolsupport::SoundSwitches switches = request.switches;
  const int64_t inputPeriod = FramePeriod(request.inputFrameRate);
  switches.start = ClampToInt32(request.firstFrame * inputPeriod / 100);
  switches.end = ClampToInt32((request.firstFrame + request.inputFrames) * inputPeriod / 100);
  bool soundFound = false;
  toolsupport::Result<std::unique_ptr<toolsupport::SoundSource>> opened =
      toolsupport::OpenSoundInput(quietWhileOpening, switches, request.inputName, &soundFound);
  *opening = false;
  if (!opened.ok()) {
    if (!soundFound) return std::unique_ptr<toolsupport::SoundTrackEncoder>();
    const std::vector<std::string>& reasons = opened.status().messages();
    return fail(reasons.empty() ? std::string() : reasons.front());
  }
  std::unique_ptr<toolsupport::SoundSource> source = opened.Take();

  toolsupport::SoundTrackOptions options;
  const int64_t length =
      int64_t{request.framesToEncode} * FramePeriod(request.outputFrameRate) / 100;
  options.length_ms = static_cast<uint32_t>(std::clamp<int64_t>(length, 1, UINT32_MAX));
  options.repeat = request.repeat;
  options.loss_level = request.switches.lossLevel;
  return toolsupport::OpenSoundTrack(std::move(source), options, output);
}

}  // namespace compressor
