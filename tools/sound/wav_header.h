#pragma once
// The 44-byte header of a PCM WAV file.
#include <array>
#include <cstdint>

namespace soundtool {

inline constexpr uint64_t kWavHeaderSize = 44;
// The most sample bytes a WAV file can count: its RIFF size (file size - 8) is 32 bits.
inline constexpr uint64_t kMaxWavDataSize = 0xFFFFFFFFull - (kWavHeaderSize - 8);

// The header for `dataSize` sample bytes (at most kMaxWavDataSize), field by field.
std::array<uint8_t, kWavHeaderSize> MakeWavHeader(uint32_t rate, uint32_t bits, uint32_t channels,
                                                  uint64_t dataSize);

}  // namespace soundtool
