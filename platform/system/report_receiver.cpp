// Receiving side of the report channel.
#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/system/report_channel.h"
#include "platform/system/report_wire.h"

namespace platform {
namespace {

using namespace report_wire;

// How long a connected sender may take to deliver its request or take its reply.
constexpr uint32_t kTransferTimeoutMs = 2000;

bool SendReply(int fd, uint32_t result, const std::string& payload) {
  std::vector<uint8_t> reply;
  AppendLE32(reply, kReplyMagic);
  AppendLE32(reply, result);
  AppendLE32(reply, static_cast<uint32_t>(payload.size()));
  reply.insert(reply.end(), payload.begin(), payload.end());
  return SendAll(fd, reply.data(), reply.size(), Deadline(kTransferTimeoutMs));
}

// Reads one request; nothing for a bare probe (closed at once) or a malformed request.
std::optional<ReportRequest> ReadRequest(int fd) {
  const Deadline deadline(kTransferTimeoutMs);
  uint8_t header[kRequestHeaderSize];
  if (!ReceiveAll(fd, header, sizeof(header), deadline)) return std::nullopt;
  const uint32_t type = LoadLE32(header + 4);
  const uint32_t length = LoadLE32(header + 32);
  if (LoadLE32(header) != kRequestMagic || type < 1 || type > 3 || length > kMaxReportDataBytes) {
    return std::nullopt;
  }
  ReportRequest request;
  request.type = static_cast<ReportRequestType>(type);
  request.code = LoadLE32(header + 8);
  request.wParam = LoadLE64(header + 16);
  request.lParam = LoadLE64(header + 24);
  request.data.resize(length);
  if (!ReceiveAll(fd, request.data.data(), length, deadline)) return std::nullopt;
  return request;
}

bool EndpointAlive(const std::string& path) {
  const int fd = ConnectTo(path, Deadline(200));
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace

PendingReport::PendingReport(int connection, ReportRequest request)
    : connection_(connection), request_(std::move(request)) {}

PendingReport::PendingReport(PendingReport&& other) noexcept
    : connection_(other.connection_), request_(std::move(other.request_)) {
  other.connection_ = -1;
}

PendingReport& PendingReport::operator=(PendingReport&& other) noexcept {
  if (this != &other) {
    Reply(0);
    connection_ = other.connection_;
    request_ = std::move(other.request_);
    other.connection_ = -1;
  }
  return *this;
}

PendingReport::~PendingReport() { Reply(0); }

void PendingReport::Reply(uint32_t result) {
  if (connection_ < 0) return;
  SendReply(connection_, result, {});
  close(connection_);
  connection_ = -1;
}

ReportReceiver::~ReportReceiver() { Close(); }

bool ReportReceiver::Listen(int32_t number) {
  Close();
  const std::string path = ReportEndpointPath(number);
  if (path.empty()) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  int bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (bound != 0 && errno == EADDRINUSE && !EndpointAlive(path)) {
    unlink(path.c_str());  // left behind by a receiver that died
    bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  }
  if (bound != 0 || chmod(path.c_str(), 0600) != 0 || listen(fd, 16) != 0) {
    if (bound == 0) unlink(path.c_str());
    close(fd);
    return false;
  }
  listener_ = fd;
  number_ = number;
  path_ = path;
  return true;
}

bool ReportReceiver::ListenAny() {
  // Start from the process id (below 2^22 on Linux) and step past it in strides of 2^22, so
  // numbers stay positive 32-bit values.
  const int32_t base = static_cast<int32_t>(getpid() & 0x3FFFFF);
  for (int32_t step = 0; step < 256; ++step) {
    const int32_t number = base + step * 0x400000;
    if (number > 0 && Listen(number)) return true;
  }
  return false;
}

void ReportReceiver::Close() {
  if (listener_ < 0) return;
  close(listener_);
  unlink(path_.c_str());
  listener_ = -1;
  number_ = 0;
  path_.clear();
}

std::optional<PendingReport> ReportReceiver::Next(uint32_t timeoutMs) {
  if (listener_ < 0) return std::nullopt;
  const Deadline deadline(timeoutMs);
  for (;;) {
    pollfd waiting{listener_, POLLIN, 0};
    const int ready = poll(&waiting, 1, deadline.RemainingMs());
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) continue;  // gone again before we took it
    std::optional<ReportRequest> request = ReadRequest(connection);
    if (!request) {
      close(connection);
      continue;
    }
    if (request->type == ReportRequestType::Caption) {
      SendReply(connection, 0, caption_);
      close(connection);
      continue;
    }
    return PendingReport(connection, std::move(*request));
  }
}

int ReportReceiver::Dispatch(const std::function<uint32_t(const ReportRequest&)>& handler,
                             uint32_t timeoutMs) {
  int handled = 0;
  while (std::optional<PendingReport> pending = Next(timeoutMs)) {
    pending->Reply(handler(pending->request()));
    ++handled;
  }
  return handled;
}

}  // namespace platform
