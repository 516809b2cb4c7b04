#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/request_queue.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "platform/face/dialogs.h"
#include "platform/system/command_text.h"
#include "testsupport/scratch_directory.h"
#include "toolsupport/base/switches.h"
#include "toolsupport/base/text_words.h"

using namespace frontend;
using frontend_testing::FakeStarter;

namespace {

std::string CurrentDirectory() {
  char path[PATH_MAX];
  return getcwd(path, sizeof path) ? path : "";
}

class Launching : public ::testing::Test {
 protected:
  Launching() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = "/opt/vant";
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.notifyTargets.SetMain(1234);
    std::filesystem::create_directories(scratch_.File("page dir"));
  }

  std::vector<std::string> StartTexts() const {
    std::vector<std::string> texts;
    for (const auto& start : starter_.starts) texts.push_back(start.text);
    return texts;
  }

  testsupport::ScratchDirectory scratch_;
  FakeStarter starter_;
  FrontEnd frontEnd_;
};

TEST_F(Launching, ToolWordsMapToTheirProgramsWithTheReportSwitch) {
  struct Case {
    std::string command;
    bool closeAtOnce;
    bool mapped;
    std::string expected;
  } cases[] = {
      {"vantc a.flc b.vnt", false, true, "\"/opt/vant/vantcw\" a.flc b.vnt /#1234"},
      {"VantMix a.vnt b.wav c.vnt /L5", true, true,
       "\"/opt/vant/vantmiw\" a.vnt b.wav c.vnt /L5 /#1234/#"},
      {"/usr/local/bin/vantply.exe x.vnt", false, true, "\"/opt/vant/vantplw\" x.vnt /#1234"},
      {"VANTCW.EXE x", false, true, "\"/opt/vant/vantcw\" x /#1234"},
      {"\"/some dir/TOFLICW6\" y", false, true, "\"/opt/vant/picprw\" y /#1234"},
      {"  towav  ", false, true, "\"/opt/vant/audprw\" /#1234"},
      {"vntinfo f.vnt", false, true, "\"/opt/vant/vntinfow\" f.vnt /#1234"},
      {"vantfr f.vnt /f15", false, true, "\"/opt/vant/vantfrw\" f.vnt /f15 /#1234"},
      {"vntcompi a b", true, true, "\"/opt/vant/vntcompi\" a b /#1234/#"},
      {"notepad x", true, false, "notepad x"},
      {"vantcwx y", false, false, "vantcwx y"},
      {"", false, false, ""},
  };
  for (const Case& c : cases) {
    std::string command = c.command;
    EXPECT_EQ(MapToolCommand(frontEnd_, command, c.closeAtOnce), c.mapped) << c.command;
    EXPECT_EQ(command, c.expected);
  }
  // Also with the console in the program directory the program is named by its full path.
  frontEnd_.settings.command.directory = "/opt/vant";
  std::string beside = "vantc a b";
  ASSERT_TRUE(MapToolCommand(frontEnd_, beside, false));
  EXPECT_EQ(beside, "\"/opt/vant/vantcw\" a b /#1234");
  // A window that takes the reports while it is open is named instead of the main window.
  {
    ScopedNotifyTarget batch(frontEnd_.notifyTargets, 77);
    ScopedNotifyTarget dialog(frontEnd_.notifyTargets, 99);
    frontEnd_.notifyTargets.Remove(77);  // closed out of turn: only its own entry goes
    std::string command = "audpr a b";
    MapToolCommand(frontEnd_, command, false);
    EXPECT_EQ(command, "\"/opt/vant/audprw\" a b /#99");
  }
  EXPECT_EQ(frontEnd_.notifyTargets.Current(), 1234);
}

