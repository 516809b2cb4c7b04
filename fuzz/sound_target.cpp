// The tools' sound input on one file: as a recording (a WAV file, else a .vnt track, else an AVI
// sound stream) in its own format and converted, and as raw PCM; each read to its end (within
// the harness's limit), wound back and read a little again.
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"
#include "toolsupport/sound/sound_source.h"

namespace fuzz {
namespace {

void ReadSound(const std::string& path, const toolsupport::SoundSwitches& switches) {
  std::unique_ptr<toolsupport::SoundSource> source = toolsupport::OpenSoundInput({}, switches, path).Take();
  if (!source) return;
  std::vector<uint8_t> buffer(4096);
  uint64_t total = 0;
  while (total < kMaxSoundBytes) {
    const size_t got = toolsupport::ReadConvertedSound(buffer.size(), buffer.data(), *source);
    if (got == 0) break;
    total += got;
  }
  if (toolsupport::SeekSoundInput(*source)) toolsupport::ReadConvertedSound(buffer.size(), buffer.data(), *source);
  toolsupport::CloseSoundInput(source);
}

}  // namespace

int FuzzSound(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".wav");
  if (path.empty()) return 0;
  const toolsupport::SoundSwitches ways[] = {
      {},
      {.rate = 11025, .channels = 2, .bits = 16, .start = 10, .end = 900},
      {.rate = 22050, .channels = 1, .bits = 8, .rawKind = 4, .rawRate = 8000, .skipBytes = 3},
  };
  for (const toolsupport::SoundSwitches& switches : ways) ReadSound(path, switches);
  return 0;
}

}  // namespace fuzz
