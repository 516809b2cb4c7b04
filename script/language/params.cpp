#include "script/language/params.h"

#include <algorithm>

#include "script/language/script_context.h"
#include "script/language/script_error.h"
#include "script/language/text_functions.h"
#include "script/language/trace.h"
#include "toolsupport/base/text_words.h"

namespace script {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsArithmetic(char c) { return std::string_view("*/+|^%&").find(c) != std::string_view::npos; }
bool IsComparison(char c) { return c == '=' || c == '<' || c == '>'; }
unsigned char FoldCase(char c) {
  return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

// Replaces the references of one word, from its first character.
std::string ExpandWord(const ScriptContext& context, std::string word) {
  size_t from = 0;
  for (;;) {
    const size_t open = word.find('%', from);
    if (open == std::string::npos) break;
    size_t name = open;
    while (name < word.size() && word[name] == '%') ++name;
    const size_t close = word.find('%', name);
    if (close == std::string::npos) break;
    const std::string value = context.variables.Get(word.substr(name, close - name));
    word.replace(open, close + 1 - open, value);
    from = open + value.size();
  }
  return word;
}

int CompareTexts(const std::string& left, const std::string& right, bool withCase) {
  const size_t common = std::min(left.size(), right.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char a = withCase ? static_cast<unsigned char>(left[i]) : FoldCase(left[i]);
    const unsigned char b = withCase ? static_cast<unsigned char>(right[i]) : FoldCase(right[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

}  // namespace

size_t SkipSeparators(const std::string& text, size_t position) {
  while (position < text.size() && (IsBlank(text[position]) || text[position] == ',')) ++position;
  return position;
}

bool IsNumericText(const std::string& text) {
  size_t i = !text.empty() && IsBlank(text[0]) ? 1 : 0;
  if (i == text.size()) return false;
  if (text[i] == '-') ++i;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), IsDigit);
}

int32_t TextToNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) value = value * 10 + static_cast<uint32_t>(text[i] - '0');
  return static_cast<int32_t>(negative ? 0u - value : value);
}

ParamKind NextParam(ScriptContext& context, std::string& destination, bool resolve) {
  std::string& text = context.run.params;
  const size_t start = SkipSeparators(text);
  if (start == text.size()) {
    destination.clear();
    text.clear();
    return ParamKind::kNothing;
  }
  const char first = text[start];
  const char second = start + 1 < text.size() ? text[start + 1] : '\0';
  size_t end = start;
  ParamKind kind;
  if (first == '"' || first == '\'') {
    const size_t close = text.find(first, start + 1);
    destination = text.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
    ExpandVariableRefs(context, destination);
    end = close == std::string::npos ? text.size() : close + 1;
    kind = ParamKind::kText;
  } else if (IsComparison(first) || (first == '@' && IsComparison(second))) {
    for (char part : {'@', '<', '>', '='}) {
      if (end < text.size() && text[end] == part) ++end;
    }
    destination = text.substr(start, end - start);
    kind = ParamKind::kComparison;
  } else if (IsArithmetic(first) || (first == '-' && !IsDigit(second))) {
    end = start + 1;
    destination = std::string(1, first);
    kind = ParamKind::kArithmetic;
  } else {
    if (first == '-') ++end;
    while (end < text.size() && (IsLetter(text[end]) || IsDigit(text[end]))) ++end;
    destination = text.substr(start, end - start);
    if (!resolve) {
      kind = ParamKind::kName;
    } else {
      if (!destination.empty() && IsLetter(destination[0])) destination = GetVariable(context, destination);
      kind = IsNumericText(destination) ? ParamKind::kNumber : ParamKind::kText;
    }
  }
  text.erase(0, SkipSeparators(text, end));
  return kind;
}

void ExpandVariableRefs(const ScriptContext& context, std::string& text) {
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      result += text[i++];
      continue;
    }
    size_t end = i;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    std::string word = text.substr(i, end - i);
    result += word.size() >= 3 ? ExpandWord(context, std::move(word)) : word;
    i = end;
  }
  if (result.size() > kTextLimit) result.resize(kTextLimit);
  text = std::move(result);
}

bool CompareValues(const std::string& left, const std::string& op, const std::string& right) {
  int order;
  if (IsNumericText(left) && IsNumericText(right)) {
    const int32_t a = TextToNumber(left), b = TextToNumber(right);
    order = a < b ? -1 : (a > b ? 1 : 0);
  } else {
    order = CompareTexts(left, right, !op.empty() && op[0] == '@');
  }
  const std::string_view test = !op.empty() && op[0] == '@' ? std::string_view(op).substr(1) : op;
  if (test == "=") return order == 0;
  if (test == "<") return order < 0;
  if (test == ">") return order > 0;
  if (test == "<=") return order <= 0;
  if (test == ">=") return order >= 0;
  if (test == "<>") return order != 0;
  return false;
}

void ReplaceChar(std::string& text, char from, char to) { std::replace(text.begin(), text.end(), from, to); }

std::string GetVariable(const ScriptContext& context, const std::string& name) {
  return context.variables.Get(name);
}

void SetVariable(ScriptContext& context, const std::string& name, const std::string& value) {
  if (context.Tracing()) TraceText(context, "  ***" + VariableKey(name) + "=\"" + value + "\"");
  context.variables.Set(name, value);
}

void SetVariableNumber(ScriptContext& context, const std::string& name, int64_t value) {
  SetVariable(context, name, std::to_string(value));
}

std::string TakeVariable(ScriptContext& context) {
  std::string name;
  if (NextParam(context, name, false) != ParamKind::kName) ErrorNeedVariable(context);
  return name;
}

int32_t TakeNumber(ScriptContext& context) {
  std::string value;
  if (NextParam(context, value, true) != ParamKind::kNumber) ErrorNeedNumber(context);
  return TextToNumber(value);
}

std::string TakeText(ScriptContext& context) {
  std::string value;
  if (NextParam(context, value, true) == ParamKind::kNothing) ErrorNeedParameter(context);
  return value;
}

std::string TakeNonEmptyText(ScriptContext& context) {
  std::string value;
  if (NextParam(context, value, true) == ParamKind::kNothing || value.empty()) ErrorNeedNonEmpty(context);
  return value;
}

uint8_t TakeColor(ScriptContext& context) { return static_cast<uint8_t>(TakeNumber(context)); }

void SkipLeadingBlanks(ScriptContext& context) { TrimLeading(context.run.params); }

bool ParamsAtEnd(const ScriptContext& context) {
  const std::string& text = context.run.params;
  return text.empty() || text[0] == '#' || text[0] == ';';
}

}  // namespace script