TEST(LauncherWords, SplittingQuotingAndBatchParameters) {
  struct Split {
    std::string text, first, rest;
  } splits[] = {
      {"  vantc  a b ", "vantc", "a b"},
      {"\"my tool\" x", "\"my tool\"", "x"},
      {"\"unclosed x", "\"unclosed x", ""},
      {"word", "word", ""},
      {"", "", ""},
  };
  for (const Split& s : splits) {
    EXPECT_EQ(SplitFirstWord(s.text), std::make_pair(s.first, s.rest)) << s.text;
  }
  struct Quote {
    std::string name, directory, expected;
  } quotes[] = {
      {"/home/ann/clip.flc", "/home/ann", "\"clip.flc\""},
      {"/home/ann/clip.flc", "/home/ann/", "\"clip.flc\""},
      {"/home/Ann/clip.flc", "/home/ann", "\"/home/Ann/clip.flc\""},  // names keep their case
      {"/home/ann/my clip.flc", "/tmp", "\"/home/ann/my clip.flc\""},
      {" frame???.bmp*5-12 ", "/tmp", "\"frame???.bmp*5-12\""},
      {"", "/tmp", ""},
  };
  for (const Quote& q : quotes) EXPECT_EQ(QuoteRelativeName(q.name, q.directory), q.expected);
  struct Expand {
    std::string command, parameters, expected;
  } expands[] = {
      {"audpr %1 %2", "in.wav out.wav", "audpr in.wav out.wav"},
      {"x %1 %2", "%2 y", "x %2 y"},  // one pass: what was put in stays
      {"x %10", "one", "x one0"},
      {"x %3 %9 %", "a b", "x   %"},
      {"x %1", "\"two words\" b", "x \"two words\""},
  };
  for (const Expand& e : expands) EXPECT_EQ(ExpandBatchParams(e.command, e.parameters), e.expected);
}

TEST_F(Launching, RunCommandStartsOnlyWhatItShouldAndSaysWhenAStartFailed) {
  struct Case {
    std::string name;
    std::string command;
    CommandOrigin origin;
    bool shift;
    bool startWorks;
    std::vector<std::string> started;
    bool toolStarted;
    std::string lastLines;  // what the console ends with (before the prompt)
  } cases[] = {
      {"typed tool", "vantmix a.vnt b.wav c.vnt /L5", CommandOrigin::Typed, false, true,
       {"\"/opt/vant/vantmiw\" a.vnt b.wav c.vnt /L5 /#1234/#"}, true,
       "vantmix a.vnt b.wav c.vnt /L5"},
      {"page tool", "VantC \"a.bmp\" \"b.vnt\"", CommandOrigin::Page, false, true,
       {"\"/opt/vant/vantcw\" \"a.bmp\" \"b.vnt\" /#1234"}, true, "VantC \"a.bmp\" \"b.vnt\""},
      {"other program", "ls -l", CommandOrigin::Typed, false, true, {"ls -l"}, false, "ls -l"},
      {"failed start", "vantc x", CommandOrigin::Typed, false, false,
       {"\"/opt/vant/vantcw\" x /#1234/#"}, false, "vantc x\n  Command not found."},
      {"shift typed", "vantc x", CommandOrigin::Typed, true, true, {}, false, "Rem vantc x"},
      {"shift page", "vantc x", CommandOrigin::Page, true, true, {}, false, "Rem vantc x"},
      {"shift batch", "vantc x", CommandOrigin::Batch, true, true, {"\"/opt/vant/vantcw\" x /#1234/#"},
       true, "vantc x"},
      {"shift start-up", "vantc x", CommandOrigin::StartUp, true, true,
       {"\"/opt/vant/vantcw\" x /#1234"}, true, "vantc x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    starter_.starts.clear();
    starter_.succeed = c.startWorks;
    frontEnd_.settings.recentCommands.clear();
    frontEnd_.console.Clear();
    frontEnd_.ShowPrompt();
    frontEnd_.shiftHeld = [&c] { return c.shift; };
    const std::string before = CurrentDirectory();

    const RunOutcome outcome = RunCommand(frontEnd_, "", c.command, c.origin);

    EXPECT_EQ(StartTexts(), c.started);
    EXPECT_EQ(outcome.toolStarted, c.toolStarted);
    EXPECT_EQ(outcome.processId != 0, c.startWorks && !c.started.empty());
    EXPECT_EQ(CurrentDirectory(), before);
    for (const auto& start : starter_.starts) {
      EXPECT_EQ(start.directory, scratch_.path());
      EXPECT_EQ(start.currentDirectory, scratch_.path());  // the console directory meanwhile
    }
    const auto& lines = frontEnd_.console.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), frontEnd_.Prompt());
    std::string tail;
    for (size_t i = 0; i + 1 < lines.size(); ++i) tail += (i ? "\n" : "") + lines[i];
    EXPECT_EQ(tail, frontEnd_.Prompt() + c.lastLines);
    EXPECT_EQ(frontEnd_.settings.recentCommands.empty(), c.origin == CommandOrigin::Batch);
  }
}

