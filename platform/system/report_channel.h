#pragma once
// The report channel between the tools and the front end.
//
// The number that follows "/#" on a tool's command line names a report endpoint: a Unix-domain
// socket that a receiving program listens on, in a folder of the user's own (under
// $XDG_RUNTIME_DIR, or /tmp) that the receiver makes and nobody else may enter. A sender talks
// only to a socket of its own user there, and a receiver removes its socket when it ends. Every
// exchange is synchronous: the sender connects, sends one request and waits for the reply, but
// never longer than its timeout, so a dead or busy receiver cannot hang a tool. Three requests
// exist:
//  - data: a kind (0x1234 for the status report) and bytes, answered with a number;
//  - message: a message number and two arguments (0x900, 10019), answered with a number (8995);
//  - caption: the receiver's caption, answered with its text (answered by the receiver itself).
// "The receiver exists" means its endpoint accepts a connection.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

constexpr uint32_t kStatusReportKind = 0x1234;      // data kind of a tool's final report
constexpr uint32_t kRestoreNoticeMessage = 0x900;   // a tool's window came back from minimised
constexpr uint32_t kFrontEndQueryMessage = 10019;   // asked before the player reports
constexpr uint32_t kFrontEndQueryDecline = 8995;    // reply to it that cancels the report
constexpr uint32_t kDefaultReportTimeoutMs = 4000;
constexpr uint32_t kReportTransferTimeoutMs = 2000;  // a connected sender's time to send
constexpr size_t kMaxReportDataBytes = 1 << 20;     // larger requests are refused

// Where the endpoint of a number lives (empty when the number is not positive or the path
// would not fit a socket address).
std::string ReportEndpointPath(int32_t number);

// --- Sender side -------------------------------------------------------------------------

bool ReportEndpointExists(int32_t number);

// Each returns the receiver's answer, or nothing when there is no receiver, it failed, or the
// timeout passed.
std::optional<uint32_t> SendReportData(int32_t number, uint32_t kind, const void* data,
                                       size_t size, uint64_t sender,
                                       uint32_t timeoutMs = kDefaultReportTimeoutMs);
std::optional<uint32_t> SendReportMessage(int32_t number, uint32_t message, uint64_t wParam,
                                          uint64_t lParam,
                                          uint32_t timeoutMs = kDefaultReportTimeoutMs);
std::optional<std::string> AskReportCaption(int32_t number,
                                            uint32_t timeoutMs = kDefaultReportTimeoutMs);

// --- Receiver side -----------------------------------------------------------------------

enum class ReportRequestType : uint32_t { Data = 1, Message = 2, Caption = 3 };

struct ReportRequest {
  ReportRequestType type = ReportRequestType::Message;
  uint32_t code = 0;     // the data kind, or the message number
  uint64_t wParam = 0;   // for data: the sender
  uint64_t lParam = 0;
  std::vector<uint8_t> data;
};

// One received request whose sender waits for the answer. Answered with 0 when it goes out of
// scope unanswered (an unhandled message).
class PendingReport {
 public:
  PendingReport(int connection, ReportRequest request);
  PendingReport(PendingReport&& other) noexcept;
  PendingReport& operator=(PendingReport&& other) noexcept;
  PendingReport(const PendingReport&) = delete;
  PendingReport& operator=(const PendingReport&) = delete;
  ~PendingReport();

  const ReportRequest& request() const { return request_; }
  void Reply(uint32_t result);

 private:
  int connection_ = -1;
  ReportRequest request_;
};

// One accepted connection whose request is read as it arrives, never waiting for more, so an
// event loop can serve many senders and one that connects and stays silent holds up nobody.
class ReportConnection {
 public:
  enum class Progress { Waiting, Complete, Failed };

  explicit ReportConnection(int connection) : connection_(connection) {}
  ReportConnection(ReportConnection&& other) noexcept;
  ReportConnection& operator=(ReportConnection&& other) noexcept;
  ReportConnection(const ReportConnection&) = delete;
  ReportConnection& operator=(const ReportConnection&) = delete;
  ~ReportConnection();  // closes the connection unless its request was taken

  int fd() const { return connection_; }

  // Reads what has arrived. Failed for a malformed request, or a sender that closed before the
  // request was whole (a bare probe).
  Progress ReadAvailable();
  // After Complete: a caption question is answered here and gives nothing; any other request
  // comes back with its sender waiting for the answer.
  std::optional<PendingReport> Take(const std::string& caption);

 private:
  void CloseConnection();

  int connection_ = -1;
  std::vector<uint8_t> header_;
  std::optional<ReportRequest> request_;  // once the header is whole
  size_t dataLength_ = 0;
  bool complete_ = false;
};

class ReportReceiver {
 public:
  ReportReceiver() = default;
  ~ReportReceiver();
  ReportReceiver(const ReportReceiver&) = delete;
  ReportReceiver& operator=(const ReportReceiver&) = delete;

  // Listens on the endpoint of this number; a stale endpoint left by a dead receiver is taken
  // over, a live one is not. False also when the folder is not the user's own or open to others.
  bool Listen(int32_t number);
  // Listens on a free number of its own choosing.
  bool ListenAny();
  void Close();

  int32_t number() const { return number_; }
  // The listening socket, for an event loop that wants to know when to call Next(0).
  int fd() const { return listener_; }

  // The text that caption questions are answered with.
  void SetCaption(const std::string& caption) { caption_ = caption; }
  const std::string& caption() const { return caption_; }

  // The next connection that waits to be taken, without waiting for one.
  std::optional<ReportConnection> Accept();

  // Waits up to timeoutMs for the next request. Caption questions and bare connection probes are
  // handled here and not returned.
  std::optional<PendingReport> Next(uint32_t timeoutMs);

  // Answers every request that arrives within timeoutMs (until one wait runs out) with the
  // handler's result; returns how many were handled.
  int Dispatch(const std::function<uint32_t(const ReportRequest&)>& handler, uint32_t timeoutMs);

 private:
  int listener_ = -1;
  int32_t number_ = 0;
  std::string path_;
  std::string caption_;
};

}  // namespace platform
