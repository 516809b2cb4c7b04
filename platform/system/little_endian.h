#pragma once
// Little-endian values in byte buffers: every file format and wire frame of the toolkit is
// little-endian and written field by field, so these are the one place that packs them.
#include <cstdint>
#include <vector>

namespace platform {

inline uint32_t LoadLE16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
inline uint32_t LoadLE32(const uint8_t* p) { return LoadLE16(p) | LoadLE16(p + 2) << 16; }
inline uint64_t LoadLE64(const uint8_t* p) { return uint64_t{LoadLE32(p)} | uint64_t{LoadLE32(p + 4)} << 32; }

inline void StoreLE16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLE32(uint8_t* p, uint32_t v) {
  StoreLE16(p, v);
  StoreLE16(p + 2, v >> 16);
}

inline void AppendLE16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void AppendLE32(std::vector<uint8_t>& out, uint32_t v) {
  AppendLE16(out, v);
  AppendLE16(out, v >> 16);
}
inline void AppendLE64(std::vector<uint8_t>& out, uint64_t v) {
  AppendLE32(out, static_cast<uint32_t>(v));
  AppendLE32(out, static_cast<uint32_t>(v >> 32));
}

}  // namespace platform
