// A settings file read into the front end's settings record, written back and read again, as
// one session of the front end would. What was read must come back the same after the save:
// anything else loses a setting, so it aborts like a crash.
#include <cstdlib>
#include <string>

#include "frontend/ini_file.h"
#include "frontend/settings_file.h"
#include "fuzz/fuzz_targets.h"

namespace fuzz {

int FuzzSettings(const uint8_t* data, size_t size) {
  frontend::IniFile file;
  file.Parse(std::string(reinterpret_cast<const char*>(data), size));
  frontend::Settings read;
  frontend::ReadSettings(file, read);
  frontend::WriteSettings(read, file);

  frontend::IniFile saved;
  saved.Parse(file.Text());
  frontend::Settings reread;
  frontend::ReadSettings(saved, reread);
  if (!(reread == read)) std::abort();
  // A second save changes nothing more.
  frontend::WriteSettings(reread, saved);
  if (saved.Text() != file.Text()) std::abort();
  return 0;
}

}  // namespace fuzz
