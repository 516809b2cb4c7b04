#pragma once
// Facts about the running system that scripts can ask for: the version of the system and how much
// memory a program may still take.
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

struct SystemVersion {
  int major = 0;
  int minor = 0;
};

// The version of the running kernel ("6.1.0-18-amd64" is 6 and 1); zeros when it cannot be read.
SystemVersion RunningSystemVersion();

// The leading "major.minor" of a release text; zeros where a number is missing.
SystemVersion ParseReleaseVersion(std::string_view release);

// The "MemAvailable:" line of /proc/meminfo text, in bytes; nothing when there is none.
std::optional<uint64_t> ParseAvailableMemory(std::string_view meminfo);

// Bytes of memory the program could still allocate: what the system has available, within the
// program's address-space limit when one is set.
uint64_t AvailableMemoryBytes();

}  // namespace platform
