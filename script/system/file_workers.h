#pragma once
// The file workers of FILECOPY, FILERENAME and FILEDELETE: every file that a source pattern
// matches is copied, moved or deleted, each under a target name that a destination pattern
// builds from its own name.
#include <string>

namespace script {

enum class FileOperation { kDelete = 0, kRename = 1, kCopy = 2 };

// Applies the operation to every regular file the source matches (a source naming a directory
// means every file in it), in the order of the directory search, each to the target that the
// destination builds from its name (platform::WildcardTargetName; empty: "*.*"; a directory:
// its "*.*"). All matches are found before the first operation. The first failure ends the run
// with false (the files done stay done); true when all worked or nothing matched. A copy keeps
// the source's times and never touches a file copied onto itself; a rename never replaces an
// existing file. Names are script names ('\' is read as '/', a drive word names the root).
bool ApplyToMatchingFiles(const std::string& source, const std::string& destination, FileOperation operation);

}  // namespace script
