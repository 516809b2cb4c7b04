#pragma once
// The 185 command words of the language and their handlers, in one constant table whose index
// the compiled records keep.
#include <cstddef>
#include <optional>
#include <string_view>

namespace script {

class ScriptContext;

using CommandHandler = void (*)(ScriptContext&);

struct CommandEntry {
  const char* word;  // upper case
  CommandHandler handler;
};

inline constexpr size_t kCommandCount = 185;

const CommandEntry& CommandAt(size_t index);
// The index of an upper-case word; nothing when it is no command word.
std::optional<size_t> FindCommand(std::string_view word);

// The handler of a word whose family is not built yet: a script error that names the word.
[[noreturn]] void CommandNotYetAvailable(ScriptContext& context);

}  // namespace script
