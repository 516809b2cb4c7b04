#include "frontend/shell/start_up.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "frontend/core/ini_file.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_format.h"
#include "platform/system/file_operations.h"

namespace frontend {
namespace {

constexpr int32_t kNoCurrentTab = 8888;

bool IsBatchName(const std::string& name) {
  return name.size() > 4 && LowerCase(name.substr(name.size() - 4)) == ".sbt";
}

}  // namespace

StartUpArguments ScanStartUpArguments(const std::vector<std::string>& arguments) {
  StartUpArguments result;
  std::string settingsName = kDefaultSettingsName;
  for (const std::string& argument : arguments) {
    if (IsBatchName(argument)) {
      result.pendingCommand = Quoted(argument);
      continue;
    }
    settingsName = argument;
    break;
  }
  result.settingsPath = SettingsPath(settingsName);
  return result;
}

Settings LoadStartUpSettings(const StartUpArguments& arguments, const std::string& programDirectory,
                             const std::string& currentDirectory) {
  Settings settings;
  settings.main.directory = programDirectory;
  settings.command.directory = currentDirectory;
  IniFile file;
  file.Load(arguments.settingsPath);
  if (file.ReadInteger("VantMain", "CurrentTab", kNoCurrentTab) == kNoCurrentTab) {
    file.Load(SettingsPath(kDefaultSettingsName));
  }
  ReadSettings(file, settings);
  std::string& console = settings.command.directory;
  while (console.size() > 1 && console.back() == '/') console.pop_back();
  if (!platform::IsEnterableDirectory(console)) console = currentDirectory;
  if (settings.main.currentTab < 0 || settings.main.currentTab > 7) settings.main.currentTab = 0;
  return settings;
}

bool SaveSettingsFile(const std::string& path, const Settings& settings, int* error) {
  IniFile file;
  struct stat info {};
  // A file that is there but cannot be read is not replaced by one that would lose it.
  if (!file.Load(path) && lstat(path.c_str(), &info) == 0) {
    if (error != nullptr) *error = access(path.c_str(), R_OK) != 0 ? errno : EINVAL;
    return false;
  }
  WriteSettings(settings, file);
  return file.Save(path, error);
}

}  // namespace frontend
