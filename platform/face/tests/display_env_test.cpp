#include "platform/face/display_env.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "testsupport/environment_guard.h"
#include "testsupport/scratch_directory.h"

namespace {

// A listening local socket, in the file system or (name starting with '@') the abstract space.
class Listener {
 public:
  explicit Listener(const std::string& name) {
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.data(), name.size());
    const bool abstract = name[0] == '@';
    if (abstract) address.sun_path[0] = '\0';
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() + (abstract ? 0 : 1));
    listening_ = ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(socket_, 4) == 0;
  }
  ~Listener() { ::close(socket_); }
  bool listening() const { return listening_; }

 private:
  int socket_ = -1;
  bool listening_ = false;
};

TEST(DisplayEnvironment, OnlyADisplayThatAnswersCountsAsOne) {
  testsupport::ScratchDirectory dir;
  const int number = 50000 + static_cast<int>(getpid() % 9000);
  Listener x("@/tmp/.X11-unix/X" + std::to_string(number));
  const std::string waylandSocket = dir.path() + "/wayland-test";
  Listener wayland(waylandSocket);
  ASSERT_TRUE(x.listening());
  ASSERT_TRUE(wayland.listening());

  struct Case {
    std::string display;
    std::string waylandDisplay;
    bool available;
  };
  const std::string n = std::to_string(number);
  const Case cases[] = {
      {"", "", false},
      {":" + n, "", true},
      {":" + n + ".0", "", true},
      {"unix:" + n, "", true},
      {":" + std::to_string(number + 1), "", false},  // nothing listens there
      {"localhost:59535", "", false},                             // nor on that port
      {"remote.example:0", "", true},                             // taken on trust, not waited for
      {"not a display", "", false},
      {"", waylandSocket, true},
      {"", dir.path() + "/no-such-socket", false},
      {":", "wayland-test", false},     // a bare name lies in XDG_RUNTIME_DIR, set below to elsewhere
  };
  testsupport::EnvironmentGuard env;
  env.Set("QT_QPA_PLATFORM", nullptr);
  env.Set("XDG_RUNTIME_DIR", "/nonexistent");
  for (const Case& c : cases) {
    env.Set("DISPLAY", c.display.c_str());
    env.Set("WAYLAND_DISPLAY", c.waylandDisplay.c_str());
    EXPECT_EQ(platform::WindowsAvailable(), c.available) << c.display << " / " << c.waylandDisplay;
    EXPECT_EQ(platform::PersonCanAnswer(), c.available) << c.display << " / " << c.waylandDisplay;
  }
  env.Set("XDG_RUNTIME_DIR", dir.path().c_str());
  env.Set("DISPLAY", "");
  env.Set("WAYLAND_DISPLAY", "wayland-test");
  EXPECT_TRUE(platform::WindowsAvailable());
}

}  // namespace
