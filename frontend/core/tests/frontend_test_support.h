#pragma once
// What the front end's tests share: a program starter that only records, the Qt application on
// the offscreen platform, and waiting on the event loop with a generous deadline.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "frontend/core/console_lines.h"
#include "frontend/core/launcher.h"
#include "frontend/core/program_starter.h"
#include "platform/gui/qt_application.h"
#include "platform/system/command_text.h"
#include "testsupport/file_contents.h"

namespace frontend_testing {

class FakeStarter : public frontend::ProgramStarter {
 public:
  struct Recorded {
    std::string text;
    std::string directory;
    std::string currentDirectory;  // the process's own when the start was asked for
  };

  platform::ProgramStart Start(const std::string& text, const std::string& directory) override {
    char here[4096];
    starts.push_back({text, directory, getcwd(here, sizeof here) ? here : ""});
    platform::ProgramStart result;
    result.started = succeed;
    result.processId = succeed ? processId : 0;
    result.error = succeed ? 0 : 2;
    return result;
  }

  bool succeed = true;
  int processId = 4321;  // 0: a program nobody can watch
  std::vector<Recorded> starts;
};

// The command text the tool reads once the launcher has started the command: mapped to the
// program, split into arguments and put together again by the tool. Empty when no tool is named.
inline std::string TextTheToolReads(const frontend::FrontEnd& frontEnd, std::string command) {
  if (!frontend::MapToolCommand(frontEnd, command, false)) return "";
  const std::vector<std::string> words = platform::SplitCommandWords(command);
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  return platform::BuildCommandText(static_cast<int>(argv.size()), argv.data());
}

inline bool EnsureApplication() { return platform::MakeGuiApplication(); }

// One second of an 8-bit mono square wave at 11025 Hz, as a WAV file of 44 + 11025 bytes.
inline void WriteSquareWave(const std::string& path) {
  std::vector<uint8_t> samples(11025);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 20) % 2 ? 200 : 56;
  testsupport::WriteWavFile(path, 11025, 1, 8, samples);
}

// Runs the event loop until the condition holds or the deadline passes.
inline bool PumpEventsUntil(const std::function<bool()>& condition, int deadlineMs = 60000) {
  QTimer wake;
  wake.start(10);
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > deadlineMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// Waits until a console line begins with the text; false (and the console in `shown`) when none
// did by the deadline.
inline bool WaitForConsoleLine(const frontend::ConsoleLines& console, const std::string& start,
                               std::string& shown) {
  const bool found = PumpEventsUntil([&console, &start] {
    for (const std::string& line : console.lines()) {
      if (line.rfind(start, 0) == 0) return true;
    }
    return false;
  });
  shown.clear();
  for (const std::string& line : console.lines()) shown += line + "\n";
  return found;
}

}  // namespace frontend_testing
