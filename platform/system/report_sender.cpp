// Sending side of the report channel: one connection per request, closed after the reply.
#include <unistd.h>

#include "platform/system/report_channel.h"
#include "platform/system/report_wire.h"

namespace platform {
namespace {

using namespace report_wire;

struct Reply {
  uint32_t result = 0;
  std::vector<uint8_t> payload;
};

std::optional<Reply> Exchange(int32_t number, ReportRequestType type, uint32_t code,
                              uint64_t wParam, uint64_t lParam, const void* data, size_t size,
                              uint32_t timeoutMs) {
  if (size > kMaxReportDataBytes || (size > 0 && data == nullptr)) return std::nullopt;
  const Deadline deadline(timeoutMs);
  const int fd = ConnectToOwnEndpoint(ReportEndpointPath(number), deadline);
  if (fd < 0) return std::nullopt;

  const std::vector<uint8_t> request =
      EncodeRequest(static_cast<uint32_t>(type), code, wParam, lParam, data, size);

  std::optional<Reply> reply;
  uint8_t header[kReplyHeaderSize];
  if (SendAll(fd, request.data(), request.size(), deadline) &&
      ReceiveAll(fd, header, sizeof(header), deadline) && LoadLE32(header) == kReplyMagic) {
    const uint32_t length = LoadLE32(header + 8);
    if (length <= kMaxReportDataBytes) {
      Reply answer;
      answer.result = LoadLE32(header + 4);
      answer.payload.resize(length);
      if (ReceiveAll(fd, answer.payload.data(), length, deadline)) reply = std::move(answer);
    }
  }
  close(fd);
  return reply;
}

}  // namespace

std::string ReportEndpointPath(int32_t number) {
  if (number <= 0) return {};
  const std::string path = ReportFolder() + "/report-" + std::to_string(number);
  constexpr size_t kSocketPathLimit = 107;
  return path.size() <= kSocketPathLimit ? path : std::string();
}

bool ReportEndpointExists(int32_t number) {
  const int fd = ConnectToOwnEndpoint(ReportEndpointPath(number), Deadline(kDefaultReportTimeoutMs));
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::optional<uint32_t> SendReportData(int32_t number, uint32_t kind, const void* data,
                                       size_t size, uint64_t sender, uint32_t timeoutMs) {
  auto reply = Exchange(number, ReportRequestType::Data, kind, sender, 0, data, size, timeoutMs);
  if (!reply) return std::nullopt;
  return reply->result;
}

std::optional<uint32_t> SendReportMessage(int32_t number, uint32_t message, uint64_t wParam,
                                          uint64_t lParam, uint32_t timeoutMs) {
  auto reply =
      Exchange(number, ReportRequestType::Message, message, wParam, lParam, nullptr, 0, timeoutMs);
  if (!reply) return std::nullopt;
  return reply->result;
}

std::optional<std::string> AskReportCaption(int32_t number, uint32_t timeoutMs) {
  auto reply = Exchange(number, ReportRequestType::Caption, 0, 0, 0, nullptr, 0, timeoutMs);
  if (!reply) return std::nullopt;
  return std::string(reply->payload.begin(), reply->payload.end());
}

}  // namespace platform
