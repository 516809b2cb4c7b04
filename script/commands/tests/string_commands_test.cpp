// The STR and VAR commands, and the variable store under them.
#include <gtest/gtest.h>

#include <map>

#include "script/language/variables.h"
#include "script/tests/script_runner.h"

namespace {

struct CommandCase {
  std::string script;
  std::map<std::string, std::string> expected;  // "" for a variable that does not exist
};

void ExpectRuns(const std::vector<CommandCase>& cases) {
  ScriptRunner runner;
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.script);
    const ScriptRun run = runner.Run(c.script + "\n:here\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    for (const auto& [name, value] : c.expected) EXPECT_EQ(run.Variable(name), value) << name;
  }
}

TEST(ScriptStringCommands, ResultsOfTheStrWords) {
  ExpectRuns({
      {"strfind r 1 \"b\" \"ABC\"", {{"R", "2"}}},
      {"strfind r 0 \"b\" \"ABC\"", {{"R", "0"}}},
      {"strfind r 0 \"\" \"ABC\"", {{"R", "1"}}},
      {"strpiece r 2 3 \"abcdef\"", {{"R", "bcd"}}},
      {"strpiece r 5 10 \"abcdef\"", {{"R", "ef"}}},
      {"varset r 1\nstrpiece r 9 1 \"abc\"", {{"R", ""}}},
      {"strpiece r 0 2 \"abc\"", {{"R", "ab"}}},
      {"strpiece r -3 2 \"abc\"", {{"R", "ab"}}},
      {"strpiece r 2 -1 \"abc\"", {{"R", ""}}},
      {"strrepeat r 65 3", {{"R", "AAA"}}},
      {"strrepeat r \"xy\" 2", {{"R", "xx"}}},
      {"strrepeat r \"5\" 2", {{"R", "55"}}},
      {"strrepeat r 321 2", {{"R", "AA"}}},
      {"strrepeat r \"-\" 5000", {{"R", std::string(767, '-')}}},
      {"strrepeat r \"-\" -5", {{"R", ""}}},
      {"strlpadzero r 4 \"7\"", {{"R", "0007"}}},
      {"strlpad r 3 \"a\"", {{"R", "  a"}}},
      {"strrpad r 3 \"a\"", {{"R", "a  "}}},
      {"strrpad r 2 \"abc\"", {{"R", "abc"}}},
      {"strlpad r -4 \"a\"", {{"R", "a"}}},
      {"strrpad r 5000 \"a\"", {{"R", "a" + std::string(766, ' ')}}},
      {"strucase r \"aBc1\"", {{"R", "ABC1"}}},
      {"strlcase r \"aBc1\"", {{"R", "abc1"}}},
      {"strtrim r \"  a b  \"", {{"R", "a b"}}},
      {"strlength r \"abc\"", {{"R", "3"}}},
      {"strisnumeric r \"-12\"\nstrisnumeric s \"1a\"", {{"R", "1"}, {"S", "0"}}},
      {"strislabel r \"HERE\"\nstrislabel s \"there\"", {{"R", "1"}, {"S", "0"}}},
      {"straddbackslash r \"dir\"\nstraddbackslash s \"dir/\"", {{"R", "dir/"}, {"S", "dir/"}}},
      {"varset rest \"one two three\"\nstrfirst first rest \" \"",
       {{"FIRST", "one"}, {"REST", "two three"}}},
      {"varset rest \"a,,b\"\nstrfirst first rest \",\"", {{"FIRST", "a"}, {"REST", ",b"}}},
      {"varset rest \"abc\"\nstrfirst first rest \",;\"", {{"FIRST", "abc"}, {"REST", ""}}},
  });
}

TEST(ScriptStringCommands, VariablesAreSetFreedPushedAndPopped) {
  ExpectRuns({
      {"varset a = 5\nvarset b 5\nvarset c 1\nvarset c \"\"", {{"A", "5"}, {"B", "5"}, {"C", ""}}},
      {"varset a 1\nvarset b 2\nvarset c 3\nvarfree a b # c", {{"A", ""}, {"B", ""}, {"C", "3"}}},
      {"varset x 1\nvarset y 2\nvarpush x y\nvarset x 5\nvarset y 6\nvarpop",
       {{"X", "1"}, {"Y", "2"}}},
      {"varpush z\nvarset z 3\nvarpop", {{"Z", ""}}},
      {"varset x 1\nvarpush x\nvarset x 2\nvarpush x\nvarset x 3\nvarpop\nvarset after x\nvarpop",
       {{"AFTER", "2"}, {"X", "1"}}},
      {"varset x 1\nvarpush x\nvarset x 2\nvarpush\nvarpop\nvarset after x\nvarpop",
       {{"AFTER", "2"}, {"X", "1"}}},
      {"varset x 1\nvarpop\nvarpop # nothing saved", {{"X", "1"}}},
      {"varset x 1\nvarpush x; varset x 2\nvarpop ; varset y x", {{"X", "1"}, {"Y", "1"}}},
  });
}

TEST(ScriptStringCommands, StoreKeepsAnyByteAndItsLimits) {
  script::ScriptVariables variables;
  variables.Set(" a ", std::string("\xFE\xFF\x01", 3));
  variables.Set("B", "\xFF");
  EXPECT_EQ(variables.Get("A"), std::string("\xFE\xFF\x01", 3));
  EXPECT_EQ(variables.Get("b"), "\xFF");
  variables.Set("a", "\xFE");
  EXPECT_EQ(variables.Get("A"), "\xFE");
  EXPECT_EQ(variables.Get("B"), "\xFF");
  EXPECT_EQ(variables.BytesInUse(), 4u + 4u);

  // Names are cut to 255 bytes, values to the text limit.
  variables.Set(std::string(300, 'n'), std::string(900, 'v'));
  EXPECT_EQ(variables.Get(std::string(255, 'N')), std::string(767, 'v'));

  // A new variable or a longer value that would pass the 32768 bytes changes nothing.
  script::ScriptVariables full;
  for (int i = 0; full.BytesInUse() + 800 <= script::ScriptVariables::kCapacity; ++i) {
    full.Set("V" + std::to_string(i), std::string(700, 'x'));
  }
  const size_t used = full.BytesInUse();
  full.Set("LAST", std::string(767, 'y'));
  EXPECT_EQ(full.Get("LAST"), "");
  full.Set("V0", std::string(767, 'z'));
  EXPECT_LE(full.BytesInUse(), script::ScriptVariables::kCapacity);
  full.Set("SMALL", "1");
  EXPECT_EQ(full.Get("SMALL"), "1");
  EXPECT_GT(full.BytesInUse(), used);

  ScriptRunner runner;
  std::string names;
  for (int i = 0; i < 20; ++i) names += " n" + std::to_string(i);
  std::string script;
  for (int i = 0; i < 20; ++i) script += "strrepeat n" + std::to_string(i) + " \"x\" 700\n";
  for (int i = 0; i < 2; ++i) script += "varpush" + names + "\n";
  const ScriptRun overflow = runner.Run(script);
  EXPECT_EQ(overflow.exitCode, 1);
  EXPECT_EQ(overflow.LastBox().rfind(" Variable stack full in command:\r\n    VARPUSH n0", 0), 0u);
}

}  // namespace
