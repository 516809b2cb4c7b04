#include "script/language/text_functions.h"

#include <algorithm>

#include "script/language/params.h"
#include "script/language/variables.h"

namespace script {

namespace {

int32_t Clamped(int32_t value) {
  return std::clamp<int32_t>(value, 0, static_cast<int32_t>(kTextLimit));
}

}  // namespace

int32_t FindText(const std::string& what, const std::string& where, bool ignoreCase) {
  const std::string needle = ignoreCase ? UpperCased(what) : what;
  const std::string haystack = ignoreCase ? UpperCased(where) : where;
  const size_t found = haystack.find(needle);
  return found == std::string::npos ? 0 : static_cast<int32_t>(found + 1);
}

std::string TextPiece(const std::string& text, int32_t start, int32_t length) {
  const size_t from = static_cast<size_t>(std::max(start, 1) - 1);
  if (text.size() <= from || length <= 0) return {};
  return text.substr(from, static_cast<size_t>(Clamped(length)));
}

std::string RepeatCharacter(char character, int32_t count) {
  return std::string(static_cast<size_t>(Clamped(count)), character);
}

std::string PadText(const std::string& text, int32_t width, char pad, bool padRight) {
  const size_t wanted = static_cast<size_t>(Clamped(width));
  if (text.size() >= wanted) return text;
  const std::string padding(wanted - text.size(), pad);
  return padRight ? text + padding : padding + text;
}

void UpperCase(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

std::string UpperCased(std::string text) {
  UpperCase(text);
  return text;
}

void SplitVariable(ScriptContext& context, const std::string& first, const std::string& source,
                   const std::string& separators) {
  const std::string value = GetVariable(context, source);
  const size_t at = separators.empty() ? std::string::npos : value.find_first_of(separators);
  if (at == std::string::npos) {
    SetVariable(context, first, value);
    SetVariable(context, source, "");
    return;
  }
  SetVariable(context, first, value.substr(0, at));
  SetVariable(context, source, value.substr(at + 1));
}

}  // namespace script
