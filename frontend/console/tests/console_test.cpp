#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "frontend/analysis/analysis_window.h"
#include "frontend/analysis/tests/analysis_files.h"
#include "frontend/console/console_commands.h"
#include "frontend/console/tests/console_fixture.h"
#include "frontend/files/file_finder.h"
#include "platform/face/dialogs.h"
#include "platform/system/dos_attributes.h"
#include "testsupport/file_contents.h"

using namespace frontend;
using frontend_testing::Write;
using Lines = std::vector<std::string>;

namespace {

class Commands : public frontend_testing::ConsoleTest {};

TEST_F(Commands, DispatchByWordAndRunTogetherForms) {
  std::filesystem::create_directories(Path("sub"));
  Write(Path("mine.sbt"), "rem\n");
  Write(Path("program/other.sbt"), "rem\n");
  platform::ScriptedDialogs dialogs;
  std::vector<std::pair<std::string, std::string>> batches;
  frontEnd_.dialogs.runBatchFile = [&](const std::string& file, const std::string& parameters) {
    batches.emplace_back(file, parameters);
  };
  struct Case {
    std::string command;
    bool notBuiltIn;
    Lines lines;
    std::string directoryAfter;
  } cases[] = {
      {"@cd sub", false, {"CD sub"}, Path("sub")},
      {"cd..", false, {"CD .."}, scratch_.path()},
      {"cd", false, {""}, scratch_.path()},
      {"CD \"sub\"", false, {"CD sub"}, Path("sub")},
      {"chdir ../nowhere", false, {"CD ../nowhere", "  Directory not found."}, Path("sub")},
      {"cd/", false, {"CD /"}, "/"},
      {"cd " + scratch_.path(), false, {"CD " + scratch_.path()}, scratch_.path()},
      {"md.", false, {"MD .", "  Could not make ."}, scratch_.path()},
      {"md \"new dir\"", false, {"MD new dir", "  new dir was made."}, scratch_.path()},
      {"RD new dir", false, {"RD new dir", "  new dir was removed."}, scratch_.path()},
      {"md", false, {"MD - error, no directory name given."}, scratch_.path()},
      {"cdrom x", true, {""}, scratch_.path()},
      {"vantc a.flc b.vnt", true, {""}, scratch_.path()},
      {"Echo  hello there", false, {"Echo  hello there"}, scratch_.path()},
      {"mine one \"two words\"", false, {""}, scratch_.path()},
      {"other", false, {""}, scratch_.path()},
      {"OTHER.sbt", true, {""}, scratch_.path()},
      {"sub/other", true, {""}, scratch_.path()},
      {"*.sbt", true, {""}, scratch_.path()},
      {"listedit x.lst", false, {"listedit x.lst", "  The list editor is not available."}, scratch_.path()},
  };
  for (const Case& c : cases) {
    bool notBuiltIn = false;
    EXPECT_EQ(Run(c.command, &notBuiltIn), c.lines) << c.command;
    EXPECT_EQ(notBuiltIn, c.notBuiltIn) << c.command;
    EXPECT_EQ(frontEnd_.ConsoleDirectory(), c.directoryAfter) << c.command;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("new dir")));
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[0], std::pair(Path("mine.sbt"), std::string("one \"two words\"")));
  EXPECT_EQ(batches[1], std::pair(Path("program/other.sbt"), std::string()));
}

TEST_F(Commands, VnttuneOpensTheAnalysisWindowOnAVideoOfTheConsoleDirectory) {
  frontend::testing::WriteAnalysisFile(Path("Clip.vnt"), -6667, {4000, 1200, 1300});
  platform::ScriptedDialogs dialogs;
  EXPECT_EQ(Run("vnttune Clip"), Lines{"vnttune Clip"});
  ASSERT_NE(Analysis().window(), nullptr);
  EXPECT_EQ(Analysis().window()->FileName(), Path("Clip.vnt"));
  EXPECT_TRUE(dialogs.asked().empty());
  Run("VNTTUNE \"no such.vnt\"");
  EXPECT_EQ(Analysis().window(), nullptr);  // closed when the file does not load
  EXPECT_EQ(dialogs.asked().size(), 1u);
  Analysis().Close();
}

