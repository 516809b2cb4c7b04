#pragma once
// The command text that every program reads its switches and names from, built from its
// arguments: switch words are copied as they stand, every other argument is double-quoted.
#include <string>

namespace platform {

// A switch word begins with '/' and a letter, '#', '@' or '&', holds no blank outside double
// quotes, and is not a path: neither an existing file or directory nor a name whose directory
// part (other than the root) exists. So "/L5/F15" and /&"my pal.bmp" are switch words, while
// "/home/ann/clip.flc" is a name and "/L /F10" (one argument) is quoted as a whole.
bool IsSwitchWord(const std::string& argument);

// Joins argv[1] ... argv[argc - 1] with single blanks, quoting every argument that is no switch
// word.
std::string BuildCommandText(int argc, const char* const* argv);

}  // namespace platform
