#pragma once
// Whole files for the tests: read byte for byte, and WAV files made here, independently of the
// programs' own header code.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same as text.
inline std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A PCM WAV file: "RIFF", "WAVE", a 16-byte "fmt " chunk and "data" with the sample bytes.
inline std::vector<uint8_t> WavBytes(uint32_t rate, uint16_t channels, uint16_t bits,
                                     const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  out.reserve(44 + data.size());
  auto text = [&out](const char* word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(word[i]));
  };
  auto u16 = [&out](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto u32 = [&u16](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  const uint32_t block = uint32_t(channels) * bits / 8;
  text("RIFF");
  u32(static_cast<uint32_t>(36 + data.size()));
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(channels);
  u32(rate);
  u32(rate * block);
  u16(block);
  u16(bits);
  text("data");
  u32(static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

inline void WriteWavFile(const std::string& path, uint32_t rate, uint16_t channels, uint16_t bits,
                         const std::vector<uint8_t>& data) {
  const std::vector<uint8_t> bytes = WavBytes(rate, channels, bits, data);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testsupport