TEST_F(Launching, ACommandForAnotherDirectoryMovesTheConsoleThereFirst) {
  const std::string page = scratch_.File("page dir");
  frontEnd_.ShowPrompt();
  RunCommand(frontEnd_, page + "/", "audpr \"in.wav\" \"out.wav\"");
  ASSERT_EQ(starter_.starts.size(), 1u);
  EXPECT_EQ(starter_.starts[0].directory, page);
  EXPECT_EQ(frontEnd_.ConsoleDirectory(), page);
  EXPECT_EQ(frontEnd_.settings.recentDirs, std::vector<std::string>{page});
  const auto& lines = frontEnd_.console.lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], scratch_.path() + "> CD " + page);
  EXPECT_EQ(lines[1], page + "> audpr \"in.wav\" \"out.wav\"");
  EXPECT_EQ(lines[2], page + "> ");

  // A drive word names the root.
  RunCommand(frontEnd_, "", "C:");
  EXPECT_EQ(frontEnd_.ConsoleDirectory(), "/");
  frontEnd_.settings.command.directory = page;
  frontEnd_.console.Clear();
  frontEnd_.ShowPrompt();
  // A directory that is not there: the console stays and says so.
  RunCommand(frontEnd_, scratch_.File("missing"), "cd ..");
  EXPECT_EQ(frontEnd_.ConsoleDirectory(), scratch_.path());
  EXPECT_EQ(frontEnd_.console.lines().at(1), "  Directory not found.");
  EXPECT_EQ(starter_.starts.size(), 1u);  // "cd .." is built in
}

TEST_F(Launching, FilesOpenWithWhatSuitsTheirType) {
  const std::string dir = scratch_.File("page dir");
  std::vector<std::string> viewed;
  frontEnd_.viewImageFile = [&viewed](const std::string& file) {
    viewed.push_back(file);
    return file.size() > 4 && file.substr(file.size() - 4) == ".bmp";
  };
  struct Case {
    std::string file;
    std::string started;  // empty: nothing started
    bool refresh;
  } cases[] = {
      {dir + "/clip.VNT", "\"/opt/vant/vantplw\" \"clip.VNT\" /#1234", false},
      {dir + "/list.lst", "ListEdit \"list.lst\"", true},
      {dir + "/intro.exe", "\"" + dir + "/intro.exe\"", true},
      {dir + "/picture.bmp", "", false},
      {dir + "/notes.txt", "xdg-open \"notes.txt\"", false},
  };
  for (const Case& c : cases) {
    starter_.starts.clear();
    while (frontEnd_.requests.Take()) {
    }
    OpenFileByType(frontEnd_, c.file);
    EXPECT_EQ(StartTexts(), c.started.empty() ? std::vector<std::string>{}
                                               : std::vector<std::string>{c.started})
        << c.file;
    EXPECT_EQ(frontEnd_.requests.Take() == kRequestRefreshFiles, c.refresh) << c.file;
  }
  EXPECT_EQ(viewed, (std::vector<std::string>{dir + "/picture.bmp", dir + "/notes.txt"}));
}

TEST_F(Launching, APermanentFrameRateIsCheckedAndConfirmedFirst) {
  platform::ScriptedDialogs dialogs;
  SetPermanentFrameRate(frontEnd_, "", "15");
  SetPermanentFrameRate(frontEnd_, "x.vnt", "abc");
  SetPermanentFrameRate(frontEnd_, "x.vnt", "0");
  SetPermanentFrameRate(frontEnd_, "x.vnt", "15");  // the default answer is No
  EXPECT_TRUE(starter_.starts.empty());
  dialogs.Answer(platform::DialogAnswer::Yes);
  SetPermanentFrameRate(frontEnd_, "x.vnt", "-2000");
  EXPECT_EQ(StartTexts(), std::vector<std::string>{"\"/opt/vant/vantfrw\" \"x.vnt\" /f-2000 /#1234"});
  ASSERT_EQ(dialogs.asked().size(), 5u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error, no file is highlighted.");
  EXPECT_EQ(dialogs.asked()[1].text, "Error, a frame rate number must be entered.");
  EXPECT_EQ(dialogs.asked()[2].text, "Error, a frame rate number must be entered.");
  EXPECT_EQ(dialogs.asked()[3].text, "Are you sure you want to change the frame rate permanently?");
  EXPECT_EQ(dialogs.asked()[3].defaultAnswer, platform::DialogAnswer::No);
}

// A page's button that starts a program the toolkit does not deliver: the console says
// "  Command not found." and a box on the page says so too; a start that works asks nothing.
TEST_F(Launching, AProgramAPageCannotStartIsReportedOnThePageAndOnTheConsole) {
  const struct {
    const char* name;
    bool startWorks;
    std::function<void(FrontEnd&)> press;
    std::string box;
  } cases[] = {
      {"system information started", true, [](FrontEnd& fe) { RunProgramForPage(fe, "", "KdxSIW"); }, ""},
      {"system information missing", false, [](FrontEnd& fe) { RunProgramForPage(fe, "", "KdxSIW"); },
       "Error, the program KdxSIW could not be started: No such file or directory."},
      {"frame rate changer missing", false, [](FrontEnd& fe) { SetPermanentFrameRate(fe, "x.vnt", "15"); },
       "Error, the program VantFR could not be started: No such file or directory."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::ScriptedDialogs dialogs;
    dialogs.Answer(platform::DialogAnswer::Yes);
    starter_.succeed = c.startWorks;
    frontEnd_.console.Clear();
    c.press(frontEnd_);
    std::vector<std::string> boxes;
    for (const auto& asked : dialogs.asked()) {
      if (asked.text.rfind("Error", 0) == 0) boxes.push_back(asked.text);
    }
    EXPECT_EQ(boxes, c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box});
    const auto& lines = frontEnd_.console.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2] == "  Command not found.", !c.startWorks);
  }
}

