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

// The digits the text begins with, after leading blanks ("75 %" -> "75", "x" -> "").
std::string LeadingDigits(const std::string& text);

// The trimmed text as a whole number: digits, with a leading '-' when allowed; nothing for
// anything else or a number past 32 bits.
std::optional<int32_t> WholeNumber(const std::string& text, bool signAllowed);

}  // namespace frontend
