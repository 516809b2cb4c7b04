// The command table, the command word, and the records the compiler makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "script/language/command_table.h"
#include "script/language/compiler.h"
#include "script/language/script_error.h"
#include "script/language/text_functions.h"
#include "script/tests/script_runner.h"

namespace {

TEST(ScriptCommandTable, EveryWordIsFoundInAnyCaseAndReachesItsOwnHandler) {
  const std::set<std::string> builtHere = {
      "CALL", "CALLANDGOSUB", "COMPUTE", "COMPUTEABS", "COMPUTESQRT", "DELAY", "DELAYUNTIL", "END",
      "EXECUTE", "EXIT", "GOSUB", "GOTO", "IF", "IFSET", "INTERPRET", "RANDOM", "RANDOMIZE",
      "RETURN", "DEBUGFILE", "DEBUGTEXT", "STRADDBACKSLASH", "STRFIND", "STRFIRST", "STRISLABEL",
      "STRISNUMERIC", "STRLCASE", "STRLENGTH", "STRLPAD", "STRLPADZERO", "STRPIECE", "STRREPEAT",
      "STRRPAD", "STRTRIM", "STRUCASE", "VARFREE", "VARLIST", "VARPOP", "VARPUSH", "VARSET",
      "DIRCHANGE", "DIRCURRENT", "DIREXISTS", "DIRMAKE", "DIRREMOVE", "DRIVEAVAIL", "DRIVESIZE",
      "ENVGET", "ENVSET", "FILEAPPEND", "FILECDROM", "FILECLOSE", "FILECOPY", "FILECREATE",
      "FILEDELETE", "FILEEOF", "FILEEXISTS", "FILEFIND", "FILEFINDNEXT", "FILEFULLPATH",
      "FILEGETATTRIB", "FILELIST", "FILEOPEN", "FILEPIECES", "FILEREAD", "FILEREMOTE",
      "FILEREMOVABLE", "FILERENAME", "FILESETATTRIB", "FILESIZE", "FILETEMP", "FILEWRITE",
      "MCISENDSTRING", "PRINTBEGIN", "PRINTEND", "PRINTPAGEADV", "SOUND", "SYSTEMCOLORS",
      "SYSTEMCOMMANDLINE", "SYSTEMCURRENTEXE", "SYSTEMCURRENTSCRIPT", "SYSTEMDATETIME",
      "SYSTEMDISPLAYRESOLUTION", "SYSTEMMEMORY", "SYSTEMOSMAJOR", "SYSTEMOSMINOR",
      "SYSTEMPLATFORM", "SYSTEMTIMER", "SYSTEMUSEDIRECTSOUND",

      "INPUTCHAR", "INPUTCHARORDELAY", "INPUTMSGWIN", "INPUTSTR", "INPUTSTRWIN", "MOUSEADD",
      "MOUSEAREA", "MOUSEMODE", "MOUSEPOP", "MOUSEPRESENT", "MOUSEPUSHANDREMOVEALL",
      "MOUSEREMOVE", "MOUSEREMOVEALL", "MOUSESETXY", "MOUSEX", "MOUSEY", "TEXT",
      "TEXTBACKCOLOR", "TEXTBEGIN", "TEXTCOLOR", "TEXTFONTFROMBITMAP", "TEXTNOCR", "TEXTSETXY",
      "TEXTTRANSCOLOR", "TEXTX", "TEXTY"};
  const std::vector<std::string> familiesBuiltHere = {"SCREEN", "ANIMATION", "BITMAP"};
  std::set<script::CommandHandler> handlers;
  for (size_t i = 0; i < script::kCommandCount; ++i) {
    const std::string word = script::CommandAt(i).word;
    SCOPED_TRACE(word);
    if (i > 0) {
      EXPECT_LT(std::strcmp(script::CommandAt(i - 1).word, word.c_str()), 0);
    }
    handlers.insert(script::CommandAt(i).handler);

    // Typed in lower case with a comma after it, the word is found.
    std::string line = script::LowerCased(word) + ", 1 2";
    std::string typed = script::TakeCommandWord(line);
    script::UpperCase(typed);
    EXPECT_EQ(script::FindCommand(typed), i);
    EXPECT_EQ(line, "1 2");

    // A handler of a family not built yet names its own word; the words built here never do.
    script::ScriptContext context;
    context.run.command = static_cast<int>(i);
    context.run.lineBuffer = word + " ";
    try {
      script::CommandAt(i).handler(context);
    } catch (const script::ScriptFailure& failure) {
      const std::string text = failure.what();
      const bool familyBuilt = std::any_of(familiesBuiltHere.begin(), familiesBuiltHere.end(),
                                           [&word](const std::string& family) { return word.rfind(family, 0) == 0; });
      if (builtHere.count(word) || familyBuilt) {
        EXPECT_EQ(text.find("not yet available"), std::string::npos) << text;
      } else {
        EXPECT_EQ(text, "  Command not yet available:\r\n    " + word + "\r\n");
      }
    }
  }
  EXPECT_EQ(handlers.size(), script::kCommandCount);
  for (const char* notAWord : {"ANIMATION", "TEX", "GOTOX", "", "IFS", "VARSETS"}) {
    EXPECT_FALSE(script::FindCommand(notAWord)) << notAWord;
  }
}

TEST(ScriptCommandTable, TextBlocksAreKeptAsTheyWereWritten) {
  ScriptRunner runner;
  const std::string path = runner.Write(
      "text.ss",
      "varset a 1\n"
      "textbegin\n"
      "  Hello %NAME%,\n"
      "\n"
      "# not a comment here\n"
      ":not a label\n"
      "  textend, x\n"
      "varset b 2\r\n"
      "TEXTBEGIN\n"
      "to the end\n");
  script::ScriptContext context;
  toolsupport::BufferedFile file;
  ASSERT_TRUE(file.Open(path.c_str()));
  script::CompiledScript compiled;
  script::CompileScript(context, file, compiled);
  struct Expected {
    uint32_t line;
    bool text;
    const char* params;
  };
  const std::vector<Expected> expected = {
      {1, false, "a 1"},  {2, false, ""},        {3, true, "  Hello %NAME%,"},
      {4, true, ""},      {5, true, "# not a comment here"}, {6, true, ":not a label"},
      {7, true, "  textend, x"}, {8, false, "b 2"}, {9, false, ""}, {10, true, "to the end"},
  };
  ASSERT_EQ(compiled.records.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(compiled.records[i].line, expected[i].line);
    EXPECT_EQ(compiled.records[i].text, expected[i].text);
    EXPECT_EQ(compiled.records[i].params, expected[i].params);
  }
  EXPECT_TRUE(context.run.labels.empty());

  // The handler of TEXTBEGIN takes its lines at the run pointer; nothing else stops there.
  context.run.script = &compiled;
  context.run.compileEnd = compiled.records.size();
  context.run.runPointer = 2;
  int lines = 0;
  while (context.TakeTextRecord() != nullptr) ++lines;
  EXPECT_EQ(lines, 5);
  EXPECT_EQ(context.run.runPointer, 7u);
  EXPECT_EQ(context.TakeTextRecord(), nullptr);
}

TEST(ScriptCommandTable, LabelsInsideTextBlocksAreText) {
  ScriptRunner runner;
  const ScriptRun run = runner.Run("goto \"inside\"\ntextbegin\n:inside\nvarset a 1\ntextend\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.LastBox().rfind(" Label not found:\r\n    INSIDE\r\n", 0), 0u);
}

}  // namespace
