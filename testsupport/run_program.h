#pragma once
// Runs one of the built programs as a process, with its standard error caught in a file. By
// default it runs without a display, so that a status window takes its console face; it may keep
// Qt's offscreen platform or be given an X display instead, and may have a limit on the size of
// the files it writes, which makes writes fail as on a full disk. A started program can be
// stopped by a signal.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "testsupport/wait_until.h"

namespace testsupport {

struct ProgramResult {
  int exitCode = -1;   // -1 when the program did not run or did not exit
  std::string errors;  // what it wrote to standard error
};

struct ProgramOptions {
  rlim_t fileSizeLimit = RLIM_INFINITY;
  bool offscreen = false;  // Qt on its offscreen platform rather than no display at all
  std::vector<std::pair<std::string, std::string>> environment = {};  // set for the program alone
  std::string directory = {};  // where it runs, when not where the test runs
  std::string display = {};  // an X display to show windows on (testsupport/x_display.h)
};

// A program started and not yet waited for.
struct StartedProgram {
  pid_t pid = -1;
  std::string errorsName;  // the file its standard error goes to
};

// A name without a '/' is a program of VANT_BIN_DIR; a path is taken as it stands.
inline std::string ProgramPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* folder = std::getenv("VANT_BIN_DIR");
  return std::string(folder != nullptr ? folder : ".") + "/" + name;
}

inline StartedProgram StartProgram(const std::string& name, const std::vector<std::string>& arguments,
                                   const ProgramOptions& options = {}) {
  StartedProgram started;
  const std::string program = ProgramPath(name);
  const char* temporary = std::getenv("TMPDIR");
  std::string errorsName =
      std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") + "/vant-program-XXXXXX";
  const int errors = mkstemp(errorsName.data());
  if (errors < 0) return started;
  started.errorsName = errorsName;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  started.pid = fork();
  if (started.pid == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    if (!options.display.empty()) {
      setenv("DISPLAY", options.display.c_str(), 1);
      unsetenv("QT_QPA_PLATFORM");
    } else if (options.offscreen) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
      unsetenv("QT_QPA_PLATFORM");
    }
    for (const auto& [variable, value] : options.environment) setenv(variable.c_str(), value.c_str(), 1);
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(126);
    dup2(errors, 2);
    if (options.fileSizeLimit != RLIM_INFINITY) {
      signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
      const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(errors);
  return started;
}

inline ProgramResult WaitProgram(const StartedProgram& started) {
  ProgramResult result;
  int status = 0;
  if (started.pid > 0 && waitpid(started.pid, &status, 0) == started.pid && WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  }
  if (!started.errorsName.empty()) {
    std::ifstream in(started.errorsName, std::ios::binary);
    result.errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    unlink(started.errorsName.c_str());
  }
  return result;
}

// How long a program may take from a stop signal to its end: a second, and more in a sanitized
// build, whose leak check at the exit takes time of its own.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr std::chrono::milliseconds kStopTime{4000};
#else
inline constexpr std::chrono::milliseconds kStopTime{1000};
#endif

// Sends the signal to a started program and waits for its end: its result, and the time from
// the signal to its end. One that is still there after `patience` is killed, so that a test
// fails instead of hanging.
struct StoppedProgram {
  ProgramResult result;
  std::chrono::milliseconds took{};
};

inline StoppedProgram StopProgram(const StartedProgram& started, int signalNumber,
                                  std::chrono::milliseconds patience = std::chrono::seconds(10)) {
  StoppedProgram stopped;
  const auto sent = std::chrono::steady_clock::now();
  kill(started.pid, signalNumber);
  const bool ended = WaitUntil(
      [&] {
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(started.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == started.pid;
      },
      patience);
  stopped.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
  if (!ended) kill(started.pid, SIGKILL);
  stopped.result = WaitProgram(started);
  return stopped;
}

// True once the process catches the signal (its handler is in place).
inline bool CatchesSignal(pid_t pid, int signalNumber) {
  return WaitUntil([&] {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("SigCgt:", 0) != 0) continue;
      const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
      if (caught & (1ull << (signalNumber - 1))) return true;
    }
    return false;
  });
}

inline ProgramResult RunProgram(const std::string& name, const std::vector<std::string>& arguments,
                                const ProgramOptions& options = {}) {
  return WaitProgram(StartProgram(name, arguments, options));
}

}  // namespace testsupport
