#include "compressor/frame_hints.h"

#include <algorithm>

#include "toolsupport/io/buffered_file.h"
#include "toolsupport/base/text_words.h"

namespace compressor {
namespace {

// Decimal reading as for switch values: an optional sign, then digits up to the first other
// character; a word without digits reads as 0. Large values stop growing instead of wrapping.
int64_t ReadDecimal(std::string_view word) {
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
  int64_t value = 0;
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
    if (value < 1000000000000000) value = value * 10 + (word[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

void FrameHints::Reset(uint32_t frames) {
  rate.assign(frames, -1);
  hasRate.assign(frames, 0);
  key.assign(frames, 0);
  if (frames > 0) key[0] = 1;
}

int64_t FrameHints::TargetFor(uint32_t frame, bool isKey, int64_t keyTarget,
                              int64_t regularTarget) const {
  if (frame < hasRate.size() && hasRate[frame]) return rate[frame];
  return isKey ? keyTarget : regularTarget;
}

int64_t HintLayout::InputFrameOf(uint32_t k) const {
  return firstInputFrame + (everyOther ? 2 * int64_t{k} + 1 : int64_t{k});
}

HintStatus ApplyHintLine(std::string line, const HintLayout& layout, const InputRateFacts& input,
                         FrameHints& hints) {
  std::string word = TakeWord(line);
  if (word.empty() || layout.frames == 0) return HintStatus::kRead;
  int64_t start = ReadDecimal(word);
  int64_t end = ReadDecimal(TakeWord(line));
  if (end < start) std::swap(start, end);
  // A range that begins outside the encoded frames is dropped entirely.
  int64_t first = layout.firstInputFrame;
  if (start < first || start > layout.InputFrameOf(layout.frames - 1)) return HintStatus::kRead;

  // Encoded frames lo..hi are those whose input frame lies within start..end.
  int64_t lo = layout.everyOther ? (start - first) / 2 : start - first;
  int64_t hi = layout.everyOther ? (end - first - 1) / 2 : end - first;
  if (layout.everyOther && end - first - 1 < 0) return HintStatus::kRead;
  hi = std::min<int64_t>(hi, layout.frames - 1);

  std::string rateWord = TakeWord(line);
  if (!rateWord.empty() && rateWord != "*") {
    int64_t rate = ReadDecimal(rateWord);
    if (IsFileShareTarget(rate)) {
      std::optional<int64_t> bytes = FileShareToBytesPerSecond(rate, input);
      if (!bytes) return HintStatus::kZeroPeriod;
      rate = *bytes;
    }
    for (int64_t k = lo; k <= hi; ++k) {
      hints.rate[k] = rate;
      hints.hasRate[k] = 1;
    }
  }
  std::string keyWord = TakeWord(line);
  if (!keyWord.empty() && keyWord != "*") {
    uint8_t key = ReadDecimal(keyWord) != 0;
    for (int64_t k = lo; k <= hi; ++k) hints.key[k] = key;
  }
  return HintStatus::kRead;
}

HintStatus ReadHintFile(const std::string& name, const HintLayout& layout,
                        const InputRateFacts& input, FrameHints& hints) {
  hints.Reset(layout.frames);
  if (name.empty()) return HintStatus::kRead;
  toolsupport::BufferedFile file(512);
  if (!file.Open(name.c_str())) return HintStatus::kCannotOpen;
  HintStatus status = HintStatus::kRead;
  char piece[1024];
  while (status == HintStatus::kRead && !file.AtEnd()) {
    // A piece that fills the buffer ended without a line feed: the line goes on.
    std::string line;
    for (;;) {
      std::string text = file.ReadLine(piece, sizeof piece);
      line += text;
      if (text.size() < sizeof piece - 1 || file.AtEnd()) break;
    }
    status = ApplyHintLine(line, layout, input, hints);
  }
  file.Close();
  return status;
}

std::string HintOpenErrorText(const std::string& name) {
  return "Error opening the hint file: " + name;
}

}  // namespace compressor
