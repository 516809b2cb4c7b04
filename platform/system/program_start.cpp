#include "platform/system/program_start.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform {
namespace {

bool IsWordBreak(char c) { return c == ' ' || c == '\t'; }

bool IsExecutableFile(const std::string& name) {
  struct stat info {};
  return stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(name.c_str(), X_OK) == 0;
}

std::string WithoutExeExtension(const std::string& word) {
  if (word.size() > 4) {
    std::string tail = word.substr(word.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == ".exe") return word.substr(0, word.size() - 4);
  }
  return word;
}

// The children tell the starter through a pipe, one two-int note each (a write this small is
// atomic): the middle child the program's process id, the program's own side an errno when it
// could not be started. An exec that works closes the pipe without a note.
enum StartNote : int { kProgramId = 1, kStartError = 2 };

void WriteNote(int fd, int kind, int value) {
  const int note[2] = {kind, value};
  ssize_t ignored = write(fd, note, sizeof note);
  (void)ignored;
}

[[noreturn]] void ReportAndExit(int fd, int error) {
  WriteNote(fd, kStartError, error);
  _exit(127);
}

// Reads every note until the pipe closes.
void ReadNotes(int fd, ProgramStart& result, bool& failed) {
  int note[2];
  size_t got = 0;
  char* bytes = reinterpret_cast<char*>(note);
  for (;;) {
    const ssize_t n = read(fd, bytes + got, sizeof note - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    got += static_cast<size_t>(n);
    if (got < sizeof note) continue;
    got = 0;
    if (note[0] == kProgramId) result.processId = note[1];
    if (note[0] == kStartError) {
      failed = true;
      result.error = note[1];
    }
  }
}

}  // namespace

std::vector<std::string> SplitCommandWords(const std::string& text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsWordBreak(text[i])) ++i;
    if (i >= text.size()) break;
    std::string word;
    bool quoted = false;
    while (i < text.size() && (quoted || !IsWordBreak(text[i]))) {
      if (text[i] == '"') quoted = !quoted;
      word += text[i++];
    }
    // One quoted text as a whole is a name: it loses its quotes.
    if (word.size() >= 2 && word.front() == '"' && word.back() == '"' &&
        word.find('"', 1) == word.size() - 1) {
      word = word.substr(1, word.size() - 2);
    }
    words.push_back(word);
  }
  return words;
}

std::string OwnProgramPath() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n <= 0 ? std::string() : std::string(path, static_cast<size_t>(n));
}

std::string OwnProgramDirectory() {
  const std::string own = OwnProgramPath();
  if (own.empty()) return ".";
  const size_t slash = own.rfind('/');
  return slash == 0 ? "/" : own.substr(0, slash);
}

std::string FindProgram(const std::string& givenWord) {
  // A path names its file: a bound player written as "intro.exe" is started under that name.
  if (givenWord.find('/') != std::string::npos && IsExecutableFile(givenWord)) return givenWord;
  const std::string word = WithoutExeExtension(givenWord);
  if (word.empty()) return "";
  if (word.find('/') != std::string::npos) return IsExecutableFile(word) ? word : "";
  const std::string own = OwnProgramDirectory() + "/" + word;
  if (IsExecutableFile(own)) return own;
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    // An empty entry is the working directory.
    const std::string folder = end > start ? folders.substr(start, end - start) : std::string(".");
    const std::string candidate = folder + "/" + word;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

ProgramStart StartProgramDetached(const std::vector<std::string>& words,
                                  const std::string& directory) {
  ProgramStart result;
  if (words.empty()) {
    result.error = ENOENT;
    return result;
  }
  const std::string program = FindProgram(words[0]);
  if (program.empty()) {
    result.error = ENOENT;
    return result;
  }
  // Everything the children need is made before fork: after it only async-signal-safe calls.
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  std::string first = WithoutExeExtension(words[0]);
  argv.push_back(first.data());
  for (size_t i = 1; i < words.size(); ++i) argv.push_back(const_cast<char*>(words[i].c_str()));
  argv.push_back(nullptr);
  const char* folder = directory.empty() ? nullptr : directory.c_str();

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    result.error = errno;
    return result;
  }
  const pid_t middle = fork();
  if (middle < 0) {
    result.error = errno;
    close(report[0]);
    close(report[1]);
    return result;
  }
  if (middle == 0) {
    // The middle child only forks again and ends, so the program is adopted by init and never
    // becomes our zombie.
    close(report[0]);
    const pid_t program_pid = fork();
    if (program_pid < 0) ReportAndExit(report[1], errno);
    if (program_pid > 0) {
      WriteNote(report[1], kProgramId, program_pid);
      _exit(0);
    }
    setsid();
    // Our own descriptors (report endpoints, windows) are not the program's business.
    syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
    if (folder && chdir(folder) != 0) ReportAndExit(report[1], errno);
    execve(program.c_str(), argv.data(), environ);
    ReportAndExit(report[1], errno);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  bool failed = false;
  ReadNotes(report[0], result, failed);
  close(report[0]);
  result.started = !failed && result.processId > 0;
  if (!result.started) result.processId = 0;
  if (!result.started && result.error == 0) result.error = ECHILD;
  return result;
}

ProgramStart StartCommandText(const std::string& text, const std::string& directory) {
  return StartProgramDetached(SplitCommandWords(text), directory);
}

}  // namespace platform
