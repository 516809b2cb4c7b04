// The file commands on real files in a scratch directory: slots, lines, searches, copies,
// renames, deletes, names and their pieces.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "script/system/file_workers.h"
#include "script/tests/script_runner.h"

namespace {

namespace fs = std::filesystem;

// The script with every "@" replaced by the scratch directory.
std::string In(const ScriptRunner& runner, std::string script) {
  const std::string dir = runner.File("");
  for (size_t at = script.find('@'); at != std::string::npos; at = script.find('@', at + dir.size())) {
    script.replace(at, 1, dir);
  }
  return script;
}

ScriptRun RunIn(const ScriptRunner& runner, const std::string& script) { return runner.Run(In(runner, script)); }

TEST(ScriptFileCommands, SlotsLinesAndTheEndOfAFile) {
  ScriptRunner runner;
  runner.Write("lines.txt", "a\r\n\r\nb\n" + std::string(300, 'x') + "\n");
  const ScriptRun run = RunIn(runner,
                              "fileappend f '@log.txt'\nfilewrite f \"one\"\nfileclose f\n"
                              "fileappend g '@log.txt'\nfilewrite g \"two\"\nvarset gs g\nfileclose g\n"
                              "fileopen h '@lines.txt'\nfileread l1 h\nfileread l2 h\nfileeof e2 h\n"
                              "fileread l3 h\nfileread l4 h\nfileread l5 h\nfileeof e5 h\nfileread l6 h\n"
                              "filesize s1 '@lines.txt'\nfilesize s2 h\nfilesize s3 '@none'\nfilesize s4 '@'\n"
                              "filecreate k '@new.txt'\nfilewrite k \"12345\"\nfilesize s5 k\n"
                              "fileexists x1 '@lines.txt'\nfileexists x2 '@none'\nfileexists x3 '@'\n"
                              "fileopen m '@none'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(runner.Read("log.txt"), "one\r\ntwo\r\n");
  const std::map<std::string, std::string> expected = {
      {"G", ""},    {"GS", "5000"}, {"H", "5000"},  {"L1", "a"},  {"L2", ""},  {"E2", "0"},
      {"L3", "b"},  {"L4", std::string(255, 'x')},  {"L5", std::string(45, 'x')},
      {"E5", "1"},  {"L6", ""},     {"S1", "308"},  {"S2", "308"}, {"S3", "0"}, {"S4", "0"},
      {"S5", "7"},  {"X1", "1"},    {"X2", "0"},    {"X3", "0"},  {"M", "0"}};
  for (const auto& [name, value] : expected) EXPECT_EQ(run.Variable(name), value) << name;
}

TEST(ScriptFileCommands, ClosingTheTraceOrPrintSlotEndsTracingOrPrinting) {
  for (const std::string opener : {"debugfile '@first.txt'", "printbegin '@first.txt'"}) {
    SCOPED_TRACE(opener);
    ScriptRunner runner;
    // The closed slot is the next file's; nothing of the trace or the print job may reach it.
    const ScriptRun run = RunIn(runner, opener + "\nvarset f 5000\nfileclose f\nfilecreate g '@second.txt'\n"
                                        "filewrite g \"mine\"\nprintpageadv\ndebugtext \"trace\"\nvarset z 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.Variable("G"), "5000");
    EXPECT_EQ(runner.Read("second.txt"), "mine\r\n");
    EXPECT_FALSE(run.context->Tracing());
    EXPECT_FALSE(run.context->system.print.Active());
  }
}

// A created file takes its name when it is closed: until then an old file of that name stays whole,
// and a write that fails ends the run saying why.
TEST(ScriptFileCommands, ACreatedFileReplacesTheOldOneOnlyWhenClosed) {
  ScriptRunner runner;
  runner.Write("notes.txt", "old");
  const ScriptRun run = RunIn(runner, "filecreate f '@notes.txt'\nfilewrite f \"new\"\nfileexists before '@notes.txt'\n"
                                      "filesize old '@notes.txt'\nfileclose f\nfilesize new '@notes.txt'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("OLD"), "3");
  EXPECT_EQ(run.Variable("NEW"), "5");
  EXPECT_EQ(runner.Read("notes.txt"), "new\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(runner.File("")), {}), 2) << "a temporary file stayed";

  // A full disk: the write that fills the slot's buffer fails at once, a smaller one at the close.
  const std::string line = "filewrite f \"" + std::string(100, 'x') + "\"\n";
  for (const std::string& writes : {"varset n 0\n:again\n" + line + "compute n n + 1\nif n < 50 goto \"again\"\n", line}) {
    const ScriptRun full = runner.Run("filecreate f '/dev/full'\n" + writes + "fileclose f\nvarset closed 1\n");
    EXPECT_EQ(full.Variable("CLOSED"), "");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.LastBox().find("Error writing:\r\n    /dev/full: No space left on device"), std::string::npos)
        << full.LastBox();
  }
}

TEST(ScriptFileCommands, BadFileNumbersEndTheScript) {
  ScriptRunner runner;
  for (const std::string line : {"fileread l 5063", "filewrite 4999 \"x\"", "varset f 3\nfileclose f",
                                 "fileeof e -2147483648", "fileread l \"5000\""}) {
    SCOPED_TRACE(line);
    const ScriptRun run = runner.Run(line + "\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.LastBox().find("Bad file parameter") != std::string::npos ||
                run.LastBox().find("Needed a number") != std::string::npos)
        << run.LastBox();
  }
}

TEST(ScriptFileCommands, FindListsMatchesWithTheirDirectoryInOneOrder) {
  ScriptRunner runner;
  for (const char* name : {"b.TXT", "a.txt", "C.txt", "noext", ".hidden"}) runner.Write(name, "x");
  fs::create_directory(runner.File("sub"));
  runner.Write("sub/in.txt", "x");
  struct Case {
    std::string pattern;
    std::vector<std::string> matches;
  };
  const std::vector<Case> cases = {
      {"@*.txt", {"@a.txt", "@b.TXT", "@C.txt"}},
      {"@*.*", {"@.hidden", "@a.txt", "@b.TXT", "@C.txt", "@main.ss", "@noext", "@sub"}},
      {"@NOEXT", {"@noext"}},
      {"@sub", {"@sub/in.txt"}},
      {"@nothing.*", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    std::string script = "filefind m0 '" + c.pattern + "'\n";
    for (size_t i = 1; i <= c.matches.size(); ++i) script += "filefindnext m" + std::to_string(i) + "\n";
    const ScriptRun run = RunIn(runner, script);
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    for (size_t i = 0; i < c.matches.size(); ++i) EXPECT_EQ(run.Variable("M" + std::to_string(i)), In(runner, c.matches[i]));
    EXPECT_EQ(run.Variable("M" + std::to_string(c.matches.size())), "");
  }
}

TEST(ScriptFileCommands, CopyRenameAndDeleteByWildcard) {
  ScriptRunner runner;
  runner.Write("one.txt", "1");
  runner.Write("two.txt", "22");
  runner.Write("keep.dat", "k");
  fs::create_directory(runner.File("into"));
  const timespec times[2] = {{1000000000, 0}, {1200000000, 500000000}};
  ASSERT_EQ(utimensat(AT_FDCWD, runner.File("one.txt").c_str(), times, 0), 0);
  const ScriptRun run = RunIn(runner,
                              "filecopy c1 '@*.txt' '@into'\nfilecopy c2 '@*.txt' '@*.bak'\n"
                              "filecopy c3 '@into\\one.txt' '@into/copy.txt'\n"
                              "filerename r1 '@two.bak' '@one.bak'\nfilerename r2 '@two.bak' '@moved.bak'\n"
                              "filedelete d1 '@*.tmp'\nfiledelete d2 '@two.*'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  const std::map<std::string, std::string> results = {{"C1", "1"}, {"C2", "1"}, {"C3", "1"}, {"R1", "0"},
                                                      {"R2", "1"}, {"D1", "1"}, {"D2", "1"}};
  for (const auto& [name, value] : results) EXPECT_EQ(run.Variable(name), value) << name;
  // Before anything reads the copy again.
  struct stat copied {};
  ASSERT_EQ(stat(runner.File("into/copy.txt").c_str(), &copied), 0);
  EXPECT_EQ(copied.st_mtim.tv_sec, 1200000000);
  EXPECT_EQ(copied.st_mtim.tv_nsec, 500000000);
  EXPECT_EQ(copied.st_atim.tv_sec, 1000000000);
  EXPECT_EQ(runner.Read("into/one.txt"), "1");
  EXPECT_EQ(runner.Read("into/two.txt"), "22");
  EXPECT_EQ(runner.Read("into/copy.txt"), "1");
  EXPECT_FALSE(fs::exists(runner.File("into/keep.dat")));
  EXPECT_EQ(runner.Read("one.bak"), "1");  // the rename onto it was refused
  EXPECT_EQ(runner.Read("moved.bak"), "22");
  EXPECT_FALSE(fs::exists(runner.File("two.bak")));
  EXPECT_FALSE(fs::exists(runner.File("two.txt")));
  EXPECT_TRUE(fs::exists(runner.File("one.txt")));
}

TEST(ScriptFileCommands, CopyOntoItselfUnderAnotherNameIsRefusedUntouched) {
  ScriptRunner runner;
  runner.Write("self.txt", "contents");
  fs::create_symlink(runner.File("self.txt"), runner.File("alias.txt"));
  const std::string relative = fs::relative(runner.File("self.txt")).string();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"@self.txt", "@alias.txt"}, {"@alias.txt", "@self.txt"}, {"@self.txt", "@./self.txt"},
      {relative, "@self.txt"},     {"@self.txt", relative},     {"@self.txt", "@"},
  };
  for (const auto& [source, target] : cases) {
    SCOPED_TRACE(source + " onto " + target);
    const ScriptRun run = RunIn(runner, "filecopy r '" + source + "' '" + target + "'\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.Variable("R"), "0");
    EXPECT_EQ(runner.Read("self.txt"), "contents");
  }
}

TEST(ScriptFileCommands, PathsAndTheirPieces) {
  ScriptRunner runner;
  fs::create_directory(runner.File("d"));
  struct Case {
    std::string command;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"filepieces v 0 0 1 1 'c:\\x\\y.txt'", "y.txt"},
      {"filepieces v 1 1 0 0 'c:\\x\\y.txt'", "/x/"},
      {"filepieces v 0 0 1 0 '/x/y.tar.gz'", "y.tar"},
      {"filepieces v 0 0 0 1 '/x/y.tar.gz'", ".gz"},
      {"filepieces v 0 0 1 1 '/x/.profile'", ".profile"},
      {"filepieces v 0 1 1 1 '@d'", "@d/*.*"},
      {"filefullpath v '/a/./b/../c.txt'", "/a/c.txt"},
      {"filefullpath v 'D:\\dir\\f.txt'", "/dir/f.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const ScriptRun run = RunIn(runner, c.command + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.Variable("V"), In(runner, c.expected));
  }
  const ScriptRun temp = RunIn(runner, "filetemp t '@report.txt'\nfilegetattrib a '@d'\nfilegetattrib n '@none'\n");
  ASSERT_EQ(temp.exitCode, 0) << temp.LastBox();
  const std::string name = temp.Variable("T");
  EXPECT_EQ(name.substr(0, name.size() - 6), runner.File("rep"));
  EXPECT_FALSE(fs::exists(name));
  EXPECT_EQ(temp.Variable("A"), "16");
  EXPECT_EQ(temp.Variable("N"), "0");
}

}  // namespace
