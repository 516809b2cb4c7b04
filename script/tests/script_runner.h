#pragma once
// Runs scripts that a test writes inline, in this process, with the message boxes scripted: the
// exit code, every message box, and the context afterwards (its variables, its slots). Scripts
// run in the program's default playback window.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/face/dialogs.h"
#include "testsupport/scratch_directory.h"
#include "player/player_window.h"
#include "script/commands/command_context.h"
#include "script/script_program.h"
#include "testsupport/wait_until.h"

// For a file that a started program writes: true once it exists.
inline bool WaitForFile(const std::string& path) {
  return testsupport::WaitUntil([&] { return std::filesystem::exists(path); });
}

struct ScriptRun {
  ScriptRun() = default;
  ScriptRun(ScriptRun&&) = default;
  ScriptRun& operator=(ScriptRun&&) = default;
  // A window the script left open goes with its run.
  ~ScriptRun() {
    if (context != nullptr) script::CloseScriptWindow(context->screen);
  }

  int exitCode = -1;
  std::vector<platform::DialogRequest> boxes;
  std::unique_ptr<script::CommandContext> context;

  std::string Variable(const std::string& name) const { return context->variables.Get(name); }
  // The text of the last message box, or nothing.
  std::string LastBox() const { return boxes.empty() ? std::string() : boxes.back().text; }
};

class ScriptRunner {
 public:
  // Writes the file into the scratch directory; its full name.
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string path = dir_.File(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string File(const std::string& name) const { return dir_.File(name); }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_.File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Writes the script as "main.ss" and runs it.
  ScriptRun Run(const std::string& text) const { return RunFile(Write("main.ss", text)); }

  ScriptRun RunFile(const std::string& path) const {
    ScriptRun run;
    run.context = NewContext();
    RunFileIn(run, path);
    return run;
  }

  // A context for a run of the test's own, on the clock given.
  static std::unique_ptr<script::CommandContext> NewContext(platform::Clock& clock = platform::SystemClock()) {
    return std::make_unique<script::CommandContext>(DefaultPlaybackWindow(), clock);
  }

  // Runs a further script in the context of an earlier run (its window, bitmaps and variables;
  // files are closed after every run); its message boxes are added to the run's.
  void RunIn(ScriptRun& run, const std::string& text) const { RunFileIn(run, Write("more.ss", text)); }

  // What the following runs' playbacks report to after every frame, and the printer their
  // printer ports' jobs go to; none: the system's.
  script::PlaybackHook playbackHook;
  script::PrintService printer;

  // The answers that the message boxes of the following runs get, in order.
  void Answer(std::vector<platform::DialogAnswer> answers) { answers_ = std::move(answers); }

  // Runs the script file in the context of an earlier run (or one the test made).
  void RunFileIn(ScriptRun& run, const std::string& path) const {
    run.context->screen.playbackHook = playbackHook;
    run.context->system.print.printer = printer;
    platform::ScriptedDialogs dialogs;
    for (platform::DialogAnswer answer : answers_) dialogs.Answer(answer);
    run.exitCode = script::RunCommandScript(*run.context, "\"" + path + "\"");
    run.context->files.CloseAll();
    const auto& asked = dialogs.asked();
    run.boxes.insert(run.boxes.end(), asked.begin(), asked.end());
  }

 private:
  testsupport::ScratchDirectory dir_;
  std::vector<platform::DialogAnswer> answers_;
};
