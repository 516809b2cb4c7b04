#pragma once
// What the program's arguments ask for at start, and the settings it starts from.
#include <string>
#include <vector>

#include "frontend/core/settings.h"

namespace frontend {

// What the program's arguments may be, as its usage says.
inline constexpr const char* kStartUpUsage =
    "Syntax:  vantrelw  [Batch.sbt] [Settings[.INI]]\n"
    "\n"
    "Batch.sbt is a batch file to run on the Command tab at start.\n"
    "Settings names the settings file (\"Vantrel.INI\" when none is given): a bare name lies in\n"
    "$XDG_CONFIG_HOME/vant (~/.config/vant), a name with a directory part is used as given.";

struct StartUpArguments {
  // Where the settings are written at close (read at start when it holds [VantMain] CurrentTab).
  std::string settingsPath;
  // A batch given on the command line, to run on the Command tab (quoted); empty when none.
  std::string pendingCommand;
};

// From the first argument on: a ".sbt" name (any case) becomes the pending command, a later one
// replacing an earlier one; the first other argument names the settings file and ends the scan.
StartUpArguments ScanStartUpArguments(const std::vector<std::string>& arguments);

// The settings to start with: the defaults that depend on the run (program and console
// directories), then the named file when it holds [VantMain] CurrentTab, else the default
// file. A console directory that cannot be entered gives way to the current directory.
Settings LoadStartUpSettings(const StartUpArguments& arguments, const std::string& programDirectory,
                             const std::string& currentDirectory);

// Writes the record into the file, keeping what else the file holds; false when it could not
// be written, with the system's reason (an errno) in `error` when one is given.
bool SaveSettingsFile(const std::string& path, const Settings& settings, int* error = nullptr);

}  // namespace frontend
