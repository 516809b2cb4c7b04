#include "platform/system/report_channel.h"
#include "platform/system/report_wire.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "testsupport/wait_until.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

// How long a receiver waits for a sender that is sure to come: only a hang takes this long.
constexpr uint32_t kWaitForSender = 60000;

// Every test gets endpoints of its own under a scratch runtime directory.
class ReportChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "report-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old) oldRuntime_ = old;
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    if (oldRuntime_.empty()) {
      unsetenv("XDG_RUNTIME_DIR");
    } else {
      setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
    }
    fs::remove_all(dir_);
  }

  // Runs `body` in a child process; its result becomes the exit status.
  template <class Body>
  pid_t Child(Body body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
  }
  static int ExitStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The child's exit status once it ends; -1 (and the child stopped) when it hangs.
  static int ExitStatusUnlessHung(pid_t pid) {
    int status = 0;
    const bool ended = testsupport::WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string dir_;
  std::string oldRuntime_;
};

TEST_F(ReportChannel, DataReportArrivesByteExactAndTheSenderGetsTheAnswer) {
  ReportReceiver receiver;
  ASSERT_TRUE(receiver.ListenAny());
  const int32_t number = receiver.number();
  const std::string text("VantC - V3.0k\r\n  Created a.vnt in 1 second.\0", 43);

  const pid_t child = Child([&] {
    auto answer = SendReportData(number, kStatusReportKind, text.data(), text.size(), 4711);
    return answer == std::optional<uint32_t>(1) ? 0 : 1;
  });
  std::optional<PendingReport> report = receiver.Next(kWaitForSender);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->request().type, ReportRequestType::Data);
  EXPECT_EQ(report->request().code, kStatusReportKind);
  EXPECT_EQ(report->request().wParam, 4711u);
  EXPECT_EQ(std::string(report->request().data.begin(), report->request().data.end()), text);
  report->Reply(1);
  EXPECT_EQ(ExitStatus(child), 0);
}

TEST_F(ReportChannel, MessagesAndTheCaptionQuestion) {
  ReportReceiver receiver;
  ASSERT_TRUE(receiver.ListenAny());
  receiver.SetCaption("Vantrel for Windows - Main");
  const int32_t number = receiver.number();

  // The player's exchange: the caption, then 10019, then the restore notice, then "done" (1).
  const pid_t child = Child([&] {
    if (AskReportCaption(number) != std::optional<std::string>("Vantrel for Windows - Main")) {
      return 1;
    }
    if (SendReportMessage(number, kFrontEndQueryMessage, 0, 0) != kFrontEndQueryDecline) return 2;
    if (SendReportMessage(number, kRestoreNoticeMessage, 0, 0) != 0u) return 3;
    SendReportMessage(number, 1, 5, 6);
    return 0;
  });
  std::vector<uint32_t> seen;
  for (;;) {
    std::optional<PendingReport> message = receiver.Next(kWaitForSender);
    ASSERT_TRUE(message);
    ASSERT_EQ(message->request().type, ReportRequestType::Message);
    seen.push_back(message->request().code);
    if (message->request().code == kFrontEndQueryMessage) message->Reply(kFrontEndQueryDecline);
    if (message->request().code == 1) {
      EXPECT_EQ(message->request().wParam, 5u);
      EXPECT_EQ(message->request().lParam, 6u);
      break;
    }
    // The restore notice goes unanswered and is answered with 0 when dropped.
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{kFrontEndQueryMessage, kRestoreNoticeMessage, 1}));
  EXPECT_EQ(ExitStatus(child), 0);
}

// Missing and dead receivers fail at once: with a timeout far beyond the test's safety deadline,
// a sender that waited for it would count as hung.
TEST_F(ReportChannel, MissingOrDeadReceiverNeverHangsTheSender) {
  constexpr uint32_t kNeverReached = 24 * 3600 * 1000;
  // A socket file whose owner died without removing it.
  ASSERT_TRUE(report_wire::MakePrivateFolder(report_wire::ReportFolder()));
  const std::string stale = ReportEndpointPath(777);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, stale.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  close(fd);

  const pid_t child = Child([&] {
    if (SendReportData(12345, kStatusReportKind, "x", 2, 1, kNeverReached)) return 1;
    if (ReportEndpointExists(12345)) return 2;
    if (SendReportMessage(0, kRestoreNoticeMessage, 0, 0, kNeverReached)) return 3;  // no number at all
    if (SendReportMessage(777, kRestoreNoticeMessage, 0, 0, kNeverReached)) return 4;
    return 0;
  });
  EXPECT_EQ(ExitStatusUnlessHung(child), 0);

  // A new receiver takes the stale endpoint over.
  ReportReceiver receiver;
  EXPECT_TRUE(receiver.Listen(777));
  EXPECT_TRUE(ReportEndpointExists(777));
  receiver.Close();
  EXPECT_FALSE(fs::exists(stale));
}

