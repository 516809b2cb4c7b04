#include "platform/system/report_wire.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace platform::report_wire {

namespace {

// A directory (not a link to one) of this user's own that nobody else may enter.
bool IsPrivateFolder(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
         (info.st_mode & 077) == 0;
}

// Waits until the socket is ready for `events`; false when the deadline passed first.
bool WaitFor(int fd, short events, const Deadline& deadline) {
  for (;;) {
    pollfd waiting{fd, events, 0};
    const int ready = poll(&waiting, 1, deadline.RemainingMs());
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace

int Deadline::RemainingMs() const {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      end_ - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::vector<uint8_t> EncodeRequest(uint32_t type, uint32_t code, uint64_t wParam, uint64_t lParam,
                                   const void* data, size_t size) {
  std::vector<uint8_t> request;
  AppendLE32(request, kRequestMagic);
  AppendLE32(request, type);
  AppendLE32(request, code);
  AppendLE32(request, 0);
  AppendLE64(request, wParam);
  AppendLE64(request, lParam);
  AppendLE32(request, static_cast<uint32_t>(size));
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (size > 0) request.insert(request.end(), bytes, bytes + size);
  return request;
}

std::string ReportFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] != '\0') return std::string(runtime) + "/vant";
  // /tmp is shared between users: the user id keeps their folders apart.
  return "/tmp/vant-" + std::to_string(geteuid());
}

bool MakePrivateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return IsPrivateFolder(path);
}

int ConnectToOwnEndpoint(const std::string& path, const Deadline& deadline) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0 || !IsPrivateFolder(path.substr(0, slash))) return -1;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) || info.st_uid != geteuid()) return -1;
  return ConnectTo(path, deadline);
}

int ConnectTo(const std::string& path, const Deadline& deadline) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  for (;;) {
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return fd;
    if (errno == EINTR) continue;
    if (errno == EAGAIN && deadline.RemainingMs() > 0) {
      // The receiver's queue is full: it is alive but busy, so try again shortly.
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    if (errno == EINPROGRESS) {
      int error = 0;
      socklen_t length = sizeof(error);
      if (WaitFor(fd, POLLOUT, deadline) &&
          getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
        return fd;
      }
    }
    close(fd);
    return -1;
  }
}

bool SendAll(int fd, const uint8_t* data, size_t size, const Deadline& deadline) {
  while (size > 0) {
    const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
    if (sent > 0) {
      data += sent;
      size -= static_cast<size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(fd, POLLOUT, deadline)) return false;
      continue;
    }
    return false;
  }
  return true;
}

bool ReceiveAll(int fd, uint8_t* data, size_t size, const Deadline& deadline) {
  while (size > 0) {
    const ssize_t got = recv(fd, data, size, 0);
    if (got > 0) {
      data += got;
      size -= static_cast<size_t>(got);
      continue;
    }
    if (got == 0) return false;  // the other end closed
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitFor(fd, POLLIN, deadline)) return false;
      continue;
    }
    return false;
  }
  return true;
}

}  // namespace platform::report_wire
