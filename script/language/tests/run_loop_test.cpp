// Scripts written inline and run in this process: the language, its levels and its errors.
#include <gtest/gtest.h>

#include <map>

#include "script/tests/script_runner.h"

namespace {

struct RunCase {
  const char* name;
  std::string script;
  std::map<std::string, std::string> expected;  // variable, value ("" for none)
};

TEST(ScriptRunLoop, ScriptsRunToTheirEnd) {
  const std::vector<RunCase> cases = {
      {"words and labels ignore case",
       "varset a 1\ngoto \"loop\"\nvarset a 2\n:LOOP  # a comment\nVarSet b a\n",
       {{"A", "1"}, {"B", "1"}}},
      {"the later of two labels wins",
       "goto \"l\"\n:l\nvarset x 1\nend\n:L\nvarset x 2\n", {{"X", "2"}}},
      {"a label line keeps its blank after the colon",
       "goto \" x\"\nvarset a 1\n: x\nvarset b 2\n", {{"A", ""}, {"B", "2"}}},
      {"';' chains and a trailing comment",
       "varset a 1; varset b 2 ; varset c 3 # done\n", {{"A", "1"}, {"B", "2"}, {"C", "3"}}},
      {"a comma after the command word", "varset, a 7\n", {{"A", "7"}}},
      {"IF runs the rest of its line only when the comparison holds",
       "if 10 > 9 varset a \"yes\"\nif \"10a\" > \"9\" varset b \"yes\"\n"
       "if \"abc\" = \"ABC\" varset c 1\nif \"abc\" @= \"ABC\" varset d 1\n"
       "if 2000000000 > -2000000000 varset e 1\nif -2147483648 < 2147483647 varset f 1\n"
       "if 1 =< 2 varset g 1\n",
       {{"A", "yes"}, {"B", ""}, {"C", "1"}, {"D", ""}, {"E", "1"}, {"F", "1"}, {"G", ""}}},
      {"IFSET takes one of its two values",
       "ifset 1 = 1 t \"yes\" \"no\"\nifset 1 <> 1 f \"yes\" \"no\"\nifset 1 = 1 g \"\" \"no\"\n",
       {{"T", "yes"}, {"F", "no"}, {"G", ""}}},
      {"INTERPRET runs a quoted line", "varset n 5\ninterpret \"varset z %N%\"\n", {{"Z", "5"}}},
      {"INTERPRET runs a line from a variable", "varset n 5\nvarset c \"varset z %N%\"\ninterpret c\n",
       {{"Z", "5"}}},
      {"GOSUB and RETURN", "gosub \"s\"\nvarset a 1\nend\n:s\nvarset b 2\nreturn\n",
       {{"A", "1"}, {"B", "2"}}},
      {"RETURN without a GOSUB leaves the script", "varset a 1\nreturn\nvarset a 2\n", {{"A", "1"}}},
      {"63 nested GOSUBs fit beside the level's own entry",
       "varset n 0\n:s\ncompute n n + 1\nif n < 64 gosub \"s\"\nvarset done n\n",
       {{"DONE", "64"}}},
      {"only comments and labels", "# nothing\n:here\n\n   # more\n", {}},
      {"EXIT # comment and END # comment", "varset a 1\nexit # bye\nvarset a 2\n", {{"A", "1"}}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptRunner runner;
    const ScriptRun run = runner.Run(c.script);
    EXPECT_EQ(run.exitCode, 0) << run.LastBox();
    for (const auto& [name, value] : c.expected) EXPECT_EQ(run.Variable(name), value) << name;
  }
}

TEST(ScriptRunLoop, CalledScriptsHaveLevelsOfTheirOwn) {
  ScriptRunner runner;
  runner.Write("sub.ss",
               "varset inner 1\nif \"%MODE%\" = \"exit\" exit\nif \"%MODE%\" = \"end\" end\n"
               "if \"%MODE%\" = \"return\" return\nvarset after 1\n"
               ":entry\nvarset entered 1\nstrislabel seen \"top\"\n");
  const std::string sub = runner.File("sub.ss");
  std::string dosName = "D:" + sub;  // a drive word and '\' as scripts from elsewhere write them
  for (char& c : dosName) c = c == '/' ? '\\' : c;
  struct LevelCase {
    const char* mode;
    std::string call;
    std::map<std::string, std::string> expected;
  };
  const std::vector<LevelCase> cases = {
      {"exit", "call \"" + sub + "\"", {{"AFTER", ""}, {"BACK", "1"}}},
      {"return", "call \"" + sub + "\"", {{"AFTER", ""}, {"BACK", "1"}}},
      {"end", "call \"" + sub + "\"", {{"AFTER", ""}, {"BACK", ""}}},
      {"run", "call \"" + sub.substr(0, sub.size() - 3) + "\"; varset chained 1",
       {{"AFTER", "1"}, {"BACK", "1"}, {"CHAINED", "1"}, {"SEEN", "0"}, {"HERE", "1"}}},
      {"run", "call \"" + dosName + "\"", {{"AFTER", "1"}, {"BACK", "1"}}},
      {"run", "callandgosub \"" + sub + "\" \"entry\"",
       {{"AFTER", ""}, {"INNER", ""}, {"ENTERED", "1"}, {"BACK", "1"}}},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.call);
    const ScriptRun run = runner.Run(std::string(":top\nvarset mode \"") + c.mode + "\"\n" + c.call +
                                     "\nvarset back 1\nstrislabel here \"top\"\n");
    EXPECT_EQ(run.exitCode, 0) << run.LastBox();
    for (const auto& [name, value] : c.expected) EXPECT_EQ(run.Variable(name), value) << name;
  }
}

struct ErrorCase {
  const char* name;
  std::string script;
  std::string message;  // the box's text up to the place of the error (of its two leading blanks
                        // the box shows one)
  uint32_t line;
};

TEST(ScriptRunLoop, ErrorsEndTheRunWithTheirPlace) {
  const std::string longLine = "varset a \"" + std::string(760, 'x') + "\"";
  const std::vector<ErrorCase> cases = {
      {"a parameter left over", "varset a 1\nvarset b 2 3\n", "Bad script command:\r\n    VARSET b 2 3\r\n", 2},
      {"an unknown word while compiling", "varset a 1\ngotox \"a\"\n",
       "Bad script command:\r\n    GOTOX \"a\"\r\n", 2},
      {"an unknown word in a chain", "varset a 1; nothing 2\n",
       "Bad script command:\r\n    nothing 2\r\n", 1},
      {"a label that is not there", "\ngoto \"nowhere\"\n", "Label not found:\r\n    NOWHERE\r\n", 2},
      {"labels are cut to 31 characters when looked up",
       "goto \"" + std::string(40, 'a') + "\"\nvarset y 1\n:" + std::string(31, 'A') + "\nvarset z 1 2\n",
       "Bad script command:\r\n    VARSET z 1 2\r\n", 4},
      {"GOSUB at depth 64", "varset n 0\n:s\ncompute n n + 1\ngosub \"s\"\n", "Too many GOSUBs.", 4},
      {"an unknown operator is refused before b", "COMPUTE X = 7 ? 2\n",
       "Unknown operator in command:\r\n    COMPUTE X = 7 ? 2\r\n", 1},
      {"COMPUTE needs a number or '='", "COMPUTE X A + 1\n",
       "Error in compute command:\r\n    COMPUTE X A + 1\r\n", 1},
      {"a quoted number is text", "random x \"5\"\n", "Needed a number in command:\r\n    RANDOM x \"5\"\r\n", 1},
      {"IFSET needs its false value", "IFSET 1 = 1 V \"yes\"\n",
       "Needed a parameter in command:\r\n    IFSET 1 = 1 V \"yes\"\r\n", 1},
      {"a variable is a bare name", "strlength \"a\" 5\n",
       "Needed a variable in command:\r\n    STRLENGTH \"a\" 5\r\n", 1},
      {"GOTO needs a label", "goto \"\"\n", "Needed a non-empty parameter in command:\r\n    GOTO \"\"\r\n", 1},
      {"a script that cannot be opened", "\ncall \"missing\"\n",
       "Error opening script in command:\r\n    CALL \"missing\"\r\n", 2},
      {"an animation that is not open", "varset a 1\nanimationadvance 3000\n",
       "Bad animation parameter:\r\n    ANIMATIONADVANCE 3000\r\n", 2},
      {"a window without a width", "screengraphics ok 0 200\n",
       "Zero dimension in command:\r\n    SCREENGRAPHICS ok 0 200\r\n", 1},
      {"VARLIST needs the window", "varlist\n",
       "A window hasn't been created yet (use ScreenGraphics first).\r\n", 1},
      {"a line longer than 767 bytes", "# one\n\n" + longLine + "\n",
       "Line too long (more than 767 characters).", 3},
      {"a name that starts no token stays behind", "varfree a !b\n",
       "Bad script command:\r\n    VARFREE a !b\r\n", 1},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptRunner runner;
    const ScriptRun run = runner.Run(c.script);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_FALSE(run.boxes.empty());
    EXPECT_EQ(run.boxes.back().caption, "Error");
    EXPECT_EQ(run.boxes.back().icon, platform::DialogIcon::Error);
    EXPECT_EQ(run.LastBox(), " " + c.message + "  In script file: " + runner.File("main.ss") +
                                 "  At line number: " + std::to_string(c.line) + ".\r\n");
  }
}

TEST(ScriptRunLoop, LabelLimitAndCallLevelsCountAgainstTheirTables) {
  ScriptRunner runner;
  std::string labels;
  for (int i = 1; i <= 512; ++i) labels += ":L" + std::to_string(i) + "\n";
  const ScriptRun all = runner.Run("goto \"l512\"\nvarset skipped 1\n" + labels + "varset ok 1\n");
  EXPECT_EQ(all.exitCode, 0);
  EXPECT_EQ(all.Variable("SKIPPED") + all.Variable("OK"), "1");
  const ScriptRun tooMany = runner.Run(labels + ":L513\n");
  EXPECT_EQ(tooMany.exitCode, 1);
  EXPECT_EQ(tooMany.LastBox(), " Too many labels.  In script file: " + runner.File("main.ss") +
                                   "  At line number: 513.\r\n");

  // Each called level takes one entry of the 64: the 64th level cannot call a further one.
  const std::string recurse = runner.File("recurse.ss");
  runner.Write("recurse.ss", "compute n n + 1\ncall \"" + recurse + "\"\n");
  const ScriptRun deep = runner.Run("varset n 0\ncall \"" + recurse + "\"\n");
  EXPECT_EQ(deep.exitCode, 1);
  EXPECT_EQ(deep.Variable("N"), "63");
  EXPECT_EQ(deep.LastBox(), " Too many GOSUBs.  In script file: " + recurse + "  At line number: 2.\r\n");
}

TEST(ScriptRunLoop, TraceFileShowsEveryCommandInItsColumns) {
  ScriptRunner runner;
  const ScriptRun run = runner.Run(
      "debugfile \"" + runner.File("trace.txt") + "\"\n"
      "varset a 5\n"
      "if a = 5 goto \"x\"\n"
      "varset b 1\n"
      ":x\n"
      "varset c 2; varset d 3\n"
      "debugtext \"hello\"\n"
      "gosub \"s\"\n"
      "end\n"
      ":s\n"
      "return\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(runner.Read("trace.txt"),
            "\r\n"
            "  2:     VARSET a 5  ***A=\"5\"\r\n"
            "  3:     IF a = 5 goto \"x\"  ***True \r\n"
            "   -> 3:     goto \"x\"\r\n\r\n"
            "  6:     VARSET c 2; varset d 3  ***C=\"2\"\r\n"
            "   -> 6:     varset d 3  ***D=\"3\"\r\n"
            "  7:     DEBUGTEXT \"hello\"\r\nhello\r\n\r\n"
            "  8:     GOSUB \"s\"\r\n\r\n"
            "    11:    RETURN \r\n\r\n"
            "  9:     END \r\n"
            "\r\n");

  // An error is traced too, without its place; DEBUGFILE "" ends tracing.
  const ScriptRun failed = runner.Run("debugfile \"" + runner.File("error.txt") +
                                      "\"\nvarset q 1\nvarset r 1 2\n");
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(runner.Read("error.txt"),
            "\r\n  2:     VARSET q 1  ***Q=\"1\"\r\n  3:     VARSET r 1 2  ***R=\"1\"\r\n"
            "\r\n  Bad script command:\r\n    VARSET r 1 2\r\n\r\n");
  runner.Run("debugfile \"" + runner.File("off.txt") + "\"\nvarset q 1\ndebugfile \"\"\nvarset r 1\n");
  EXPECT_EQ(runner.Read("off.txt"), "\r\n  2:     VARSET q 1  ***Q=\"1\"\r\n  3:     DEBUGFILE \"\"");
}

}  // namespace
