// The tokenizer, numbers, variable references and comparisons.
#include <gtest/gtest.h>

#include <climits>

#include "script/language/params.h"
#include "script/language/script_context.h"

namespace {

using script::ParamKind;

// The parameters need no command words.
const script::CommandTable kNoCommands({});

struct Token {
  ParamKind kind;
  std::string text;
  bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& token) {
  return out << static_cast<int>(token.kind) << ":'" << token.text << "'";
}

TEST(ScriptParams, TokensOfParameterTexts) {
  struct Case {
    std::string params;
    bool resolve;
    std::vector<Token> tokens;
    std::string left;  // what stays in the parameter text
  };
  const std::vector<Case> cases = {
      {"\"5\" 5 '7'", true, {{ParamKind::kText, "5"}, {ParamKind::kNumber, "5"}, {ParamKind::kText, "7"}}, ""},
      {"=< <> @<> >= <= @= > ", true,
       {{ParamKind::kComparison, "="}, {ParamKind::kComparison, "<"}, {ParamKind::kComparison, "<>"},
        {ParamKind::kComparison, "@<>"}, {ParamKind::kComparison, ">="}, {ParamKind::kComparison, "<="},
        {ParamKind::kComparison, "@="}, {ParamKind::kComparison, ">"}},
       ""},
      {"-5 - 5 -x * / + | ^ % &", true,
       {{ParamKind::kNumber, "-5"}, {ParamKind::kArithmetic, "-"}, {ParamKind::kNumber, "5"},
        {ParamKind::kArithmetic, "-"}, {ParamKind::kNumber, "12"}, {ParamKind::kArithmetic, "*"},
        {ParamKind::kArithmetic, "/"}, {ParamKind::kArithmetic, "+"}, {ParamKind::kArithmetic, "|"},
        {ParamKind::kArithmetic, "^"}, {ParamKind::kArithmetic, "%"}, {ParamKind::kArithmetic, "&"}},
       ""},
      {"x word 5abc, ,x", true,
       {{ParamKind::kNumber, "12"}, {ParamKind::kText, "hello world"}, {ParamKind::kText, "5abc"},
        {ParamKind::kNumber, "12"}},
       ""},
      {"x word", false, {{ParamKind::kName, "x"}, {ParamKind::kName, "word"}}, ""},
      {"!abc", true, {{ParamKind::kText, ""}}, "!abc"},
      {"_x", false, {{ParamKind::kName, ""}}, "_x"},
      {"a.b", false, {{ParamKind::kName, "a"}}, ".b"},
      {"\"unclosed", true, {{ParamKind::kText, "unclosed"}}, ""},
      {"\"a\" # note", true, {{ParamKind::kText, "a"}}, "# note"},
      {"1; goto \"x\"", true, {{ParamKind::kNumber, "1"}}, "; goto \"x\""},
      {"   ", true, {{ParamKind::kNothing, ""}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    script::ScriptContext context(kNoCommands);
    context.variables.Set("X", "12");
    context.variables.Set("WORD", "hello world");
    context.run.params = c.params;
    std::vector<Token> tokens;
    for (size_t i = 0; i < c.tokens.size(); ++i) {
      Token token;
      token.kind = script::NextParam(context, token.text, c.resolve);
      tokens.push_back(token);
    }
    EXPECT_EQ(tokens, c.tokens);
    EXPECT_EQ(context.run.params, c.left);
  }
}

TEST(ScriptParams, VariableReferencesAreReplacedWhereTheyStand) {
  struct Case {
    std::string text;
    std::string expanded;
  };
  const std::vector<Case> cases = {
      {"%A%", "1"},
      {"x%A%y and %B%", "x1y and two"},
      {"%%A%", "1"},
      {"%A%%B%", "1two"},
      {"%U% gone", " gone"},
      {"100% sure", "100% sure"},
      {"%A %B%", "%A two"},
      {"%A", "%A"},
      {"%% %A", "%% %A"},
      {"%REF% stays", "%A% stays"},     // a value put in is not scanned again
      {"%B% %B%x", "two twox"},         // each reference at its own place
      {"%a%", "1"},
  };
  script::ScriptContext context(kNoCommands);
  context.variables.Set("A", "1");
  context.variables.Set("B", "two");
  context.variables.Set("REF", "%A%");
  for (const Case& c : cases) {
    std::string text = c.text;
    script::ExpandVariableRefs(context, text);
    EXPECT_EQ(text, c.expanded) << c.text;
  }
  std::string longText = "%L%%L%";
  context.variables.Set("L", std::string(500, 'x'));
  script::ExpandVariableRefs(context, longText);
  EXPECT_EQ(longText, std::string(script::kTextLimit, 'x'));
}

TEST(ScriptParams, NumericTexts) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", false}, {"-", true}, {"5", true}, {"-5", true}, {" 5", true}, {"  5", false},
      {"5 ", false}, {"5a", false}, {"--5", false}, {"+5", false}, {" ", false},
  };
  for (const auto& [text, numeric] : cases) EXPECT_EQ(script::IsNumericText(text), numeric) << text;

  const std::vector<std::pair<std::string, int32_t>> values = {
      {"-", 0}, {"42", 42}, {" -7x", -7}, {"+3", 3}, {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN}, {"4294967297", 1}, {"", 0},
  };
  for (const auto& [text, value] : values) EXPECT_EQ(script::TextToNumber(text), value) << text;
}

TEST(ScriptParams, Comparisons) {
  struct Case {
    const char* left;
    const char* op;
    const char* right;
    bool holds;
  };
  const std::vector<Case> cases = {
      {"10", ">", "9", true},        {"10a", ">", "9", false},       {"abc", "=", "ABC", true},
      {"abc", "@=", "ABC", false},   {"abc", "@>", "ABC", true},     {"2000000000", ">", "-2000000000", true},
      {"-2147483648", "<", "2147483647", true}, {"2147483647", ">", "-2147483648", true},
      {"5", "<=", "5", true},        {"5", ">=", "6", false},        {"5", "<>", "6", true},
      {"5", "==", "5", false},       {"5", "=<", "5", false},        {"5", "><", "6", false},
      {"ab", "<", "abc", true},      {"\xE9", ">", "z", true},       {"", "=", "", true},
      {"-", "=", "0", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(script::CompareValues(c.left, c.op, c.right), c.holds) << c.left << c.op << c.right;
  }
}

}  // namespace
