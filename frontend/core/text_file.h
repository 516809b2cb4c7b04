#pragma once
// Whole text files as the front end's editors, history and settings keep them: saved through a
// temporary file beside the old one that is renamed over it, so a failed save never leaves the
// file half written or loses what it held.
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace frontend {

// An existing file keeps its permissions (a link is followed, so the file it names is
// replaced); a new one gets `newFileMode`, or 0666 less the umask when it is negative. The
// directory is not made. False when the text could not be written, with the system's reason
// (an errno) in `error` when one is given.
bool SaveTextFile(const std::string& path, const std::string& text, int newFileMode = -1, int* error = nullptr);

// A regular file's contents; nothing when it cannot be read or is larger than `limit`.
std::optional<std::string> LoadTextFile(const std::string& path, uint64_t limit = uint64_t{64} << 20);

}  // namespace frontend
