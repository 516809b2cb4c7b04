#pragma once
// The switch pieces every tool page builds its command from: "/" + letter + value, joined
// without blanks, each left out when its check box is off or its text is empty.
#include <cstdint>
#include <optional>
#include <string>

namespace frontend {

// "/" + letter + the number when enabled, else "".
std::string NumSwitch(char letter, bool enabled, int64_t number);
// "/" + letter + the trimmed text when enabled and the text is not blank, else "".
std::string TextSwitch(char letter, bool enabled, const std::string& text);
// When enabled: "/" + letter + the trimmed text, or "/" + letter alone for a blank text.
std::string OptionalTextSwitch(char letter, bool enabled, const std::string& text);
// "/" + letter when enabled, else "".
std::string FlagSwitch(char letter, bool enabled);

// What a palette field shows for the palette of the input itself.
inline constexpr const char* kInputPalette = "The input file.";
// "/&" + the palette file in double quotes (without its directory when that is the list's), or
// "" for the input's own palette: an empty name, or exactly kInputPalette in any case (a file
// whose name holds those words is still a file).
std::string PaletteSwitch(const std::string& paletteName, const std::string& listDirectory);

// The digits the text begins with, after leading blanks ("75 %" -> "75", "x" -> "").
std::string LeadingDigits(const std::string& text);

// The trimmed text as a whole number: digits, with a leading '-' when allowed; nothing for
// anything else or a number past 32 bits.
std::optional<int32_t> WholeNumber(const std::string& text, bool signAllowed);

// The output rate a page passes to its tool for the rate list's item: the typed rate for -1,
// 11025, 22050 or 44100 for items 1 to 3, and "" (the input's rate) for any other.
std::string SoundRateText(int index, const std::string& typed);
// Why the rate cannot be passed: a typed rate that is no whole number above 0; "" when it can.
std::string CheckSoundRate(int index, const std::string& typed);

}  // namespace frontend
