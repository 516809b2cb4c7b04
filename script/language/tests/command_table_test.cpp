// The command table, the command word, and the records the compiler makes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "script/language/command_table.h"
#include "script/language/compiler.h"
#include "script/language/script_context.h"
#include "script/language/script_error.h"
#include "script/language/text_functions.h"
#include "script/tests/script_runner.h"
#include "toolsupport/base/text_words.h"

namespace {

TEST(ScriptCommandTable, WordsAreFoundInAnyCaseAndListsOutOfOrderAreRefused) {
  const script::CommandTable table({"GOTO", "IF", "IFSET", "TEXT", "TEXTBEGIN", "\xC4WORD"});
  for (size_t i = 0; i < table.Size(); ++i) {
    const std::string word = table.Word(i);
    SCOPED_TRACE(word);
    // Typed in lower case with a comma after it, the word is found.
    std::string line = LowerCase(word) + ", 1 2";
    std::string typed = script::TakeCommandWord(line);
    script::UpperCase(typed);
    EXPECT_EQ(table.Find(typed), i);
    EXPECT_EQ(line, "1 2");
  }
  for (const char* notAWord : {"GOT", "TEX", "GOTOX", "", "IFS", "TEXTBEGINS", "\xC4"}) {
    EXPECT_FALSE(table.Find(notAWord)) << notAWord;
  }

  // A record keeps its word's index in a byte, and the lookup needs the words in byte order.
  using Words = std::vector<const char*>;
  EXPECT_THROW(script::CommandTable(Words{"IF", "GOTO"}), std::invalid_argument);
  EXPECT_THROW(script::CommandTable(Words{"IF", "IF"}), std::invalid_argument);
  EXPECT_THROW(script::CommandTable(Words{"\xC4WORD", "ZED"}), std::invalid_argument);
  std::vector<std::string> many;
  for (size_t i = 0; i <= script::CommandTable::kMaxWords; ++i) many.push_back("W" + std::to_string(1000 + i));
  Words words;
  for (const std::string& word : many) words.push_back(word.c_str());
  EXPECT_THROW(script::CommandTable{words}, std::invalid_argument);
  words.pop_back();
  EXPECT_EQ(script::CommandTable{words}.Size(), script::CommandTable::kMaxWords);
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
  const script::CommandTable words({"TEXTBEGIN", "VARSET"});
  script::ScriptContext context(words);
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
