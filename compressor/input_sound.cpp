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

std::unique_ptr<toolsupport::SoundTrackEncoder> OpenInputSound(const InputSoundRequest& request,
                                                               toolsupport::BufferedFile* output,
                                                               const ProgressCallback& progress) {
  // Whether the input has sound at all is known only once it is open: until then the first
  // error is kept, not shown.
  struct Opening {
    bool open = true;
    std::string error;
  };
  auto opening = std::make_shared<Opening>();
  ProgressCallback quietWhileOpening = [opening, progress](int kind, const char* text) {
    if (opening->open) {
      if (kind == 2 && text != nullptr && opening->error.empty()) opening->error = text;
      return 0;
    }
    return progress ? progress(kind, text) : 0;
  };
  auto fail = [&progress](const std::string& text) {
    if (progress) progress(2, text.empty() ? "Error reading the input file." : text.c_str());
    return nullptr;
  };

  // The part of the sound that belongs to the frames taken, in milliseconds of the input.
  toolsupport::SoundSwitches switches = request.switches;
  const int64_t inputPeriod = FramePeriod(request.inputFrameRate);
  switches.start = ClampToInt32(request.firstFrame * inputPeriod / 100);
  switches.end = ClampToInt32((request.firstFrame + request.inputFrames) * inputPeriod / 100);
  bool soundFound = false;
  std::unique_ptr<toolsupport::SoundSource> source =
      toolsupport::OpenSoundInput(quietWhileOpening, switches, request.inputName, &soundFound);
  opening->open = false;
  if (!source) return soundFound ? fail(opening->error) : nullptr;
  if (source->damage != nullptr) return fail(source->damage);

  toolsupport::SoundTrackOptions options;
  const int64_t length =
      int64_t{request.framesToEncode} * FramePeriod(request.outputFrameRate) / 100;
  options.length_ms = static_cast<uint32_t>(std::clamp<int64_t>(length, 1, UINT32_MAX));
  options.repeat = request.repeat;
  options.loss_level = request.switches.lossLevel;
  return toolsupport::OpenSoundTrack(std::move(source), options, output);
}

}  // namespace compressor
