// System services and sound: what the script may ask of the system around it, the media
// commands and a plain tone.
#include <algorithm>
#include <ctime>
#include <memory>

#include "platform/audio/tone_out.h"
#include "platform/gui/screen.h"
#include "platform/system/drives.h"
#include "platform/system/program_start.h"
#include "platform/system/system_info.h"
#include "script/command_handlers.h"
#include "script/date_time.h"
#include "script/params.h"
#include "script/script_context.h"
#include "script/script_wait.h"
#include "toolsupport/base/paths.h"
#include "playback/display/vant_display.h"

namespace script {

namespace {

constexpr int kMostColorBits = 24;

void StoreText(ScriptContext& context, std::string text) {
  const std::string variable = TakeVariable(context);
  SetVariable(context, variable, text);
}

void StoreNumber(ScriptContext& context, int64_t value) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, value);
}

std::string FullPath(std::string path) {
  MakeFullPath(path);
  return path;
}

}  // namespace

void CommandSystemCommandLine(ScriptContext& context) { StoreText(context, context.run.commandLine); }

void CommandSystemCurrentScript(ScriptContext& context) {
  StoreText(context, FullPath(NativeFileName(context.run.scriptName)));
}

void CommandSystemCurrentExe(ScriptContext& context) { StoreText(context, platform::OwnProgramPath()); }

// Scripts tell the platform by this word.
void CommandSystemPlatform(ScriptContext& context) { StoreText(context, "Win32"); }

void CommandSystemOsMajor(ScriptContext& context) { StoreNumber(context, platform::RunningSystemVersion().major); }
void CommandSystemOsMinor(ScriptContext& context) { StoreNumber(context, platform::RunningSystemVersion().minor); }

void CommandSystemColors(ScriptContext& context) {
  const int bits = std::clamp(platform::QueryScreen().bits_per_pixel, 1, kMostColorBits);
  StoreNumber(context, int64_t{1} << bits);
}

// Beyond 32 bits the number stops at 2147483647.
void CommandSystemMemory(ScriptContext& context) {
  StoreNumber(context, platform::SaturatedInt32(platform::AvailableMemoryBytes()));
}

// The script clock, which DELAYUNTIL waits for: milliseconds since the program started.
void CommandSystemTimer(ScriptContext& context) { StoreNumber(context, static_cast<int32_t>(context.Clock())); }

void CommandSystemDateTime(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string format = TakeText(context);
  SetVariable(context, variable, FormatDateTime(format, std::time(nullptr)));
}

// A script cannot tell whether the stream back end took over.
void CommandSystemUseDirectSound(ScriptContext&) { VantSoundUseDirectSound(nullptr); }

void CommandSystemDisplayResolution(ScriptContext& context) { VantSetSystemRes(TakeNumber(context)); }

void CommandMciSendString(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string command = TakeText(context);
  const MediaAnswer answer = context.media.Send(command, [&context] { WaitRound(context); });
  std::string text = answer.ok ? answer.text : "Error: " + answer.text;
  if (text.size() > kTextLimit) text.resize(kTextLimit);
  SetVariable(context, variable, text);
}

// The tone sounds while the script waits as DELAY does. A negative duration plays nothing; a
// frequency of 0 or less is a pause of that duration.
void CommandSound(ScriptContext& context) {
  const int32_t frequency = TakeNumber(context);
  const int32_t duration = TakeNumber(context);
  if (duration < 0) return;
  // Stopped also when a stop signal ends the wait.
  const std::unique_ptr<platform::ToneOut, void (*)(platform::ToneOut*)> tone(
      frequency > 0 ? platform::ToneOutStart(static_cast<uint32_t>(frequency) % 65536) : nullptr,
      platform::ToneOutStop);
  WaitUntil(context, context.Clock() + static_cast<uint32_t>(duration));
}

}  // namespace script
