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

inline ProgramResult RunProgram(const std::string& name, const std::vector<std::string>& arguments,
                                rlim_t fileSizeLimit = RLIM_INFINITY) {
  ProgramResult result;
  const char* folder = std::getenv("VANT_BIN_DIR");
  if (!folder) return result;
  const std::string program = std::string(folder) + "/" + name;
  char errorsName[] = "/tmp/vant-program-XXXXXX";
  const int errors = mkstemp(errorsName);
  if (errors < 0) return result;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
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
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  }
  close(errors);
  std::ifstream in(errorsName, std::ios::binary);
  result.errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  unlink(errorsName);
  return result;
}

}  // namespace testing_programs
