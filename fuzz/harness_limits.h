#pragma once
// What the targets ask of one input at most, so that every input runs in a few milliseconds. A
// reader may accept larger pictures or longer files; these only bound the work of one run.
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline constexpr uint64_t kMaxPixels = uint64_t{1} << 22;       // of a frame buffer
inline constexpr uint32_t kMaxFrames = 1000;                    // decoded per open
inline constexpr uint64_t kMaxSoundBytes = uint64_t{1} << 20;   // of sound read per open
inline constexpr uint32_t kMaxEntries = 10000;                  // list entries and tokens

}  // namespace fuzz
