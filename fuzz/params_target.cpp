// A command's parameter text taken apart as the commands take it: the first line is the value
// of two variables that the rest may refer to; the rest is read token by token, resolved and
// not, then through the parameter marks until one refuses it, and compared as IF compares.
#include <string>

#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/language/script_error.h"

namespace fuzz {

int FuzzParams(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t lineEnd = input.find('\n');
  const std::string value = input.substr(0, lineEnd);
  const std::string text = lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1);

  const script::CommandTable noCommands({});
  script::ScriptContext context(noCommands);
  script::SetVariable(context, "A", value);
  script::SetVariable(context, "B", "%A%" + value + "%A%");

  std::string tokens[3];
  context.run.params = text;
  for (uint32_t i = 0; i < kMaxEntries && !context.run.params.empty(); ++i) {
    const std::string before = context.run.params;
    std::string token;
    if (script::NextParam(context, token, i % 2 == 0) == script::ParamKind::kNothing) break;
    tokens[i % 3] = token;
    if (context.run.params == before) break;  // a character that starts no token stays
  }
  script::CompareValues(tokens[0], tokens[1], tokens[2]);

  context.run.params = text;
  try {
    for (uint32_t i = 0; i < kMaxEntries && !script::ParamsAtEnd(context); ++i) {
      switch (i % 4) {
        case 0: script::TakeText(context); break;
        case 1: script::TakeNumber(context); break;
        case 2: script::TakeVariable(context); break;
        default: script::TakeNonEmptyText(context); break;
      }
    }
  } catch (const script::ScriptFailure&) {
  }

  std::string expanded = text;
  script::ExpandVariableRefs(context, expanded);
  script::TextToNumber(expanded);
  return 0;
}

}  // namespace fuzz
