#include "script/system/media_control.h"

#include <algorithm>
#include <new>

#include "platform/audio/wave_out.h"
#include "platform/system/program_start.h"
#include "script/language/file_slots.h"
#include "script/language/text_functions.h"
#include "toolsupport/base/text_words.h"
#include "toolsupport/io/riff_reader.h"
#include "toolsupport/sound/sound_files.h"

namespace script {

namespace {

// How long "play ... wait" gives a device beyond the sound's length before it stops waiting.
constexpr uint64_t kPlayWaitSpareMs = 5000;

MediaAnswer Answer(std::string text) { return {true, std::move(text)}; }
MediaAnswer Refuse(std::string text) { return {false, std::move(text)}; }

struct LoadedSound {
  toolsupport::PcmFormat format;
  std::vector<uint8_t> bytes;
};

// The PCM bytes of a WAV file; the reason in `why` when there are none.
bool LoadWav(const std::string& name, LoadedSound& sound, std::string& why) {
  toolsupport::RiffFile file;
  toolsupport::FileSound found;
  if (!file.Open(name)) {
    why = file.opened() ? "is no WAV file" : "cannot be opened";
    return false;
  }
  if (!file.IsForm("WAVE") || !toolsupport::ReadWavSound(file, found)) {
    why = "is no PCM WAV file";
    return false;
  }
  if (found.format.rate > 0xFFFFFF) {
    why = "has a sample rate the sound device cannot play";
    return false;
  }
  try {
    sound.bytes.resize(found.bytes);
  } catch (const std::bad_alloc&) {
    why = "is too large to be played";
    return false;
  }
  uint64_t at = 0;
  for (const toolsupport::FileSegment& segment : found.segments) {
    const uint64_t take = std::min(segment.size, found.bytes - at);
    if (!file.ReadAt(segment.offset, sound.bytes.data() + at, take)) {
      why = "cannot be read";
      return false;
    }
    at += take;
  }
  sound.format = found.format;
  return true;
}

}  // namespace

// One open waveaudio device: the whole sound in memory, queued to the sound device as one block
// from the place where playing starts, so that pausing, resuming and seeking need no feeding.
struct MediaDevices::Device {
  ~Device() { platform::WaveOutClose(out); }

  uint64_t Milliseconds(uint64_t bytes) const { return bytes * 1000 / sound.format.BytesPerSecond(); }

  // Notes the end of a block that has played out.
  void Update() {
    if (playing && (block.flags.load(std::memory_order_acquire) & platform::kWaveBlockDone)) {
      playing = false;
      position = sound.bytes.size();
    }
  }
  uint64_t Position() const {
    if (!playing) return position;
    const uint64_t played = platform::WaveOutBytesTaken(out) - takenBefore;
    return std::min<uint64_t>(blockStart + played, sound.bytes.size());
  }
  bool Play() {
    Update();
    if (playing) return true;
    if (out == nullptr) {
      out = platform::WaveOutOpen({sound.format.rate, sound.format.channels, sound.format.bits});
      if (out == nullptr) return false;
    }
    if (position >= sound.bytes.size()) position = 0;
    blockStart = position;
    block.data = sound.bytes.data() + position;
    block.length = static_cast<uint32_t>(std::min<uint64_t>(sound.bytes.size() - position, UINT32_MAX));
    takenBefore = platform::WaveOutBytesTaken(out);
    playing = true;
    paused = false;
    platform::WaveOutWrite(out, &block);
    return true;
  }
  // Stops where the sound stands; `pause` keeps it resumable.
  void Halt(bool pause) {
    Update();
    if (playing) {
      position = Position();
      platform::WaveOutReset(out);
      playing = false;
      paused = pause;
    } else if (!pause) {
      paused = false;
    }
  }