// The sender gives up once its timeout has passed, and not before.
TEST_F(ReportChannel, BusyReceiverRunsIntoTheTimeout) {
  ReportReceiver receiver;  // listens, but nobody takes its requests
  ASSERT_TRUE(receiver.ListenAny());
  const int32_t number = receiver.number();
  const pid_t child = Child([&] {
    const auto start = std::chrono::steady_clock::now();
    if (SendReportMessage(number, kRestoreNoticeMessage, 0, 0, 300)) return 1;
    // The timeout counts in whole milliseconds: a sender may end a few before 300.
    return std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(290) ? 0 : 2;
  });
  EXPECT_EQ(ExitStatusUnlessHung(child), 0);
}

TEST_F(ReportChannel, ProbesAndGarbageAreNotDelivered) {
  ReportReceiver receiver;
  ASSERT_TRUE(receiver.ListenAny());
  const int32_t number = receiver.number();
  EXPECT_TRUE(ReportEndpointExists(number));

  const int raw = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, ReportEndpointPath(number).c_str());
  ASSERT_EQ(connect(raw, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  const char garbage[40] = "not a request at all, but long enough";
  ASSERT_EQ(write(raw, garbage, sizeof(garbage)), static_cast<ssize_t>(sizeof(garbage)));
  close(raw);

  std::thread sender([&] { SendReportMessage(number, kRestoreNoticeMessage, 0, 0); });
  // The first request delivered is the real one.
  std::optional<PendingReport> report = receiver.Next(kWaitForSender);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->request().code, kRestoreNoticeMessage);
  report->Reply(1);
  sender.join();
}

TEST_F(ReportChannel, EndpointsAreTakenOnce) {
  ReportReceiver first;
  ReportReceiver second;
  ASSERT_TRUE(first.ListenAny());
  EXPECT_FALSE(second.Listen(first.number()));  // alive, so not taken over
  ASSERT_TRUE(second.ListenAny());
  EXPECT_NE(second.number(), first.number());
  EXPECT_GT(second.number(), 0);
}

TEST_F(ReportChannel, EndpointNamesFollowTheRuntimeDirectory) {
  EXPECT_EQ(ReportEndpointPath(42), dir_ + "/vant/report-42");
  EXPECT_EQ(ReportEndpointPath(0), "");
  EXPECT_EQ(ReportEndpointPath(-3), "");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(ReportEndpointPath(42), "/tmp/vant-" + std::to_string(geteuid()) + "/report-42");
}

// The receiver makes a folder of the user's own, closed to others, under the runtime directory
// or /tmp, and takes its socket away when it closes.
TEST_F(ReportChannel, ReceiverListensInAFolderOfItsOwnAndLeavesNothingBehind) {
  for (const bool runtimeDirectory : {true, false}) {
    SCOPED_TRACE(runtimeDirectory);
    if (!runtimeDirectory) unsetenv("XDG_RUNTIME_DIR");
    ReportReceiver receiver;
    ASSERT_TRUE(receiver.ListenAny());
    const std::string socketPath = ReportEndpointPath(receiver.number());
    const std::string folder = socketPath.substr(0, socketPath.rfind('/'));
    EXPECT_EQ(folder, runtimeDirectory ? dir_ + "/vant" : "/tmp/vant-" + std::to_string(geteuid()));
    struct stat info {};
    ASSERT_EQ(lstat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, geteuid());
    EXPECT_TRUE(ReportEndpointExists(receiver.number()));
    receiver.Close();
    EXPECT_FALSE(fs::exists(socketPath));
  }
}

