#pragma once
// Scratch directories and small file helpers shared by the tool-support tests.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testsupport/scratch_directory.h"

namespace testing_files {

using testsupport::ScratchDirectory;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

// Little-endian building of hand-made files.
struct ByteWriter {
  std::vector<uint8_t> bytes;
  ByteWriter& U8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); return *this; }
  ByteWriter& U16(uint32_t v) { U8(v); return U8(v >> 8); }
  ByteWriter& U32(uint32_t v) { U16(v); return U16(v >> 16); }
  ByteWriter& Text(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); return *this; }
  ByteWriter& Bytes(const std::vector<uint8_t>& b) { bytes.insert(bytes.end(), b.begin(), b.end()); return *this; }
  size_t size() const { return bytes.size(); }
  // Overwrites a 32-bit value already written.
  void PatchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  void PatchU16(size_t at, uint32_t v) {
    for (int i = 0; i < 2; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
};

}  // namespace testing_files
