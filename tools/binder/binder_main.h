#pragma once
// vntcompi: makes a self-playing program from a copy of the player, a stored command text and
// one or more .vnt files appended to the copy.
#include <string>

namespace binder {

inline constexpr const char* kBinderTitle = "Compile Vantrel Executable";
inline constexpr const char* kBinderVersionLine = "Version: 3.0k";

// Runs the whole program on a command text as BuildCommandText makes it. Returns the exit code:
// 0 when the bound program was written, else 1 (and no output is left).
int BinderMain(std::string commandText);

// The usage box's text.
std::string BinderUsageText();

}  // namespace binder
