#include "bench/speed_files.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "bench/gif_clip.h"
#include "toolsupport/flic_writer.h"

extern char** environ;

namespace speedbench {
namespace {

bool WriteFlicClip(const std::string& path, const Clip& clip) {
  FlicWriter writer;
  FlicWriterInit(writer);
  bool ok = CreateFlic(writer, path, static_cast<int>(clip.width), static_cast<int>(clip.height),
                       -(100000 / kClipFramesPerSecond));
  for (size_t f = 0; ok && f < clip.frames.size(); ++f) ok = WriteFlicFrame(writer, clip.palette.data(), clip.frames[f].data());
  const bool closed = CloseFlic(writer) > 0 && !writer.error;
  FlicWriterFree(writer);
  return ok && closed;
}

// The environment without a display, so that the program reports on standard error and never
// waits for a person.
std::vector<char*> ConsoleEnvironment() {
  std::vector<char*> variables;
  for (char** v = environ; *v != nullptr; ++v) {
    if (std::strncmp(*v, "DISPLAY=", 8) == 0 || std::strncmp(*v, "WAYLAND_DISPLAY=", 16) == 0 ||
        std::strncmp(*v, "QT_QPA_PLATFORM=", 16) == 0) {
      continue;
    }
    variables.push_back(*v);
  }
  variables.push_back(nullptr);
  return variables;
}

}  // namespace

bool WriteClipInputs(const std::string& folder, ClipFiles& files) {
  files.gif = folder + "/" + files.name + ".gif";
  files.flic = folder + "/" + files.name + ".flc";
  files.video = folder + "/" + files.name + ".vnt";
  return WriteCroppedGif(files.gif, files.clip, 100 / kClipFramesPerSecond) && WriteFlicClip(files.flic, files.clip);
}

double RunCompressor(const std::string& program, const ClipFiles& files, double* cpuSeconds) {
  // /O only allows replacing the previous run's output; it changes nothing in the coding.
  std::vector<std::string> words = {program, files.flic, files.video, "/O"};
  std::vector<char*> arguments;
  for (std::string& word : words) arguments.push_back(word.data());
  arguments.push_back(nullptr);
  std::vector<char*> environment = ConsoleEnvironment();

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto started = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments.data(), environment.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  struct rusage usage {};
  if (wait4(child, &status, 0, &usage) != child) return -1;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  if (cpuSeconds) {
    *cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return seconds;
}

}  // namespace speedbench
