#pragma once
// Runs scripts that a test writes inline, in this process, with the message boxes scripted: the
// exit code, every message box, and the context afterwards (its variables, its slots).
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/dialogs.h"
#include "scratch_directory.h"
#include "script/script_context.h"
#include "script/script_program.h"

struct ScriptRun {
  int exitCode = -1;
  std::vector<platform::DialogRequest> boxes;
  std::unique_ptr<script::ScriptContext> context;

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
    platform::ScriptedDialogs dialogs;
    ScriptRun run;
    run.context = std::make_unique<script::ScriptContext>();
    run.exitCode = script::RunCommandScript(*run.context, "\"" + path + "\"");
    run.context->files.CloseAll();
    run.boxes = dialogs.asked();
    return run;
  }

 private:
  testsupport::ScratchDirectory dir_;
};
