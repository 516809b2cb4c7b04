#include "platform/system/program_help.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Answer {
  std::optional<int> exitCode;
  std::string out, errors;
};

std::string ReadBack(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

Answer Ask(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "vantxw");
  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  Answer answer;
  answer.exitCode = platform::AnswerHelpAndVersion(static_cast<int>(arguments.size()),
                                                   arguments.data(), "vantxw",
                                                   "Syntax:  VantX <In>\r\n/O  - Overwrite.", out,
                                                   errors);
  answer.out = ReadBack(out);
  answer.errors = ReadBack(errors);
  return answer;
}

const std::string kUsage = "Syntax:  VantX <In>\n/O  - Overwrite.\n";

TEST(ProgramHelp, AnswersTheWordsThatBeginWithTwoDashes) {
  const std::string version = std::string("vantxw ") + platform::ToolkitVersion() + "\n";
  const std::string unknown = "vantxw: unknown switch ";
  struct Case {
    std::vector<const char*> arguments;
    std::optional<int> exitCode;
    std::string out, errors;
  } cases[] = {
      // The program's own words are left to it, also those that merely hold dashes.
      {{}, std::nullopt, "", ""},
      {{"/L5/F15", "-x", "a--b", "clip.vnt", "\"--quoted\""}, std::nullopt, "", ""},
      {{"clip.vnt", "--help", "/L"}, 0, kUsage, ""},
      {{"--version"}, 0, version, ""},
      {{"--version", "--help"}, 0, kUsage, ""},
      // Everything else that begins with "--" is an unknown switch, whatever else is asked.
      {{"--help", "--verbose"}, 1, "", unknown + "--verbose\n" + kUsage},
      {{"--"}, 1, "", unknown + "--\n" + kUsage},
      {{"--HELP"}, 1, "", unknown + "--HELP\n" + kUsage},
      {{"--help=all"}, 1, "", unknown + "--help=all\n" + kUsage},
  };
  for (const Case& c : cases) {
    const Answer answer = Ask(c.arguments);
    const std::string words = c.arguments.empty() ? "(none)" : c.arguments[0];
    EXPECT_EQ(answer.exitCode, c.exitCode) << words;
    EXPECT_EQ(answer.out, c.out) << words;
    EXPECT_EQ(answer.errors, c.errors) << words;
  }
  unsigned major = 0, minor = 0, patch = 0;
  int length = 0;
  const std::string given = platform::ToolkitVersion();
  EXPECT_EQ(std::sscanf(given.c_str(), "%u.%u.%u%n", &major, &minor, &patch, &length), 3) << given;
  EXPECT_EQ(static_cast<size_t>(length), given.size()) << given;
}

TEST(ProgramHelp, AnAnswerThatCannotBeWrittenIsAFailure) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  const char* argv[] = {"vantxw", "--help"};
  EXPECT_EQ(platform::AnswerHelpAndVersion(2, argv, "vantxw", "usage", full, stderr), 1);
  const char* version[] = {"vantxw", "--version"};
  EXPECT_EQ(platform::AnswerHelpAndVersion(2, version, "vantxw", "usage", full, stderr), 1);
  std::fclose(full);
}

TEST(ProgramHelp, UsageForTerminal) {
  EXPECT_EQ(platform::UsageForTerminal("a\r\nb\tc\r\n"), "a\nb\tc\n");
  EXPECT_EQ(platform::UsageForTerminal("a\rb"), "a\rb\n");
  EXPECT_EQ(platform::UsageForTerminal(""), "\n");
}

}  // namespace
