// Directories, drives, the environment, the system queries, date texts and the print file.
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <climits>
#include <filesystem>
#include <map>
#include <thread>

#include "testsupport/environment_guard.h"
#include "platform/gui/text_printing.h"
#include "platform/system/program_start.h"
#include "script/language/date_time.h"
#include "script/system/print_file.h"
#include "script/tests/script_runner.h"

namespace {

// YYYY-MM-DD.
bool IsIsoDate(const std::string& text) {
  if (text.size() != 10) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 4 || i == 7;
    if (dash ? text[i] != '-' : !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

namespace fs = std::filesystem;

// Puts the current directory back, whatever a script made of it.
class KeepDirectory {
 public:
  KeepDirectory() : saved_(fs::current_path()) {}
  ~KeepDirectory() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

TEST(ScriptDirectoryCommands, MakeEnterTestAndRemoveDirectories) {
  KeepDirectory keep;
  ScriptRunner runner;
  const std::string dir = runner.File("made");
  const ScriptRun run = runner.Run("dirmake m1 '" + dir + "'\ndirmake m2 '" + dir + "'\n"
                                   "direxists e1 '" + dir + "'\ndirexists e2 '" + dir + "/none'\n"
                                   "dirchange c1 '" + dir + "'\ndircurrent now\ndirchange c2 'none'\n"
                                   "dirchange c3 '..'\ndirremove r1 '" + dir + "'\ndirremove r2 '" + dir + "'\n"
                                   "direxists e3 'C:\\'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  const std::map<std::string, std::string> expected = {
      {"M1", "1"}, {"M2", "0"}, {"E1", "1"}, {"E2", "0"}, {"C1", "1"}, {"NOW", dir},
      {"C2", "0"}, {"C3", "1"}, {"R1", "1"}, {"R2", "0"}, {"E3", "1"}};
  for (const auto& [name, value] : expected) EXPECT_EQ(run.Variable(name), value) << name;
  EXPECT_EQ(fs::current_path().string(), runner.File("").substr(0, runner.File("").size() - 1));
}

TEST(ScriptDriveCommands, SpaceStopsAtTheLargestNumber) {
  ScriptRunner runner;
  const ScriptRun run = runner.Run("drivesize s '" + runner.File("") + "'\ndriveavail a '" + runner.File("x") +
                                   "'\ndrivesize n '/no/such/place'\nfilecdrom c 'D:\\'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  struct statvfs facts {};
  ASSERT_EQ(statvfs(runner.File("").c_str(), &facts), 0);
  const auto shown = [](unsigned long long bytes) { return std::to_string(std::min<unsigned long long>(bytes, INT_MAX)); };
  EXPECT_EQ(run.Variable("S"), shown(static_cast<unsigned long long>(facts.f_blocks) * facts.f_frsize));
  EXPECT_GT(std::stoll(run.Variable("A")), 0);
  ASSERT_EQ(statvfs("/", &facts), 0);  // a path not there yet: the file system that would hold it
  EXPECT_EQ(run.Variable("N"), shown(static_cast<unsigned long long>(facts.f_blocks) * facts.f_frsize));
  EXPECT_EQ(run.Variable("C"), "0");
}

TEST(ScriptEnvironmentCommands, SetValuesReachProgramsStartedLater) {
  testsupport::EnvironmentGuard environment;
  environment.Set("VANT_SCRIPT_GONE", "before");
  ScriptRunner runner;
  const std::string marker = runner.File("env.txt");
  const char* bin = std::getenv("VANT_BIN_DIR");
  const ScriptRun run = runner.Run(
      "envset \"vant_script_test\" \"a value\"\nenvset 'vant_script_gone' ''\n"
      "envget v 'Vant_Script_Test'\nenvget g 'VANT_SCRIPT_GONE'\nenvget p 'path'\n"
      "execute r '" + std::string(bin != nullptr ? bin : ".") + "/script_test_helper \"" + marker +
      "\" $VANT_SCRIPT_TEST $VANT_SCRIPT_GONE'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("V"), "a value");
  EXPECT_EQ(run.Variable("G"), "");
  EXPECT_EQ(run.Variable("P"), std::getenv("PATH"));
  ASSERT_TRUE(WaitForFile(marker));
  EXPECT_EQ(runner.Read("env.txt"), "a value\n(unset)\n");
  unsetenv("VANT_SCRIPT_TEST");
}

TEST(ScriptSystemCommands, QueriesOfTheProgramAndTheSystem) {
  ScriptRunner runner;
  const std::string path = runner.Write("ask.ss",
                                        "systemcommandline c\nsystemcurrentscript s\nsystemcurrentexe e\n"
                                        "systemplatform p\nsystemosmajor ma\nsystemcolors co\nsystemmemory me\n"
                                        "systemtimer t1\ndelay 20\nsystemtimer t2\nsystemdatetime d '^Y-^m-^d'\n"
                                        "systemusedirectsound\nsystemdisplayresolution 0\n");
  const ScriptRun run = runner.RunFile(path);
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("C"), "\"" + path + "\"");
  EXPECT_EQ(run.Variable("S"), path);
  EXPECT_EQ(run.Variable("E"), platform::OwnProgramPath());
  EXPECT_EQ(run.Variable("P"), "Win32");
  EXPECT_GT(std::stoi(run.Variable("MA")), 0);
  EXPECT_EQ(run.Variable("CO"), "16777216");  // no screen reports fewer than 24 bits here
  EXPECT_GT(std::stoll(run.Variable("ME")), 0);
  EXPECT_LE(std::stoll(run.Variable("ME")), INT_MAX);
  EXPECT_GE(std::stoll(run.Variable("T1")), 0);
  EXPECT_GE(std::stoll(run.Variable("T2")) - std::stoll(run.Variable("T1")), 20);
  EXPECT_TRUE(IsIsoDate(run.Variable("D"))) << run.Variable("D");
}

TEST(ScriptDateTime, FormatsTheLocalTimeOfTheZone) {
  testsupport::EnvironmentGuard environment;
  struct Case {
    const char* zone;
    std::string format;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"UTC0", "^Y-^m-^d", "2001-09-09"},
      {"EST5", "^Y-^m-^d ^H:^M", "2001-09-08 20:46"},
      {"UTC0", "^A ^B ^p", "Sunday September AM"},
      {"UTC0", "at ^H:^M:^S", "at 01:46:40"},
      {"UTC0", "", ""},
      {"UTC0", std::string(600, '^') + "Y", std::string(300, '%') + "Y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format.substr(0, 20));
    environment.Set("TZ", c.zone);
    EXPECT_EQ(script::FormatDateTime(c.format, 1000000000), c.expected);
  }
  // 300 dates of 24 characters each: cut to the text limit.
  std::string many;
  for (int i = 0; i < 300; ++i) many += "^c";
  EXPECT_EQ(script::FormatDateTime(many, 1000000000).size(), 767u);
}

TEST(ScriptPrintFile, PlainFilesGetTheExactBytesAndTheFirstFileStays) {
  ScriptRunner runner;
  const std::string first = runner.File("first.prn"), second = runner.File("second.prn");
  const ScriptRun run = runner.Run("printend\nprintbegin '" + first + "'\nfilewrite 5000 \"line\"\n"
                                   "printbegin '" + second + "' # comment\nprintpageadv\n"
                                   "filewrite 5000 \"next\"\nprintend ; printend\nprintpageadv\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(runner.Read("first.prn"), "line\r\n\x0Cnext\r\n");
  EXPECT_FALSE(fs::exists(second));
}

TEST(ScriptPrintFile, PrinterPortsSpoolToThePrinterAndLeaveNothingBehind) {
  std::vector<std::string> printed;
  testsupport::EnvironmentGuard environment;
  ScriptRunner runner;
  runner.printer = [&](std::string_view bytes, std::string&) {
    printed.emplace_back(bytes);
    return true;
  };
  fs::create_directory(runner.File("spool"));
  environment.Set("TMPDIR", runner.File("spool").c_str());
  const std::vector<std::string> openers = {"printbegin", "printbegin lpt2", "printbegin 'PRN:'", "printbegin \"\""};
  for (const std::string& opener : openers) {
    SCOPED_TRACE(opener);
    printed.clear();
    // The job of a script that ends without PRINTEND is printed too.
    const ScriptRun run = runner.Run(opener + "\nfilewrite 5000 \"page\"\nprintpageadv\nprintend\n"
                                              "printbegin\nprintpageadv\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(printed, (std::vector<std::string>{"page\r\n\x0C", "\x0C"}));
    EXPECT_TRUE(fs::is_empty(runner.File("spool")));
  }
}

TEST(TextPrinting, PagesAndLinesOfAPrintJob) {
  using Pages = std::vector<platform::PrintPage>;
  struct Case {
    std::string bytes;
    Pages pages;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"a\r\nb\nc\rd", {{"a", "b", "c", "d"}}},
      {"one\r\n\x0Ctwo\r\n\x0C", {{"one"}, {"two"}}},
      {"\x0C\x0C", {{}, {}}},
      {"\r\n\r\nx", {{"", "", "x"}}},
      {"a\tb\tc", {{"a       b       c"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SplitPrintPages(c.bytes), c.pages) << c.bytes;

  ScriptRunner runner;
  const std::string pdf = runner.File("job.pdf");
  std::string error;
  std::string longLine(5000, 'w');
  ASSERT_TRUE(platform::PrintPlainText("first\r\n\x0Csecond\r\n\x0C" + longLine, error, pdf)) << error;
  const std::string bytes = runner.Read("job.pdf");
  size_t pages = 0;
  for (size_t at = bytes.find("/Type /Page\n"); at != std::string::npos; at = bytes.find("/Type /Page\n", at + 1)) ++pages;
  EXPECT_GE(pages, 3u);
}

}  // namespace
