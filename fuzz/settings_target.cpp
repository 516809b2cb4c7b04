// A settings file read into the front end's settings record, written back and read again, as
// one session of the front end would. What was read must come back the same after the save, and
// sections the front end does not know must keep their keys: anything else loses a setting, so
// it aborts like a crash.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "frontend/core/ini_file.h"
#include "frontend/core/settings_file.h"
#include "fuzz/fuzz_targets.h"
#include "toolsupport/base/text_words.h"

namespace fuzz {
namespace {

// Section names ignore case.
bool IsSettingsSection(const std::string& name) {
  static const char* const kSections[] = {
      "vantmain",     "vant",        "vantframespecific",  "vantmix",         "vantplay",      "vantscript",
      "graphicsprocessor", "audprocessor", "vantcommand", "vantrecentcommands", "vantrecentfiles", "vantrecentdirs"};
  const std::string lower = LowerCase(name);
  return std::any_of(std::begin(kSections), std::end(kSections), [&](const char* section) { return lower == section; });
}

}  // namespace

int FuzzSettings(const uint8_t* data, size_t size) {
  frontend::IniFile original;
  original.Parse(std::string(reinterpret_cast<const char*>(data), size));
  frontend::IniFile file = original;
  frontend::Settings read;
  frontend::ReadSettings(file, read);
  frontend::WriteSettings(read, file);

  frontend::IniFile saved;
  saved.Parse(file.Text());
  frontend::Settings reread;
  frontend::ReadSettings(saved, reread);
  if (!(reread == read)) std::abort();
  for (const std::string& section : original.Sections()) {
    if (!IsSettingsSection(section) && saved.Entries(section) != original.Entries(section)) std::abort();
  }
  return 0;
}

}  // namespace fuzz