// What another user could have made or changed is never talked to, and a receiver does not
// settle in it. A folder that is open to others or is a link is refused; so is one of another
// user, and a socket of another user (these two only where the test may give files away).
TEST_F(ReportChannel, FoldersAndSocketsNotTheUsersOwnAreRefused) {
  const std::string folder = dir_ + "/vant";
  const std::string elsewhere = dir_ + "/elsewhere";
  const bool mayGiveAway = geteuid() == 0;
  constexpr uid_t kNobody = 65534;
  struct Case {
    const char* name;
    std::function<void(const std::string& socketPath)> spoil, mend;
    bool needsGivingAway;
  };
  const std::vector<Case> cases = {
      {"folder open to others", [&](const std::string&) { EXPECT_EQ(chmod(folder.c_str(), 0755), 0); },
       [&](const std::string&) { EXPECT_EQ(chmod(folder.c_str(), 0700), 0); }, false},
      {"folder that is a link",
       [&](const std::string&) {
         EXPECT_EQ(rename(folder.c_str(), elsewhere.c_str()), 0);
         EXPECT_EQ(symlink(elsewhere.c_str(), folder.c_str()), 0);
       },
       [&](const std::string&) {
         EXPECT_EQ(unlink(folder.c_str()), 0);
         EXPECT_EQ(rename(elsewhere.c_str(), folder.c_str()), 0);
       },
       false},
      {"folder of another user",
       [&](const std::string&) { EXPECT_EQ(lchown(folder.c_str(), kNobody, kNobody), 0); },
       [&](const std::string&) { EXPECT_EQ(lchown(folder.c_str(), geteuid(), getegid()), 0); }, true},
      {"socket of another user",
       [&](const std::string& path) { EXPECT_EQ(lchown(path.c_str(), kNobody, kNobody), 0); },
       [&](const std::string& path) { EXPECT_EQ(lchown(path.c_str(), geteuid(), getegid()), 0); }, true},
  };
  ReportReceiver receiver;
  ASSERT_TRUE(receiver.ListenAny());
  const int32_t number = receiver.number();
  const std::string socketPath = ReportEndpointPath(number);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsGivingAway && !mayGiveAway) continue;
    c.spoil(socketPath);
    EXPECT_FALSE(ReportEndpointExists(number));
    EXPECT_FALSE(SendReportMessage(number, kRestoreNoticeMessage, 0, 0, 1000));
    ReportReceiver other;
    if (std::string(c.name).rfind("folder", 0) == 0) {
      EXPECT_FALSE(other.ListenAny());
    }
    c.mend(socketPath);
    EXPECT_TRUE(ReportEndpointExists(number));  // the same endpoint, once it is the user's again
  }
}

}  // namespace

namespace {

using report_wire::EncodeRequest;

// A request handed over in pieces is whole only with its last byte; a malformed one, or a
// sender that hangs up early, fails at once rather than being waited for.
TEST(ReportConnectionReading, RequestsAreReadAsTheyArrive) {
  const std::string text = "VantC - V3.0k\r\n  Done";
  const std::vector<uint8_t> report =
      EncodeRequest(1, kStatusReportKind, 7, 0, text.data(), text.size());
  const std::vector<uint8_t> caption = EncodeRequest(3, 0, 0, 0, nullptr, 0);
  std::vector<uint8_t> badMagic = report;
  badMagic[0] ^= 0xFF;
  std::vector<uint8_t> tooLong = EncodeRequest(1, kStatusReportKind, 0, 0, nullptr, 0);
  tooLong[32] = 0xFF, tooLong[33] = 0xFF, tooLong[34] = 0xFF;  // over the data limit
  using Progress = ReportConnection::Progress;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<size_t> pieces;  // sizes of the writes; the rest is written last
    bool hangUp;                 // the sender closes after its bytes
    Progress last;
  } cases[] = {
      {"whole", report, {}, false, Progress::Complete},
      {"header split", report, {1, 20}, false, Progress::Complete},
      {"data split", report, {36, 3, 5}, false, Progress::Complete},
      {"caption", caption, {10}, false, Progress::Complete},
      {"header only so far", std::vector<uint8_t>(report.begin(), report.begin() + 36), {}, false,
       Progress::Waiting},
      {"nothing sent", {}, {}, false, Progress::Waiting},
      {"bare probe", {}, {}, true, Progress::Failed},
      {"hung up inside the data", std::vector<uint8_t>(report.begin(), report.end() - 2), {}, true,
       Progress::Failed},
      {"bad magic", badMagic, {}, false, Progress::Failed},
      {"too long", tooLong, {}, false, Progress::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
    ReportConnection connection(pair[0]);
    size_t sent = 0;
    for (size_t piece : c.pieces) {
      ASSERT_EQ(write(pair[1], c.bytes.data() + sent, piece), static_cast<ssize_t>(piece));
      sent += piece;
      EXPECT_EQ(connection.ReadAvailable(), Progress::Waiting);
    }
    const size_t rest = c.bytes.size() - sent;
    if (rest > 0) {
      ASSERT_EQ(write(pair[1], c.bytes.data() + sent, rest), static_cast<ssize_t>(rest));
    }
    if (c.hangUp) close(pair[1]);
    EXPECT_EQ(connection.ReadAvailable(), c.last);
    if (c.last == Progress::Complete) {
      std::optional<PendingReport> pending = connection.Take("Vantrel for Windows");
      uint8_t reply[64];
      if (c.bytes == caption) {
        EXPECT_FALSE(pending);
        const ssize_t got = read(pair[1], reply, sizeof reply);
        ASSERT_EQ(got, 12 + 19);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(reply) + 12, 19), "Vantrel for Windows");
      } else {
        ASSERT_TRUE(pending);
        EXPECT_EQ(pending->request().wParam, 7u);
        EXPECT_EQ(std::string(pending->request().data.begin(), pending->request().data.end()), text);
        pending->Reply(1);
        ASSERT_EQ(read(pair[1], reply, sizeof reply), 12);
        EXPECT_EQ(platform::LoadLE32(reply + 4), 1u);
      }
    }
    if (!c.hangUp) close(pair[1]);
  }
}

}  // namespace