TEST_F(Commands, DeleteAsksForEachFileAndCancelEndsTheRun) {
  for (const char* name : {"a.txt", "b.txt", "c.txt", ".hidden.txt", "d.txt/inner"}) Write(Path(name), "1234");
  platform::ScriptedDialogs dialogs;
  dialogs.Answer(platform::DialogAnswer::Yes);
  dialogs.Answer(platform::DialogAnswer::No);
  dialogs.Answer(platform::DialogAnswer::Cancel);
  EXPECT_EQ(Run("del *.TXT"), (Lines{"Del *.TXT", "  a.txt was deleted.", "  1 file(s) deleted.  4 bytes freed."}));
  ASSERT_EQ(dialogs.asked().size(), 3u);
  EXPECT_EQ(dialogs.asked()[1].text, "Delete the file: b.txt ?");
  EXPECT_EQ(dialogs.asked()[1].defaultAnswer, platform::DialogAnswer::No);
  EXPECT_FALSE(std::filesystem::exists(Path("a.txt")));
  for (const char* kept : {"b.txt", "c.txt", ".hidden.txt", "d.txt/inner"}) EXPECT_TRUE(std::filesystem::exists(Path(kept)));

  dialogs.Answer(platform::DialogAnswer::Yes);
  EXPECT_EQ(Run("erase \".hidden.txt\""),
            (Lines{"Del .hidden.txt", "  .hidden.txt was deleted.", "  1 file(s) deleted.  4 bytes freed."}));
  EXPECT_EQ(Run("del"), Lines{"Del - error, no file name given."});
  // Off the Command tab a failure is also shown in a box.
  EXPECT_EQ(Run("del gone.txt"), (Lines{"Del gone.txt", "  Could not delete gone.txt", "  0 file(s) deleted.  0 bytes freed."}));
  EXPECT_EQ(dialogs.asked().back().text, "Error, Could not delete gone.txt");
}

TEST_F(Commands, CopyAndRenameWithWildcardTargetsNeverReplaceOnRename) {
  Write(Path("a.txt"), "A");
  Write(Path("b.txt"), "BB");
  Write(Path("keep.bak"), "K");
  std::filesystem::create_directories(Path("sub"));
  platform::ScriptedDialogs dialogs;
  EXPECT_EQ(Run("copy *.txt *.bak"),
            (Lines{"Copy *.txt *.bak", "  Copied a.txt to a.bak", "  Copied b.txt to b.bak",
                   "  2 file(s) copied.  3 bytes copied."}));
  EXPECT_EQ(testsupport::ReadFileText(Path("b.bak")), "BB");
  EXPECT_EQ(Run("ren a.bak keep.bak"),
            (Lines{"Ren a.bak keep.bak", "  Could not rename a.bak: File exists", "  0 file(s) renamed."}));
  EXPECT_EQ(testsupport::ReadFileText(Path("keep.bak")), "K");
  EXPECT_EQ(testsupport::ReadFileText(Path("a.bak")), "A");
  EXPECT_EQ(Run("rename *.bak *.old").back(), "  3 file(s) renamed.");
  EXPECT_EQ(testsupport::ReadFileText(Path("keep.old")), "K");
  EXPECT_EQ(Run("move b.old sub"), (Lines{"Ren b.old sub", "  Renamed b.old to sub/b.old", "  1 file(s) renamed."}));
  EXPECT_EQ(Run("copy sub/b.old"), (Lines{"Copy sub/b.old", "  Copied sub/b.old to b.old", "  1 file(s) copied.  2 bytes copied."}));
  EXPECT_EQ(Run("copy a.txt"), (Lines{"Copy a.txt", "  Could not copy a.txt", "  0 file(s) copied.  0 bytes copied."}));
  ASSERT_GE(dialogs.asked().size(), 2u);
  EXPECT_EQ(dialogs.asked()[dialogs.asked().size() - 2].text, "Error, cannot copy a file onto itself.");
  EXPECT_EQ(Run("ren only"), Lines{"Ren - error, must give input and output names."});
  EXPECT_EQ(Run("copy"), Lines{"Copy - error, must give an input name."});
}

