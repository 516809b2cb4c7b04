#include "bench/speed_files.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/gif_clip.h"
#include "toolsupport/picture/flic_writer.h"

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
// waits for a person; the settings replace variables of their names.
std::vector<char*> ConsoleEnvironment(std::vector<std::string>& settings) {
  std::vector<char*> variables;
  auto named = [](const char* variable, const std::string& setting) {
    const size_t length = setting.find('=') + 1;
    return std::strncmp(variable, setting.c_str(), length) == 0;
  };
  for (char** v = environ; *v != nullptr; ++v) {
    if (std::strncmp(*v, "DISPLAY=", 8) == 0 || std::strncmp(*v, "WAYLAND_DISPLAY=", 16) == 0 ||
        std::strncmp(*v, "QT_QPA_PLATFORM=", 16) == 0) {
      continue;
    }
    bool replaced = false;
    for (const std::string& setting : settings) replaced = replaced || named(*v, setting);
    if (!replaced) variables.push_back(*v);
  }
  for (std::string& setting : settings) variables.push_back(setting.data());
  variables.push_back(nullptr);
  return variables;
}

}  // namespace

bool WriteClipInputs(const std::string& folder, ClipFiles& files) {
  std::string stem = folder + "/" + files.name;
  for (char& c : stem) c = c == ' ' ? '-' : c;
  files.gif = stem + ".gif";
  files.flic = stem + ".flc";
  files.video = stem + ".vnt";
  files.exactVideo = stem + "-exact.vnt";
  files.optimisedGif = stem + "-optimised.gif";
  return WriteCroppedGif(files.gif, files.clip, 100 / kClipFramesPerSecond) && WriteFlicClip(files.flic, files.clip);
}

double RunTimed(const std::vector<std::string>& words, double* cpuSeconds, const std::string& output,
                const std::vector<std::string>& settings, int* exitCode) {
  std::vector<std::string> copies = words;
  std::vector<char*> arguments;
  for (std::string& word : copies) arguments.push_back(word.data());
  arguments.push_back(nullptr);
  std::vector<std::string> settingCopies = settings;
  std::vector<char*> environment = ConsoleEnvironment(settingCopies);

  const std::string target = output.empty() ? "/dev/null" : output;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const auto started = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, copies[0].c_str(), &actions, nullptr, arguments.data(), environment.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  struct rusage usage {};
  if (wait4(child, &status, 0, &usage) != child) return -1;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!WIFEXITED(status)) return -1;
  if (exitCode) {
    *exitCode = WEXITSTATUS(status);
  } else if (WEXITSTATUS(status) != 0) {
    return -1;
  }
  if (cpuSeconds) {
    *cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return seconds;
}

double RunCompressor(const std::string& program, const ClipFiles& files, const std::string& output,
                     const std::vector<std::string>& switches, double* cpuSeconds,
                     const std::vector<std::string>& settings) {
  // /O only allows replacing the previous run's output; it changes nothing in the coding.
  std::vector<std::string> words = {program, files.flic, output, "/O"};
  words.insert(words.end(), switches.begin(), switches.end());
  return RunTimed(words, cpuSeconds, {}, settings);
}

double RunGifOptimiser(const std::string& program, const ClipFiles& files, double* cpuSeconds) {
  return RunTimed({program, "-O3", files.gif, "-o", files.optimisedGif}, cpuSeconds);
}

std::string FindOnPath(const std::string& name) {
  const char* path = getenv("PATH");
  std::string folders = path ? path : "";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace speedbench
