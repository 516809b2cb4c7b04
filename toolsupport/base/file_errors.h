#pragma once
// The tools' messages about their files: each names the file and the system's reason.
#include <string>

inline constexpr const char* kSameFileMessage = "Output filename must be different than the input filename.";
inline constexpr const char* kWriteErrorMessage = "Error writing to disk - probably out of disk space.";

namespace toolsupport {

// A message such as "Error creating the output file." with the file's name and the system's text
// for `error` (an errno): "Error creating the output file /out/x.wav: Permission denied."
std::string FileErrorText(const std::string& message, const std::string& name, int error);

// What a write that failed with `error` says: a full disk (or a reason not known, 0) in the
// tools' usual words, anything else with the system's text.
std::string WriteErrorText(int error);

}  // namespace toolsupport
