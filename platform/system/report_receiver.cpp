// Receiving side of the report channel.
#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/system/report_channel.h"
#include "platform/system/report_wire.h"

namespace platform {
namespace {

using namespace report_wire;

bool SendReply(int fd, uint32_t result, const std::string& payload) {
  std::vector<uint8_t> reply;
  AppendLE32(reply, kReplyMagic);
  AppendLE32(reply, result);
  AppendLE32(reply, static_cast<uint32_t>(payload.size()));
  reply.insert(reply.end(), payload.begin(), payload.end());
  return SendAll(fd, reply.data(), reply.size(), Deadline(kReportTransferTimeoutMs));
}

// The request a whole header announces; nothing when it is malformed.
std::optional<ReportRequest> RequestOfHeader(const uint8_t* header, size_t& dataLength) {
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
  dataLength = length;
  return request;
}

bool EndpointAlive(const std::string& path) {
  const int fd = ConnectTo(path, Deadline(200));
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace

ReportConnection::ReportConnection(ReportConnection&& other) noexcept
    : connection_(other.connection_),
      header_(std::move(other.header_)),
      request_(std::move(other.request_)),
      dataLength_(other.dataLength_),
      complete_(other.complete_) {
  other.connection_ = -1;
}

ReportConnection& ReportConnection::operator=(ReportConnection&& other) noexcept {
  if (this != &other) {
    CloseConnection();
    connection_ = other.connection_;
    header_ = std::move(other.header_);
    request_ = std::move(other.request_);
    dataLength_ = other.dataLength_;
    complete_ = other.complete_;
    other.connection_ = -1;
  }
  return *this;
}

ReportConnection::~ReportConnection() { CloseConnection(); }

void ReportConnection::CloseConnection() {
  if (connection_ >= 0) close(connection_);
  connection_ = -1;
}

ReportConnection::Progress ReportConnection::ReadAvailable() {
  if (connection_ < 0) return Progress::Failed;
  while (!complete_) {
    // Never more than the request still lacks: what follows it is not ours to take.
    uint8_t buffer[4096];
    const size_t wanted = request_ ? dataLength_ - request_->data.size()
                                   : kRequestHeaderSize - header_.size();
    const ssize_t got = recv(connection_, buffer, std::min(wanted, sizeof buffer), 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Progress::Waiting;
    if (got <= 0) return Progress::Failed;
    std::vector<uint8_t>& into = request_ ? request_->data : header_;
    into.insert(into.end(), buffer, buffer + got);
    if (!request_ && header_.size() == kRequestHeaderSize) {
      request_ = RequestOfHeader(header_.data(), dataLength_);
      if (!request_) return Progress::Failed;
    }
    complete_ = request_ && request_->data.size() == dataLength_;
  }
  return Progress::Complete;
}

std::optional<PendingReport> ReportConnection::Take(const std::string& caption) {
  if (!complete_ || connection_ < 0) return std::nullopt;
  if (request_->type == ReportRequestType::Caption) {
    SendReply(connection_, 0, caption);
    CloseConnection();
    return std::nullopt;
  }
  const int connection = connection_;
  connection_ = -1;
  return PendingReport(connection, std::move(*request_));
}

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
  if (path.empty() || !MakePrivateFolder(ReportFolder())) return false;
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

std::optional<ReportConnection> ReportReceiver::Accept() {
  if (listener_ < 0) return std::nullopt;
  for (;;) {
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection >= 0) return ReportConnection(connection);
    if (errno == EINTR || errno == ECONNABORTED) continue;  // gone again before we took it
    return std::nullopt;
  }
}

std::optional<PendingReport> ReportReceiver::Next(uint32_t timeoutMs) {
  if (listener_ < 0) return std::nullopt;
  const Deadline deadline(timeoutMs);
  for (;;) {
    pollfd waiting{listener_, POLLIN, 0};
    const int ready = poll(&waiting, 1, deadline.RemainingMs());
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    std::optional<ReportConnection> connection = Accept();
    if (!connection) continue;
    const Deadline transfer(kReportTransferTimeoutMs);
    ReportConnection::Progress progress = connection->ReadAvailable();
    while (progress == ReportConnection::Progress::Waiting) {
      pollfd arriving{connection->fd(), POLLIN, 0};
      const int got = poll(&arriving, 1, transfer.RemainingMs());
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      progress = connection->ReadAvailable();
    }
    if (progress != ReportConnection::Progress::Complete) continue;
    if (std::optional<PendingReport> pending = connection->Take(caption_)) return pending;
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
