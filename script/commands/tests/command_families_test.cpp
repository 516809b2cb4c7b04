// The command families together: the table of their words and what each word runs.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "script/commands/command_families.h"
#include "script/language/script_error.h"
#include "script/tests/script_runner.h"

namespace {

TEST(ScriptCommandFamilies, EveryWordIsInTheTableOnceAndRunsItsOwnHandler) {
  const script::CommandFamilies& families = script::ScriptCommands();
  const script::CommandTable& table = families.Table();
  EXPECT_EQ(table.Size(), 185u);
  std::set<void (*)(script::CommandContext&)> handlers;
  for (size_t i = 0; i < table.Size(); ++i) {
    const std::string word = table.Word(i);
    SCOPED_TRACE(word);
    EXPECT_EQ(families.At(i).word, table.Word(i));
    EXPECT_EQ(table.Find(word), i);
    handlers.insert(families.At(i).handler);

    // Given no parameters, a command runs or ends the script with a script error.
    const std::unique_ptr<script::CommandContext> context = ScriptRunner::NewContext();
    context->run.command = static_cast<int>(i);
    context->run.lineBuffer = word + " ";
    try {
      context->RunCommand(i);
    } catch (const script::ScriptFailure&) {
    }
    script::CloseScriptWindow(context->screen);
  }
  EXPECT_EQ(handlers.size(), table.Size());
}

}  // namespace
