#pragma once
// What the front end's tests share: a program starter that only records, the Qt application on
// the offscreen platform, and waiting on the event loop with a generous deadline.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "frontend/console_lines.h"
#include "frontend/program_starter.h"
#include "platform/gui/qt_application.h"

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
    result.processId = succeed ? 4321 : 0;
    result.error = succeed ? 0 : 2;
    return result;
  }

  bool succeed = true;
  std::vector<Recorded> starts;
};

inline bool EnsureApplication() { return platform::MakeGuiApplication(); }

// Runs the event loop until the condition holds or the deadline passes.
inline bool WaitUntil(const std::function<bool()>& condition, int deadlineMs = 60000) {
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
  const bool found = WaitUntil([&console, &start] {
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
