#pragma once
// The texts the STR commands compute, as plain functions. Results are at most the text limit.
#include <cstdint>
#include <string>

namespace script {

class ScriptContext;

// A blank of the language: a byte from 1 to 32.
constexpr bool IsBlank(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

// The 1-based position of the first `what` in `where`, 0 when absent; 1 for an empty `what`.
// With ignoreCase, a-z count as A-Z.
int32_t FindText(const std::string& what, const std::string& where, bool ignoreCase);

// `length` characters from the 1-based `start` (0 or less counts as 1), shortened to what the
// text has; empty when the text ends before the start or the length is not positive.
std::string TextPiece(const std::string& text, int32_t start, int32_t length);

// `count` copies of the character; empty for a count of 0 or less.
std::string RepeatCharacter(char character, int32_t count);

// The text with `pad` characters put before it (or after it, with padRight) up to `width`;
// unchanged when it is as wide already.
std::string PadText(const std::string& text, int32_t width, char pad, bool padRight);

// a-z made A-Z (in place, or a copy); A-Z made a-z is toolsupport/base's LowerCase.
void UpperCase(std::string& text);
std::string UpperCased(std::string text);

// STRFIRST: the value of `source` is split at its first character that is one of the
// separators: `first` receives what stands before it and `source` keeps what follows it.
// Without a separator `first` receives the whole value and `source` is deleted.
void SplitVariable(ScriptContext& context, const std::string& first, const std::string& source,
                   const std::string& separators);

}  // namespace script
