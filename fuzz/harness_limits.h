#pragma once
// What the targets ask of one input at most, so that every input runs in well under a second. A
// reader may accept larger pictures or longer files; these only bound the work of one run.
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline constexpr uint64_t kMaxPixels = uint64_t{1} << 21;         // of a frame buffer
inline constexpr uint64_t kMaxDecodedPixels = uint64_t{1} << 22;  // of all frames decoded per open
inline constexpr uint32_t kMaxFrames = 1000;                      // decoded per open
inline constexpr uint64_t kMaxSoundBytes = uint64_t{1} << 20;     // of sound read per open
inline constexpr uint32_t kMaxEntries = 10000;                    // list entries and tokens

// How many frames of that many pixels to decode of the ones there are: at least one.
inline int32_t FramesToDecode(uint64_t pixelsPerFrame, int64_t frames) {
  const uint64_t budget = std::max<uint64_t>(1, kMaxDecodedPixels / std::max<uint64_t>(1, pixelsPerFrame));
  return static_cast<int32_t>(std::clamp<int64_t>(frames, 0, std::min<uint64_t>(budget, kMaxFrames)));
}

}  // namespace fuzz