  int id = 0;
  LoadedSound sound;
  platform::WaveOutDevice* out = nullptr;
  platform::WaveBlock block;
  uint64_t blockStart = 0;   // the byte of the sound the queued block starts at
  uint64_t takenBefore = 0;  // the device's count of bytes taken when the block was queued
  uint64_t position = 0;     // the byte playing goes on from while not playing
  bool playing = false;
  bool paused = false;
};

MediaDevices::MediaDevices() = default;
MediaDevices::~MediaDevices() = default;

MediaAnswer MediaDevices::Send(const std::string& command, const Wait& wait) {
  std::vector<std::string> words = platform::SplitCommandWords(command);
  if (words.empty()) return Refuse("There is no command in the text.");
  const std::string verb = UpperCased(words[0]);
  if (verb == "OPEN") return Open(words);
  static const char* const kDeviceVerbs[] = {"PLAY", "PAUSE", "RESUME", "STOP", "SEEK", "STATUS", "CLOSE"};
  if (std::find(std::begin(kDeviceVerbs), std::end(kDeviceVerbs), verb) == std::end(kDeviceVerbs)) {
    return Refuse("The command \"" + words[0] + "\" is not supported; only open, play, pause, resume, stop, "
                  "seek, status and close of WAV sounds are.");
  }
  if (words.size() < 2) return Refuse("The command \"" + words[0] + "\" needs a device name.");
  const std::string name = UpperCased(words[1]);
  const std::vector<std::string> flags(words.begin() + 2, words.end());
  if (name == "ALL") {
    if (verb != "CLOSE") return Refuse("Only close can be given to all devices.");
    devices_.clear();
    return Answer({});
  }
  const auto found = devices_.find(name);
  if (found == devices_.end()) return Refuse("The device \"" + words[1] + "\" is not open.");
  MediaAnswer answer = OnDevice(verb, *found->second, flags, wait);
  if (answer.ok && verb == "CLOSE") devices_.erase(found);
  return answer;
}

MediaAnswer MediaDevices::Open(const std::vector<std::string>& words) {
  if (words.size() < 2) return Refuse("The command \"open\" needs a file name.");
  std::string element = words[1];
  std::string type;
  const size_t bang = element.find('!');
  if (bang != std::string::npos) {
    type = element.substr(0, bang);
    element = element.substr(bang + 1);
  }
  std::string alias;
  for (size_t i = 2; i < words.size(); ++i) {
    const std::string flag = UpperCased(words[i]);
    if (flag == "TYPE" && i + 1 < words.size()) {
      type = words[++i];
    } else if (flag == "ALIAS" && i + 1 < words.size()) {
      alias = words[++i];
    } else if (flag != "WAIT" && flag != "SHAREABLE") {
      return Refuse("The word \"" + words[i] + "\" is not supported in the command \"open\".");
    }
  }
  if (type.empty() && UpperCased(element) == "WAVEAUDIO") {
    return Refuse("The waveaudio device opens only with a WAV file; recording is not supported.");
  }
  const bool wav = element.size() > 4 && UpperCased(element.substr(element.size() - 4)) == ".WAV";
  if (type.empty() ? !wav : UpperCased(type) != "WAVEAUDIO") {
    return Refuse("Only the waveaudio device (WAV files) is supported.");
  }
  const std::string name = UpperCased(alias.empty() ? element : alias);
  if (name.empty() || name == "ALL") return Refuse("The device needs a name other than \"" + name + "\".");
  if (devices_.count(name) != 0) return Refuse("The name \"" + (alias.empty() ? element : alias) + "\" is in use.");
  auto device = std::make_unique<Device>();
  std::string why;
  if (!LoadWav(NativeFileName(element), device->sound, why)) {
    return Refuse("The sound file \"" + element + "\" " + why + ".");
  }
  device->id = nextId_++;
  const int id = device->id;
  devices_[name] = std::move(device);
  return Answer(std::to_string(id));
}

MediaAnswer MediaDevices::OnDevice(const std::string& verb, Device& device, const std::vector<std::string>& flags,
                                   const Wait& wait) {
  std::vector<std::string> words;
  bool waitEnd = false;
  for (const std::string& flag : flags) {
    if (UpperCased(flag) == "WAIT") {
      waitEnd = true;
    } else {
      words.push_back(UpperCased(flag));
    }
  }
  if (verb != "SEEK" && verb != "STATUS" && !words.empty()) {
    return Refuse("The word \"" + words[0] + "\" is not supported in the command \"" + LowerCase(verb) + "\".");
  }
  device.Update();
  if (verb == "PLAY") {
    if (!device.Play()) return Refuse("The sound device cannot be opened.");
    const uint64_t limit = device.Milliseconds(device.sound.bytes.size() - device.blockStart) + kPlayWaitSpareMs;
    const auto ended = [&device] {
      device.Update();
      return !device.playing;
    };
    if (waitEnd && !ended() && !wait(ended, static_cast<uint32_t>(std::min<uint64_t>(limit, UINT32_MAX)))) {
      device.Halt(false);
      return Refuse("The sound device stopped playing.");
    }
    return Answer({});
  }
  if (verb == "PAUSE" || verb == "STOP") {
    device.Halt(verb == "PAUSE");
    return Answer({});
  }
  if (verb == "RESUME") {
    if (device.paused && !device.Play()) return Refuse("The sound device cannot be opened.");
    return Answer({});
  }
  if (verb == "SEEK") {
    if (words.size() != 2 || words[0] != "TO" || words[1] != "START") {
      return Refuse("Only \"seek ... to start\" is supported.");
    }
    device.Halt(false);
    device.position = 0;
    return Answer({});
  }
  if (verb == "STATUS") {
    if (words.size() != 1) return Refuse("The command \"status\" needs one of mode, length and position.");
    if (words[0] == "MODE") return Answer(device.playing ? "playing" : device.paused ? "paused" : "stopped");
    if (words[0] == "LENGTH") return Answer(std::to_string(device.Milliseconds(device.sound.bytes.size())));
    if (words[0] == "POSITION") return Answer(std::to_string(device.Milliseconds(device.Position())));
    return Refuse("The status item \"" + words[0] + "\" is not supported; mode, length and position are.");
  }
  return Answer({});  // CLOSE: the caller drops the device
}

}  // namespace script
