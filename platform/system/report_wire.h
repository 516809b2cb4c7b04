#pragma once
// Socket plumbing and the byte layout shared by both ends of the report channel.
//
// Request: magic "VRQ1", type, code, reserved (32-bit each), wParam, lParam (64-bit each), data
// length (32-bit), then the data. Reply: magic "VRP1", result, payload length (32-bit each), then
// the payload. All little-endian, written field by field.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/little_endian.h"

namespace platform::report_wire {

constexpr uint32_t kRequestMagic = 0x31515256;  // "VRQ1"
constexpr uint32_t kReplyMagic = 0x31505256;    // "VRP1"
constexpr size_t kRequestHeaderSize = 36;
constexpr size_t kReplyHeaderSize = 12;

// A point in real time after which an exchange gives up. Deliberately not the toolkit clock,
// which tests may replace.
class Deadline {
 public:
  explicit Deadline(uint32_t timeoutMs)
      : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)) {}
  int RemainingMs() const;

 private:
  std::chrono::steady_clock::time_point end_;
};

// A whole request as it travels.
std::vector<uint8_t> EncodeRequest(uint32_t type, uint32_t code, uint64_t wParam, uint64_t lParam,
                                   const void* data, size_t size);

// The folder of the user's own that holds the endpoints: "vant" under $XDG_RUNTIME_DIR, or
// "/tmp/vant-UID" when that is unset. The receiver makes it; the sender finds it by this rule.
std::string ReportFolder();
// Makes the folder (mode 0700) unless it exists. True when it is then a directory of this user's
// own that nobody else may enter; anything else is refused, never repaired.
bool MakePrivateFolder(const std::string& path);

// A non-blocking connected socket, or -1.
int ConnectTo(const std::string& path, const Deadline& deadline);
// ConnectTo, but only to a socket of this user's own in a folder of the user's own that is
// closed to others: another user cannot stand in for a receiver.
int ConnectToOwnEndpoint(const std::string& path, const Deadline& deadline);
// Both return false on error, end of stream or timeout.
bool SendAll(int fd, const uint8_t* data, size_t size, const Deadline& deadline);
bool ReceiveAll(int fd, uint8_t* data, size_t size, const Deadline& deadline);

}  // namespace platform::report_wire
