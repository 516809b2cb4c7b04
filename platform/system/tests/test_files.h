#pragma once
// Small file helpers for the file-system layer's tests.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace testfiles {

inline void WriteFile(const std::string& name, const std::string& contents) {
  std::ofstream(name, std::ios::binary) << contents;
}

inline bool SetTimes(const std::string& name, timespec access, timespec modify) {
  const timespec times[2] = {access, modify};
  return utimensat(AT_FDCWD, name.c_str(), times, 0) == 0;
}

// Runs `work` in a child process (as the user "nobody" when we are root and `unprivileged` is
// set, so that permissions count) and returns the text it gave back.
inline std::string TextFromChild(const std::function<std::string()>& work,
                                 bool unprivileged = false) {
  int channel[2];
  if (pipe(channel) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    const bool dropped =
        !unprivileged || geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
    const std::string text = dropped ? work() : "cannot drop privileges";
    _exit(write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(channel[1]);
  std::string text;
  char block[256];
  for (ssize_t got; (got = read(channel[0], block, sizeof block)) > 0;) text.append(block, got);
  close(channel[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return "child failed";
  return text;
}

}  // namespace testfiles
