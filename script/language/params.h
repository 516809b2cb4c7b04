#pragma once
// The parameters of a command: one tokenizer over the parameter text of the running command,
// the variable references in quoted texts, numbers, and the comparison of IF and IFSET.
#include <cstdint>
#include <string>

namespace script {

class ScriptContext;

enum class ParamKind : uint8_t {
  kText = 0,        // a quoted text, or a resolved word that is no number
  kNumber = 1,      // a resolved word that is a number
  kName = 2,        // a word taken without resolving: a variable or label name
  kComparison = 3,  // optional '@', then optional '<', '>', '=' in that order
  kArithmetic = 4,  // one of * / + - | ^ % &
  kNothing = 255,
};

// Past the blanks (bytes 1 to 32) and commas from `position`.
size_t SkipSeparators(const std::string& text, size_t position = 0);

// One blank at the start is passed over; then an optional '-' and only digits, at least one
// character in all ("-" alone is a number, 0).
bool IsNumericText(const std::string& text);

// The value of a decimal text as 32 bits: leading blanks, an optional sign, the digits up to the
// first other character; larger values wrap.
int32_t TextToNumber(const std::string& text);

// Takes the next token off the front of the parameter text (and the separators after it).
// With `resolve`, a word that starts with a letter is replaced by the value of that variable.
// A character that starts no token gives an empty token and stays in the text.
ParamKind NextParam(ScriptContext& context, std::string& destination, bool resolve);

// Replaces each reference, '%' NAME '%' inside one blank-separated word of three or more
// characters (a run of '%' opens it as one), by the variable's value, where it stands. Values
// put in are not scanned again; the result is cut to the text limit.
void ExpandVariableRefs(const ScriptContext& context, std::string& text);

// IF and IFSET: numbers compare as numbers when both sides are numbers; else texts compare
// byte by byte, ignoring the case of a-z unless the operator starts with '@'. The operator is
// one of = < > <= >= <> (after the '@'); any other is false.
bool CompareValues(const std::string& left, const std::string& op, const std::string& right);

void ReplaceChar(std::string& text, char from, char to);

// Values of variables, with the trace's note of every change.
std::string GetVariable(const ScriptContext& context, const std::string& name);
void SetVariable(ScriptContext& context, const std::string& name, const std::string& value);
void SetVariableNumber(ScriptContext& context, const std::string& name, int64_t value);

// The parameter marks of the command tables, each refused with its script error:
// var (a bare name), num (a number), text (present, may be empty), text+ (present, not empty).
std::string TakeVariable(ScriptContext& context);
int32_t TakeNumber(ScriptContext& context);
std::string TakeText(ScriptContext& context);
std::string TakeNonEmptyText(ScriptContext& context);
// A colour index: the low 8 bits of a number.
uint8_t TakeColor(ScriptContext& context);

// Removes the blanks at the front of the parameter text (a trailing comment then passes).
void SkipLeadingBlanks(ScriptContext& context);
// Nothing of the command's own is left: the text is empty or starts a comment or a further
// command.
bool ParamsAtEnd(const ScriptContext& context);

}  // namespace script
