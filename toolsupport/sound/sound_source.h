#pragma once
// Sound input of the tools: a WAV file, a raw PCM file, a wave list (".lst"), the sound stream
// of an AVI file or a sound track of a .vnt video, cut to a start and an end and converted to
// the requested rate, sample size and channel count. The track encoder reads it as a PcmSource.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "toolsupport/io/list_file.h"
#include "toolsupport/sound/pcm_source.h"
#include "toolsupport/sound/sound_streams.h"
#include "toolsupport/sound/sound_switches.h"
#include "toolsupport/base/status.h"
#include "platform/system/file_set.h"

namespace toolsupport {

enum class SoundKind { kFile = 1, kVideoTrack = 2, kAvi = 3, kWaveList = 4 };

class SoundSource : public PcmSource {
 public:
  ~SoundSource() override;

  PcmFormat OutputFormat() const override { return output; }
  uint64_t OutputSize() const override { return size; }
  // Shows "Processing sound data (n%)...", then delivers converted bytes.
  size_t ReadConverted(void* buffer, size_t count) override;
  // Why reading stopped short: an input that ends before the sound it announces, or a list
  // entry that could no longer be opened.
  Status ReadStatus() const override { return readStatus_; }
  bool AtEnd() const override { return atEnd; }
  bool Rewind() override;

  std::string name;
  SoundKind kind = SoundKind::kFile;
  PcmFormat source;  // the input's own format
  PcmFormat output;
  uint64_t size = 0;  // output bytes from the start of the cut to its end
  uint64_t left = 0;  // of them still to deliver
  bool atEnd = false;
  // Every file the input reads: the file named, and a wave list's entries (all of them).
  platform::FileSet readFiles;

 private:
  friend Result<std::unique_ptr<SoundSource>> OpenSoundInput(const Progress&, const SoundSwitches&,
                                                             const std::string&, bool*);
  SoundSource() = default;
  // Opening: each step that fails keeps why (Refuse) and returns false, sets soundFound_ once it
  // knows that the input holds sound, and cut_ when the sound is cut short.
  static Result<std::unique_ptr<SoundSource>> Open(const Progress& progress, const SoundSwitches& switches,
                                                   const std::string& name, int depth, bool* soundFound,
                                                   bool* cut = nullptr);
  bool OpenList(const SoundSwitches& switches);
  Result<std::unique_ptr<SoundSource>> OpenEntry(size_t index) const;
  // The same for an entry while the list is opened: one that cannot be opened is skipped (none
  // then, its reason shown once as a status line); one whose sound is cut short is an error.
  Result<std::unique_ptr<SoundSource>> OpenEntryOrSkip(const ListEntry& entry, bool* soundFound) const;
  // The error of a sound that ends after `held` of the `announced` bytes.
  bool RefuseCut(const std::string& fileName, uint64_t held, uint64_t announced);
  // The same for a list whose entry is cut short, with the entry's reason.
  bool RefuseCutEntry(const Status& why);
  bool OpenRawFile(const SoundSwitches& switches);
  // A WAV file, else a .vnt video's track, else an AVI file's sound stream.
  bool OpenRecording(const SoundSwitches& switches);
  // Sets up the conversion of a single input and refuses a source without sound.
  bool Finish(const SoundSwitches& switches);
  bool Refuse(const char* text);
  size_t ReadPlain(uint8_t* buffer, size_t count);
  size_t ReadList(uint8_t* buffer, size_t count);
  // Nothing more will come from ReadPlain.
  bool Exhausted() const;
  bool SkipOutput(uint64_t bytes);

  Progress progress_;
  Status refused_;     // why opening failed
  Status readStatus_;  // why reading stopped short
  bool soundFound_ = false;
  bool cut_ = false;
  // Single inputs.
  std::unique_ptr<SoundByteStream> stream_;
  std::unique_ptr<SoundConverter> converter_;
  // Wave lists: the entries, each opened in turn in the list's format.
  SoundSwitches entrySwitches_;
  std::vector<ListEntry> entries_;
  size_t entryIndex_ = 0;
  std::unique_ptr<SoundSource> entry_;
  int depth_ = 0;
  uint64_t listSkip_ = 0;  // output bytes the list's own cut drops at its start
  mutable std::set<std::string> reported_;  // entries whose failure has been shown
};

// Opens a sound input as the switches (rate, channels, bits, start, end, track, raw kind, raw
// rate and skip) ask, or why it cannot be. soundFound, when given, tells a failure on an input
// that holds sound (a WAV file, an AVI sound stream, a video's track: its sound cannot be
// delivered) from one on an input without any.
Result<std::unique_ptr<SoundSource>> OpenSoundInput(const Progress& progress, const SoundSwitches& switches,
                                                    const std::string& name, bool* soundFound = nullptr);

// Delivers up to count converted bytes (whole output sample frames); fewer at the end.
size_t ReadConvertedSound(size_t count, void* buffer, SoundSource& source);
// Back to the start of the cut.
bool SeekSoundInput(SoundSource& source);
void CloseSoundInput(std::unique_ptr<SoundSource>& source);

}  // namespace toolsupport
