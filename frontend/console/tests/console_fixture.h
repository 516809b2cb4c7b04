#pragma once
// A front end with the full console on a scratch console directory, for the console's tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "frontend/console/console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "testsupport/scratch_directory.h"

namespace frontend_testing {

inline void Write(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class ConsoleTest : public ::testing::Test {
 protected:
  ConsoleTest() : frontEnd_(starter_) {
    frontEnd_.settings.main.directory = scratch_.File("program");
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.SetInterpreter(std::make_unique<frontend::Console>());
    std::filesystem::create_directories(scratch_.File("program"));
  }
  // The analysis window the console opens.
  frontend::AnalysisWindows& Analysis() { return static_cast<frontend::Console&>(frontEnd_.interpreter()).analysis(); }
  void SetUp() override { ASSERT_TRUE(EnsureApplication()); }

  // Runs the command behind a fresh prompt; gives the lines from the prompt's on, the prompt
  // taken off the first.
  std::vector<std::string> Run(const std::string& command, bool* notBuiltIn = nullptr) {
    frontEnd_.console.Append(frontEnd_.Prompt());
    const size_t first = frontEnd_.console.lines().size() - 1;
    const std::string prompt = frontEnd_.Prompt();
    const bool result = frontEnd_.interpreter().RunBuiltinCommand(frontEnd_, command);
    if (notBuiltIn) *notBuiltIn = result;
    const std::vector<std::string>& lines = frontEnd_.console.lines();
    std::vector<std::string> out(lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines.size())), lines.end());
    if (!out.empty() && out.front().rfind(prompt, 0) == 0) out.front() = out.front().substr(prompt.size());
    return out;
  }

  std::string Path(const std::string& name) const { return scratch_.File(name); }

  testsupport::ScratchDirectory scratch_;
  FakeStarter starter_;
  frontend::FrontEnd frontEnd_;
};

}  // namespace frontend_testing
