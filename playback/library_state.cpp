#include "playback/library_state.h"

#include "playback/sound_track.h"
#include "playback/vant.h"

namespace {
int32_t g_frameRate = 0;
uint32_t g_simulatedReadRate = 0;
}  // namespace

uint32_t g_openSoundTrackCount = 0;

int32_t ProcessFrameRate() { return g_frameRate; }
uint32_t ProcessSimulatedReadRate() { return g_simulatedReadRate; }

int32_t VantFrameRate(int32_t rate) {
  g_frameRate = rate > 0 ? -(100000 / rate) : rate;
  return g_frameRate;
}

uint32_t VantSimulate(uint32_t bytesPerSecond) {
  g_simulatedReadRate = bytesPerSecond;
  return g_simulatedReadRate;
}

void RunSoundService() {
  if (g_openSoundTrackCount == 0) return;
  if (g_soundBackEnd.service) g_soundBackEnd.service();
}