// A page's command text through the launcher, the split into arguments, the tool's rebuilt
// command text and its switch readers gives back every name and switch.
TEST_F(Launching, CommandTextsSurviveTheWayIntoTheTool) {
  const std::string dir = scratch_.File("page dir");
  const std::string output = dir + "/my videos out.vnt";
  frontEnd_.settings.main.directory = "/opt/vant tools";
  struct Case {
    std::string command;
    std::vector<std::string> names;
  } cases[] = {
      {"VantC " + QuoteRelativeName(dir + "/frame???.bmp*5-12", dir) + " " +
           QuoteRelativeName(output, "/elsewhere") +
           " /N240000/K-475/A95/@\"*/tmp/x\"/L0 /R22050/&\"my pal.bmp\"/O",
       {"frame???.bmp*5-12", output}},
      {"VntCompi \"/opt/vant tools/vantplw\" \"INTRO.exe\" \"/L /F10\" \"INTRO.VNT\"",
       {"/opt/vant tools/vantplw", "INTRO.exe", "/L /F10", "INTRO.VNT"}},
      {"AudPrW \"/srv/sound/in put.wav\" \"sub/dir/out.wav\" /B16/C1", {"/srv/sound/in put.wav", "sub/dir/out.wav"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    std::string command = c.command;
    ASSERT_TRUE(MapToolCommand(frontEnd_, command, true));
    const std::vector<std::string> words = platform::SplitCommandWords(command);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words[0].rfind("/opt/vant tools/", 0), 0u);
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    std::string text = platform::BuildCommandText(static_cast<int>(argv.size()), argv.data());

    EXPECT_EQ(GetNumberSwitch(0, '#', text), 1234);
    EXPECT_TRUE(GetFlagSwitch('#', text));
    if (c.command.rfind("VantC", 0) == 0) {
      std::string hints, palette;
      EXPECT_TRUE(GetTextSwitch("", hints, '@', text));
      EXPECT_EQ(hints, "*/tmp/x");
      EXPECT_TRUE(GetTextSwitch("", palette, '&', text));
      EXPECT_EQ(palette, "my pal.bmp");
      EXPECT_EQ(GetNumberSwitch(0, 'N', text), 240000);
      EXPECT_EQ(GetNumberSwitch(0, 'K', text), -475);
      EXPECT_EQ(GetNumberSwitch(0, 'A', text), 95);
      EXPECT_EQ(GetNumberSwitch(-1, 'L', text), 0);
      EXPECT_EQ(GetNumberSwitch(0, 'R', text), 22050);
      EXPECT_TRUE(GetFlagSwitch('O', text));
    } else if (c.command.rfind("AudPrW", 0) == 0) {
      EXPECT_EQ(GetNumberSwitch(0, 'B', text), 16);
      EXPECT_EQ(GetNumberSwitch(0, 'C', text), 1);
    }
    EXPECT_FALSE(SwitchLeftOver(text)) << text;
    std::vector<std::string> names;
    for (std::string name = TakeArgument(text); !name.empty(); name = TakeArgument(text)) {
      names.push_back(name);
    }
    EXPECT_EQ(names, c.names);
  }
}

}  // namespace
