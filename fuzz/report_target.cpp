// Report channel frames from both sides: the bytes arrive at a receiver as a request (and a
// report's text is taken out as the front end takes it), and they come back to a sender as the
// reply to a message and to a caption question.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "frontend/core/report_receiving.h"
#include "fuzz/fuzz_targets.h"
#include "platform/system/report_channel.h"
#include "platform/system/report_wire.h"

namespace fuzz {
namespace {

using namespace platform;

constexpr uint32_t kTimeoutMs = 2000;
// More than a socket buffer holds would wait for a reader that reads only later.
constexpr size_t kLargestFrame = 64 * 1024;

void SendAsRequest(ReportReceiver& receiver, const uint8_t* data, size_t size) {
  const report_wire::Deadline deadline(kTimeoutMs);
  const int fd = report_wire::ConnectTo(ReportEndpointPath(receiver.number()), deadline);
  if (fd < 0) return;
  report_wire::SendAll(fd, data, size, deadline);
  shutdown(fd, SHUT_WR);
  if (std::optional<PendingReport> pending = receiver.Next(0)) {
    frontend::ReportText(pending->request().data);
    pending->Reply(1);
  }
  close(fd);
}

// A listening socket at the endpoint of a number nobody else uses, that answers every caller
// with the given bytes.
class RawEndpoint {
 public:
  RawEndpoint() {
    for (int32_t step = 0; step < 256 && listener_ < 0; ++step) {
      const int32_t number = static_cast<int32_t>(getpid() & 0x3FFFFF) + (128 + step) * 0x400000;
      Bind(number);
    }
  }
  ~RawEndpoint() {
    if (listener_ < 0) return;
    close(listener_);
    unlink(ReportEndpointPath(number_).c_str());
  }
  int32_t number() const { return listener_ < 0 ? 0 : number_; }

  void AnswerOnce(const uint8_t* data, size_t size) const {
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(kTimeoutMs)) <= 0) return;  // the sender gave up
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) return;
    const report_wire::Deadline deadline(kTimeoutMs);
    uint8_t request[report_wire::kRequestHeaderSize];
    if (report_wire::ReceiveAll(connection, request, sizeof request, deadline)) {
      report_wire::SendAll(connection, data, size, deadline);
    }
    close(connection);
  }

 private:
  void Bind(int32_t number) {
    const std::string path = ReportEndpointPath(number);
    if (number <= 0 || path.empty()) return;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) {
      close(fd);
      return;
    }
    listener_ = fd;
    number_ = number;
  }

  int listener_ = -1;
  int32_t number_ = 0;
};

void SendAsReply(const RawEndpoint& endpoint, const uint8_t* data, size_t size) {
  for (int question = 0; question < 2; ++question) {
    std::thread answering([&] { endpoint.AnswerOnce(data, size); });
    if (question == 0) {
      SendReportMessage(endpoint.number(), kFrontEndQueryMessage, 0, 0, kTimeoutMs);
    } else {
      AskReportCaption(endpoint.number(), kTimeoutMs);
    }
    answering.join();
  }
}

}  // namespace

int FuzzReport(const uint8_t* data, size_t size) {
  static ReportReceiver receiver;
  static const bool listening = receiver.ListenAny();
  static const RawEndpoint endpoint;
  if (size > kLargestFrame) return 0;
  if (listening) SendAsRequest(receiver, data, size);
  if (endpoint.number() != 0) SendAsReply(endpoint, data, size);
  return 0;
}

}  // namespace fuzz
