#include "frontend/pages/page_switches.h"

#include "frontend/core/ini_file.h"
#include "frontend/core/launcher.h"
#include "frontend/core/text_format.h"

namespace frontend {

std::string NumSwitch(char letter, bool enabled, int64_t number) {
  return enabled ? std::string("/") + letter + std::to_string(number) : "";
}

std::string TextSwitch(char letter, bool enabled, const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  return enabled && !trimmed.empty() ? std::string("/") + letter + trimmed : "";
}

std::string OptionalTextSwitch(char letter, bool enabled, const std::string& text) {
  return enabled ? std::string("/") + letter + TrimBlanks(text) : "";
}

std::string FlagSwitch(char letter, bool enabled) { return enabled ? std::string("/") + letter : ""; }

std::string PaletteSwitch(const std::string& paletteName, const std::string& listDirectory) {
  const std::string name = Unquoted(paletteName);
  if (name.empty() || EqualIgnoringCase(name, kInputPalette)) return "";
  // Quoted always: inside a bare switch word every '/' of a path would begin a switch.
  return "/&" + QuoteRelativeName(name, listDirectory);
}

std::string LeadingDigits(const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  size_t end = 0;
  while (end < trimmed.size() && trimmed[end] >= '0' && trimmed[end] <= '9') ++end;
  return trimmed.substr(0, end);
}

std::optional<int32_t> WholeNumber(const std::string& text, bool signAllowed) {
  // The tools read a number switch only with a digit, or '-' and a digit, after the letter.
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.empty() || trimmed[0] == '+' || (trimmed[0] == '-' && !signAllowed)) return std::nullopt;
  return ParseInteger(trimmed);
}

std::string SoundRateText(int index, const std::string& typed) {
  switch (index) {
    case 1: return "11025";
    case 2: return "22050";
    case 3: return "44100";
    default: return index < 0 ? TrimBlanks(typed) : "";
  }
}

std::string CheckSoundRate(int index, const std::string& typed) {
  const std::string rate = SoundRateText(index, typed);
  if (rate.empty()) return "";
  const std::optional<int32_t> value = WholeNumber(rate, false);
  return value && *value > 0 ? "" : "Error, the sound rate must be a whole number above 0.";
}

}  // namespace frontend
