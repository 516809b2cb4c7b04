#include "tools/sound/wav_header.h"

#include <cstring>

namespace soundtool {
namespace {

class HeaderWriter {
 public:
  explicit HeaderWriter(std::array<uint8_t, kWavHeaderSize>& bytes) : bytes_(bytes) {}
  void Text(const char* four) {
    std::memcpy(&bytes_[at_], four, 4);
    at_ += 4;
  }
  void U16(uint32_t value) {
    bytes_[at_++] = static_cast<uint8_t>(value);
    bytes_[at_++] = static_cast<uint8_t>(value >> 8);
  }
  void U32(uint64_t value) {
    U16(static_cast<uint32_t>(value & 0xFFFF));
    U16(static_cast<uint32_t>((value >> 16) & 0xFFFF));
  }

 private:
  std::array<uint8_t, kWavHeaderSize>& bytes_;
  size_t at_ = 0;
};

}  // namespace

std::array<uint8_t, kWavHeaderSize> MakeWavHeader(uint32_t rate, uint32_t bits, uint32_t channels,
                                                  uint64_t dataSize) {
  std::array<uint8_t, kWavHeaderSize> bytes{};
  HeaderWriter out(bytes);
  const uint64_t blockAlign = uint64_t{channels} * bits / 8;
  out.Text("RIFF");
  out.U32(dataSize + kWavHeaderSize - 8);
  out.Text("WAVE");
  out.Text("fmt ");
  out.U32(16);
  out.U16(1);  // PCM
  out.U16(channels);
  out.U32(rate);
  out.U32(uint64_t{rate} * blockAlign);
  out.U16(static_cast<uint32_t>(blockAlign));
  out.U16(bits);
  out.Text("data");
  out.U32(dataSize);
  return bytes;
}

}  // namespace soundtool
