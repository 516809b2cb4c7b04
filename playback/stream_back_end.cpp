// The stream back end's operations and the library's entry points over the default stream
// service.
#include "playback/stream_service.h"
#include "playback/vant.h"

namespace {

StreamService* g_testService = nullptr;

bool OpenTrack(uint32_t flags, SoundTrack* track) { return DefaultStreamService().Open(flags, track); }
void CloseTrack(SoundTrack* track) { DefaultStreamService().Close(track); }
bool StartTrack(SoundTrack* track) { return DefaultStreamService().Start(track); }
void StopTrack(SoundTrack* track) { DefaultStreamService().Stop(track); }
void ResetTrack(SoundTrack* track) { DefaultStreamService().Reset(track); }
void Service() { DefaultStreamService().Service(); }
uint64_t Position(SoundTrack* track) { return DefaultStreamService().Position(track); }
void VolumePan(uint32_t pan, uint32_t volume, SoundTrack* track) { DefaultStreamService().VolumePan(pan, volume, track); }

}  // namespace

StreamService& DefaultStreamService() {
  if (g_testService) return *g_testService;
  // Never destroyed: its timers may still run while the process ends.
  static StreamService* service = new StreamService(platform::CreateStreamDevice, platform::SystemTimerEvents());
  return *service;
}

void SetDefaultStreamServiceForTesting(StreamService* service) { g_testService = service; }

const SoundBackEnd& StreamBackEnd() {
  static const SoundBackEnd operations{OpenTrack, CloseTrack, StartTrack, StopTrack,
                                       ResetTrack, Service,   Position,   VolumePan};
  return operations;
}

int32_t VantSoundUseDirectSound(void* device) {
  return DefaultStreamService().Install(static_cast<platform::StreamDevice*>(device)) ? 1 : 0;
}

void SetDirectSoundHWND(VantWindowHandle window) { DefaultStreamService().SetWindow(window); }

void TimerFunc(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) { DefaultStreamService().Tick(); }

void donemarker(uint32_t timerId, uint32_t, uintptr_t block, uintptr_t, uintptr_t) {
  DefaultStreamService().MarkDone(timerId, reinterpret_cast<StreamBlock*>(block));
}
