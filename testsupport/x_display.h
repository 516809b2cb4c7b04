#pragma once
// A private X server (Xvfb) for tests of what happens on a display that a person could see:
// there a message box waits for its answer, unlike on Qt's offscreen platform. Windows are found
// by their titles with xwininfo. Where Xvfb or xwininfo is missing, running() or
// CanFindWindows() says so and the test skips that part.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "testsupport/wait_until.h"

namespace testsupport {

class XDisplay {
 public:
  XDisplay() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      const int told = dup(ends[1]);  // without close-on-exec: Xvfb writes its number there
      const std::string fd = std::to_string(told);
      // -noreset: the server stays up between programs instead of starting over when the last
      // one leaves, which would turn the next one away for a moment.
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset", "-screen", "0",
             "1024x768x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ends[1]);
    std::string number;
    char c = 0;
    pollfd waiting{ends[0], POLLIN, 0};
    while (pid_ > 0 && poll(&waiting, 1, 30000) == 1 && read(ends[0], &c, 1) == 1 && c != '\n') {
      number += c;
    }
    close(ends[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  ~XDisplay() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  bool running() const { return !name_.empty(); }
  const std::string& name() const { return name_; }

  bool CanFindWindows() const { return running() && WindowList().find("root window") != std::string::npos; }

  // True once a window of this title shows on the display. Each look starts xwininfo, so the
  // looks are spaced out.
  bool WaitForWindow(const std::string& title) const {
    return WaitUntil([&] {
      if (WindowList().find('"' + title + '"') != std::string::npos) return true;
      usleep(20000);
      return false;
    });
  }

 private:
  std::string WindowList() const {
    std::string list;
    FILE* listing = popen(("xwininfo -display " + name_ + " -root -tree 2>/dev/null").c_str(), "r");
    if (listing == nullptr) return list;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, listing)) > 0;) list.append(buffer, got);
    pclose(listing);
    return list;
  }

  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace testsupport
