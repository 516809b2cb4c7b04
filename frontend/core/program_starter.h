#pragma once
// How the front end starts programs: through this interface, so tests can put a fake in place.
#include <string>

#include "platform/system/program_start.h"

namespace frontend {

class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  // Starts the command text (split without a shell) in the directory; never waits for it.
  virtual platform::ProgramStart Start(const std::string& commandText,
                                       const std::string& directory) = 0;
};

class SystemProgramStarter : public ProgramStarter {
 public:
  platform::ProgramStart Start(const std::string& commandText,
                               const std::string& directory) override {
    return platform::StartCommandText(commandText, directory);
  }
};

}  // namespace frontend
