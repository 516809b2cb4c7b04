#include "platform/face/display_env.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Connects without waiting more than a fifth of a second; true when something listens.
bool Connects(int family, const sockaddr* address, socklen_t length) {
  const int socket = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (socket < 0) return false;
  bool connected = ::connect(socket, address, length) == 0;
  if (!connected && errno == EINPROGRESS) {
    pollfd wait{socket, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    connected = ::poll(&wait, 1, 200) == 1 &&
                ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
  ::close(socket);
  return connected;
}

bool ConnectsToLocalSocket(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.empty() || path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() +
                                                  (abstract ? 0 : 1));
  return Connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length);
}

// An X display "[host]:number[.screen]" answers. Only the local machine is tried (its socket, or
// the port a forwarded display listens on); a display on another host is taken on trust rather
// than waited for.
bool XDisplayAnswers(const std::string& display) {
  const size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  char* end = nullptr;
  const long number = std::strtol(display.c_str() + colon + 1, &end, 10);
  if (end == display.c_str() + colon + 1 || number < 0 || number > 59535) return false;
  if (host.empty() || host == "unix") {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    return ConnectsToLocalSocket(socket, true) || ConnectsToLocalSocket(socket, false);
  }
  if (host != "localhost" && host != "127.0.0.1") return true;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(6000 + number));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return Connects(AF_INET, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

// A Wayland display is a socket: an absolute path, or a name in the runtime folder.
bool WaylandDisplayAnswers(const std::string& display) {
  if (display[0] == '/') return ConnectsToLocalSocket(display, false);
  const std::string runtime = Environment("XDG_RUNTIME_DIR");
  return !runtime.empty() && ConnectsToLocalSocket(runtime + "/" + display, false);
}

// The window system would start Qt only to have it abort when the display named does not
// answer (a stale DISPLAY after a remote session, a stopped server): such a run takes the console.
bool DisplayAnswers(const std::string& x, const std::string& wayland) {
  static std::string checkedX, checkedWayland;
  static bool answers = false, checked = false;
  if (!checked || x != checkedX || wayland != checkedWayland) {
    answers = (!x.empty() && XDisplayAnswers(x)) || (!wayland.empty() && WaylandDisplayAnswers(wayland));
    checkedX = x;
    checkedWayland = wayland;
    checked = true;
  }
  return answers;
}

}  // namespace

bool WindowsAvailable() {
  // A platform named outright is Qt's to start, as the tests' offscreen platform is.
  if (!Environment("QT_QPA_PLATFORM").empty()) return true;
  const std::string x = Environment("DISPLAY"), wayland = Environment("WAYLAND_DISPLAY");
  if (x.empty() && wayland.empty()) return false;
  return DisplayAnswers(x, wayland);
}

bool PersonCanAnswer() {
  if (!WindowsAvailable()) return false;
  const std::string platform = Environment("QT_QPA_PLATFORM");
  return platform.rfind("offscreen", 0) != 0 && platform.rfind("minimal", 0) != 0;
}

}  // namespace platform
