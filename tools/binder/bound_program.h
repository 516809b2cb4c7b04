#pragma once
// The pieces of a bound program: where the player keeps its stored command text, the text that
// names the appended videos, and copying files into the output at 512-byte boundaries.
#include <cstdint>
#include <string>
#include <vector>

#include "toolsupport/io/buffered_file.h"
#include "toolsupport/base/status.h"

namespace binder {

inline constexpr size_t kStoredTextArea = 208;
// The player reads the text up to the first zero byte, so one must remain.
inline constexpr size_t kLongestStoredText = kStoredTextArea - 1;
inline constexpr size_t kMostVideos = 32;
inline constexpr int64_t kVideoAlignment = 512;

int64_t RoundUpToBlock(int64_t size);

// The offset just after `startMarker` where `endMarker` stands `areaSize` bytes after the end of
// the start marker, searching the whole file; -1 when there is no such place or the user asked
// to stop.
int64_t FindSelfPlayArea(const std::string& fileName, const char* endMarker, const char* startMarker,
                         size_t areaSize, const toolsupport::Progress& progress);

// " :offset" for every video, a blank and the player switches, trimmed.
std::string StoredText(const std::vector<int64_t>& offsets, const std::string& playerSwitches);

// Copies the file to the end of the output, then zero bytes up to a multiple of 512. Returns the
// bytes copied; or a stop, or the error that ended the copy.
toolsupport::Result<int64_t> AppendPadded(toolsupport::BufferedFile& output, const std::string& fileName,
                                          const toolsupport::Progress& progress);

}  // namespace binder