TEST_F(Commands, RenamedDirectoriesMoveWhatIsRememberedByWholeComponents) {
  std::filesystem::create_directories(Path("sub/inner"));
  std::filesystem::create_directories(Path("subx"));
  frontEnd_.settings.play.directory = Path("sub/inner");
  frontEnd_.settings.mix.waveDirectory = Path("subx");
  frontEnd_.settings.script.directory = Path("sub");
  EXPECT_EQ(Run("ren sub Sub2"), (Lines{"Ren sub Sub2", "  Renamed sub to Sub2", "  1 file(s) renamed."}));
  EXPECT_TRUE(std::filesystem::is_directory(Path("Sub2/inner")));
  EXPECT_EQ(frontEnd_.settings.play.directory, Path("Sub2/inner"));
  EXPECT_EQ(frontEnd_.settings.script.directory, Path("Sub2"));
  EXPECT_EQ(frontEnd_.settings.mix.waveDirectory, Path("subx"));
  // A directory moves into an existing one.
  EXPECT_EQ(Run("move subx Sub2").at(1), "  Renamed subx to Sub2/subx");
  EXPECT_EQ(frontEnd_.settings.mix.waveDirectory, Path("Sub2/subx"));
}

TEST_F(Commands, RemovedDirectoryGivesWayToItsParentAndNamesKeepTheirCase) {
  std::filesystem::create_directories(Path("Mixed/Old"));
  frontEnd_.settings.command.directory = Path("Mixed");
  frontEnd_.settings.graphics.directory = Path("Mixed/Old");
  frontEnd_.settings.sound.directory = Path("Mixed/Older");
  EXPECT_EQ(Run("rd Old"), (Lines{"RD Old", "  Old was removed."}));
  EXPECT_EQ(frontEnd_.settings.graphics.directory, Path("Mixed"));
  EXPECT_EQ(frontEnd_.settings.sound.directory, Path("Mixed/Older"));
  EXPECT_EQ(frontEnd_.ConsoleDirectory(), Path("Mixed"));
  platform::ScriptedDialogs dialogs;
  EXPECT_EQ(Run("rd Old"), (Lines{"RD Old", "  Could not remove Old"}));
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error, could not remove Old");
}

