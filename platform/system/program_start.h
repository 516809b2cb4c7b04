#pragma once
// Starting other programs from a command text, the way the front end, its batch runner and the
// script player do: the text is split into words without a shell, the program word is looked up
// beside the running program first and then on PATH, and the program runs detached (nobody
// waits for it and it leaves no zombie behind).
#include <string>
#include <vector>

namespace platform {

// Splits at blanks and tabs outside double quotes. A word that is one double-quoted text as a
// whole loses its quotes; every other word (a switch word with a quoted value inside it, say
// /&"my pal.bmp") is kept exactly as written.
std::vector<std::string> SplitCommandWords(const std::string& text);

// The full path of the running program's file; empty when the system cannot tell.
std::string OwnProgramPath();

// The directory the running program was started from (no trailing '/').
std::string OwnProgramDirectory();

// The file that a program word starts: a word with a '/' is used as it stands; a bare word is
// looked up in OwnProgramDirectory() and then on PATH. A ".exe" at its end (any case) is dropped
// first, except from a path that names an executable file as it stands. Empty when no
// executable file is found.
std::string FindProgram(const std::string& word);

struct ProgramStart {
  bool started = false;
  int error = 0;        // errno of the failed lookup or start
  int processId = 0;    // the started program's (not our child: nobody may wait for it)
};

// Starts words[0] with the other words as its arguments, in `directory` when it is not empty.
// Returns once the program runs (or failed to start); never waits for it to end.
ProgramStart StartProgramDetached(const std::vector<std::string>& words,
                                  const std::string& directory = "");

// SplitCommandWords + StartProgramDetached.
ProgramStart StartCommandText(const std::string& text, const std::string& directory = "");

}  // namespace platform
