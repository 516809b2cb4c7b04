#pragma once
// Runs one of the built programs (from VANT_BIN_DIR) as a process without a display, so that its
// status window takes its console face; optionally with a limit on the size of the files it
// writes, which makes writes fail as on a full disk.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_programs {

struct ProgramResult {
  int exitCode = -1;   // -1 when the program did not run or did not exit
  std::string errors;  // what it wrote to standard error
};

// A program started and not yet waited for.
struct StartedProgram {
  pid_t pid = -1;
  std::string errorsName;  // the file its standard error goes to
};

inline StartedProgram StartProgram(const std::string& name, const std::vector<std::string>& arguments,
                                   rlim_t fileSizeLimit = RLIM_INFINITY) {
  StartedProgram started;
  const char* folder = std::getenv("VANT_BIN_DIR");
  if (!folder) return started;
  const std::string program = std::string(folder) + "/" + name;
  char errorsName[] = "/tmp/vant-program-XXXXXX";
  const int errors = mkstemp(errorsName);
  if (errors < 0) return started;
  started.errorsName = errorsName;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  started.pid = fork();
  if (started.pid == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    dup2(errors, 2);
    if (fileSizeLimit != RLIM_INFINITY) {
      signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
      const rlimit limit{fileSizeLimit, fileSizeLimit};
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

inline ProgramResult RunProgram(const std::string& name, const std::vector<std::string>& arguments,
                                rlim_t fileSizeLimit = RLIM_INFINITY) {
  return WaitProgram(StartProgram(name, arguments, fileSizeLimit));
}

}  // namespace testing_programs