TEST_F(Commands, AttributeWordsAreWholeWordsAndEverythingElseIsThePattern) {
  Write(Path("a"), "x");
  Write(Path("s"), "x");
  Write(Path(".dot"), "x");
  struct Case {
    std::string command;
    Lines lines;
  } cases[] = {
      {"attr +R a", {"attr +R a", "  Attributes from '    ' to ' R  ' on a"}},
      {"ATTRIB a r-", {"ATTRIB a r-", "  Attributes from ' R  ' to '    ' on a"}},
      {"attr a s", {"attr a s", "  Attribute command error."}},
      {"attr +r", {"attr +r", "  Attribute command error."}},
      {"attr +r nothing*", {"attr +r nothing*", "  No files found."}},
      {"attr +h s", {"attr +h s", "  Error changing attributes of s"}},
      {"attr \".dot\" +R -H -S -A", {"attr \".dot\" +R -H -S -A", "  Error changing attributes of .dot"}},
      {"attr .dot +R", {"attr .dot +R", "  Attributes from '  H ' to ' RH ' on .dot"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.command), c.lines) << c.command;
  EXPECT_EQ(platform::GetDosAttributes(Path("s")).value_or(99), 0u);
  EXPECT_EQ(platform::GetDosAttributes(Path(".dot")).value_or(99), platform::kDosReadOnly | platform::kDosHidden);
}

TEST_F(Commands, DirListsEveryEntryWithSizeAttributesAndTotals) {
  Write(Path("readme"), std::string(1234, 'r'));
  Write(Path(".hidden"), "hh");
  std::filesystem::create_directories(Path("a dir"));
  chmod(Path("readme").c_str(), 0444);
  const Lines lines = Run("dir");
  ASSERT_EQ(lines.size(), 6u);  // the fixture's program directory too
  EXPECT_EQ(lines[0], "Dir " + scratch_.path() + "/*.*");
  EXPECT_EQ(lines[1].substr(0, 38), "    .hidden                  2    H   ");
  EXPECT_EQ(lines[2].substr(0, 38), "    a dir                <DIR>        ");
  EXPECT_EQ(lines[4].substr(0, 38), "    readme               1,234   R    ");
  EXPECT_EQ(lines[5].rfind("  1,236 bytes in 4 file(s).  ", 0), 0u) << lines[5];
  EXPECT_EQ(lines[5].substr(lines[5].size() - 12), " bytes free.");
  EXPECT_EQ(Run("dir \"a dir\""), (Lines{"Dir " + Path("a dir") + "/*.*", "  No files found."}));
  EXPECT_EQ(Run("dir READ*").size(), 3u);
}

TEST_F(Commands, TypeAndHistoryKeepTheConsoleNearItsLimit) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + " of the long file\r\n";
  Write(Path("long.txt"), text);
  Run("type long.txt");
  EXPECT_LE(frontEnd_.console.TextSize(), ConsoleLines::kTrimThreshold + 400);
  EXPECT_EQ(frontEnd_.console.lines().back(), "line 2999 of the long file");
  EXPECT_EQ(Run("display missing.txt"), (Lines{"display missing.txt", "  Error displaying the file missing.txt"}));

  EXPECT_EQ(Run("savehist Saved").back(), "  History saved to Saved.txt");
  const std::string saved = testsupport::ReadFileText(Path("Saved.txt"));
  EXPECT_NE(saved.find("line 2999 of the long file\n"), std::string::npos);
  EXPECT_LE(saved.size(), ConsoleLines::kTrimThreshold + 400);
  EXPECT_EQ(Run("savehist no/such/dir.log").back(), "  Error saving to no/such/dir.log");
  Run("cls");
  EXPECT_TRUE(frontEnd_.console.lines().empty());
}

TEST_F(Commands, FinderWalksNoLinkLoopPassesOverWhatItCannotReadAndKeepsCase) {
  Write(Path("t/A/Clip.VNT"), "v");
  Write(Path("t/b.vnt"), "v");
  Write(Path("t/Locked/x.vnt"), "v");
  Write(Path("t/A/notes.txt"), "n");
  std::filesystem::create_directory_symlink(Path("t"), Path("t/A/loop"));
  chmod(Path("t/Locked").c_str(), 0);
  const bool rootReadsAll = geteuid() == 0;
  Lines expected{"find t/*.vnt", "  " + Path("t/b.vnt"), "  " + Path("t/A/Clip.VNT")};
  if (rootReadsAll) expected.push_back("  " + Path("t/Locked/x.vnt"));
  EXPECT_EQ(Run("find t/*.vnt"), expected);
  EXPECT_EQ(Run("whereis *.zip"), (Lines{"whereis *.zip", "  No matching files found."}));
  chmod(Path("t/Locked").c_str(), 0755);

  // From a page's menu the finds are offered in the pick list.
  frontEnd_.dialogs.pickFromList = [](const PickRequest& request) -> std::optional<std::string> {
    EXPECT_EQ(request.caption, "List of Found Files:");
    EXPECT_EQ(request.helpContext, 1099);
    return request.entries.back();
  };
  platform::ScriptedDialogs dialogs;
  EXPECT_EQ(FindFiles(frontEnd_, Path("t/clip.vnt"), nullptr), Path("t/A/Clip.VNT"));
  EXPECT_EQ(FindFiles(frontEnd_, Path("t/*.zip"), nullptr), "");
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error, no matching files found.");
}

}  // namespace
