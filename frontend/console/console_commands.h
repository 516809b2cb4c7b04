#pragma once
// The console's built-in commands on files and directories. Each echoes its own form behind the
// prompt and reports in console lines; arguments may be in double quotes.
#include <string>

namespace frontend {

class FrontEnd;

// MD and RD: make or remove one directory. A removed directory that the front end remembers
// (the pages', the console's, the program's) is replaced there by its parent.
void ConsoleMkDir(FrontEnd& frontEnd, const std::string& argument);
void ConsoleRmDir(FrontEnd& frontEnd, const std::string& argument);

// DIR: the entries of a directory or of a pattern, with sizes, attributes and times.
void ConsoleDir(FrontEnd& frontEnd, const std::string& argument);
// DEL: asks for each matching file whether to delete it; Cancel ends the run.
void ConsoleDelete(FrontEnd& frontEnd, const std::string& argument);
// REN and MOVE: renames files (wildcards allowed) or a directory; never replaces a file.
void ConsoleRename(FrontEnd& frontEnd, const std::string& source, const std::string& target);
// COPY: copies files through the copy window; the target may hold wildcards.
void ConsoleCopy(FrontEnd& frontEnd, const std::string& source, const std::string& target);
// ATTR: words "+R", "-h", "a+" ... (whole words, any case) and one file pattern.
void ConsoleAttrib(FrontEnd& frontEnd, const std::string& arguments);
// TYPE: the lines of a text file into the console.
void ConsoleType(FrontEnd& frontEnd, const std::string& argument);
// SAVEHIST: the console lines into a text file (".txt" added when it has no extension).
void ConsoleSaveHistory(FrontEnd& frontEnd, const std::string& argument);

// Every path the front end remembers that is the directory or lies under it (whole path
// components compared) is moved to lie under the new name.
void MoveRememberedPaths(FrontEnd& frontEnd, const std::string& from, const std::string& to);

}  // namespace frontend
