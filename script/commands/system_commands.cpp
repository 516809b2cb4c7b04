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
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/date_time.h"
#include "script/language/params.h"
#include "script/language/script_wait.h"
#include "toolsupport/base/paths.h"
#include "playback/display/vant_display.h"

namespace script {

namespace {

constexpr int kMostColorBits = 24;

void StoreText(CommandContext& context, std::string text) {
  const std::string variable = TakeVariable(context);
  SetVariable(context, variable, text);
}

void StoreNumber(CommandContext& context, int64_t value) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, value);
}

std::string FullPath(std::string path) {
  MakeFullPath(path);
  return path;
}

void CommandSystemCommandLine(CommandContext& context) { StoreText(context, context.run.commandLine); }

void CommandSystemCurrentScript(CommandContext& context) {
  StoreText(context, FullPath(NativeFileName(context.run.scriptName)));
}

void CommandSystemCurrentExe(CommandContext& context) { StoreText(context, platform::OwnProgramPath()); }

// Scripts tell the platform by this word.
void CommandSystemPlatform(CommandContext& context) { StoreText(context, "Win32"); }

void CommandSystemOsMajor(CommandContext& context) { StoreNumber(context, platform::RunningSystemVersion().major); }
void CommandSystemOsMinor(CommandContext& context) { StoreNumber(context, platform::RunningSystemVersion().minor); }

void CommandSystemColors(CommandContext& context) {
  const int bits = std::clamp(platform::QueryScreen().bits_per_pixel, 1, kMostColorBits);
  StoreNumber(context, int64_t{1} << bits);
}

// Beyond 32 bits the number stops at 2147483647.
void CommandSystemMemory(CommandContext& context) {
  StoreNumber(context, platform::SaturatedInt32(platform::AvailableMemoryBytes()));
}

// The script clock, which DELAYUNTIL waits for: milliseconds since the program started.
void CommandSystemTimer(CommandContext& context) { StoreNumber(context, static_cast<int32_t>(context.Clock())); }

void CommandSystemDateTime(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string format = TakeText(context);
  SetVariable(context, variable, FormatDateTime(format, std::time(nullptr)));
}

// A script cannot tell whether the stream back end took over.
void CommandSystemUseDirectSound(CommandContext&) { VantSoundUseDirectSound(nullptr); }

void CommandSystemDisplayResolution(CommandContext& context) { VantSetSystemRes(TakeNumber(context)); }

void CommandMciSendString(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const std::string command = TakeText(context);
  const MediaAnswer answer =
      context.system.media.Send(command, [&context](const std::function<bool()>& done, uint32_t limitMs) {
        return WaitFor(context, done, limitMs);
      });
  std::string text = answer.ok ? answer.text : "Error: " + answer.text;
  if (text.size() > kTextLimit) text.resize(kTextLimit);
  SetVariable(context, variable, text);
}

// The tone sounds while the script waits as DELAY does. A negative duration plays nothing; a
// frequency of 0 or less is a pause of that duration.
void CommandSound(CommandContext& context) {
  const int32_t frequency = TakeNumber(context);
  const int32_t duration = TakeNumber(context);
  if (duration < 0) return;
  // Stopped also when a stop signal ends the wait.
  const std::unique_ptr<platform::ToneOut, void (*)(platform::ToneOut*)> tone(
      frequency > 0 ? platform::ToneOutStart(static_cast<uint32_t>(frequency) % 65536) : nullptr,
      platform::ToneOutStop);
  WaitUntil(context, context.Clock() + static_cast<uint32_t>(duration));
}

constexpr CommandEntry kEntries[] = {
    {"MCISENDSTRING", CommandMciSendString},
    {"SOUND", CommandSound},
    {"SYSTEMCOLORS", CommandSystemColors},
    {"SYSTEMCOMMANDLINE", CommandSystemCommandLine},
    {"SYSTEMCURRENTEXE", CommandSystemCurrentExe},
    {"SYSTEMCURRENTSCRIPT", CommandSystemCurrentScript},
    {"SYSTEMDATETIME", CommandSystemDateTime},
    {"SYSTEMDISPLAYRESOLUTION", CommandSystemDisplayResolution},
    {"SYSTEMMEMORY", CommandSystemMemory},
    {"SYSTEMOSMAJOR", CommandSystemOsMajor},
    {"SYSTEMOSMINOR", CommandSystemOsMinor},
    {"SYSTEMPLATFORM", CommandSystemPlatform},
    {"SYSTEMTIMER", CommandSystemTimer},
    {"SYSTEMUSEDIRECTSOUND", CommandSystemUseDirectSound},
};

}  // namespace

std::span<const CommandEntry> SystemCommands() { return kEntries; }

}  // namespace script
