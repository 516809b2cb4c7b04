#pragma once
// The media commands of MCISENDSTRING. Linux has no media control interface, so this small one
// of our own answers the command strings scripts send to play WAV files (the waveaudio device):
//   open NAME [type waveaudio] [alias ALIAS]     (also "open waveaudio!NAME"); answers the id
//   play ALIAS [wait]   pause ALIAS   resume ALIAS   stop ALIAS   seek ALIAS to start
//   status ALIAS mode|length|position            (mode: playing, paused or stopped; times in ms)
//   close ALIAS|all
// Every command also takes "wait". Words are separated by blanks; a name with blanks is written
// in double quotes. Command words, aliases and flags ignore case. The sound plays through SDL2
// audio while the script goes on; anything else is refused with a text that says what.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace script {

struct MediaAnswer {
  bool ok = false;
  std::string text;  // the answer, or what went wrong
};

class MediaDevices {
 public:
  MediaDevices();
  MediaDevices(const MediaDevices&) = delete;
  MediaDevices& operator=(const MediaDevices&) = delete;
  // Closes every device still open.
  ~MediaDevices();

  // How "play ... wait" waits: until `done` holds (true) or `limitMs` milliseconds have passed
  // (false), keeping the program going.
  using Wait = std::function<bool(const std::function<bool()>& done, uint32_t limitMs)>;

  // Runs one command string.
  MediaAnswer Send(const std::string& command, const Wait& wait);

 private:
  struct Device;
  MediaAnswer Open(const std::vector<std::string>& words);
  MediaAnswer OnDevice(const std::string& verb, Device& device, const std::vector<std::string>& flags,
                       const Wait& wait);

  std::map<std::string, std::unique_ptr<Device>> devices_;  // by upper-case name
  int nextId_ = 1;
};

}  // namespace script
