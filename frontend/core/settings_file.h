#pragma once
// Reading and writing the settings record, and where the settings file lives.
#include <string>
#include <vector>

#include "frontend/core/ini_file.h"
#include "frontend/core/settings.h"

namespace frontend {

inline constexpr const char* kDefaultSettingsName = "Vantrel.INI";

// $XDG_CONFIG_HOME/vant, or ~/.config/vant when it is unset.
std::string SettingsDirectory();

// A name from the command line: ".INI" added when it has no extension; a bare name lies in the
// settings directory, a name with a directory part is used as given.
std::string SettingsPath(const std::string& name);

// Every value of the record from the file, each key's default being the record's value when
// called (so directories that default to the running program's are set beforehand).
void ReadSettings(const IniFile& file, Settings& settings);

// Every value under the key it is read from, in the writing order: [VantMain] X, Y,
// CurrentTab, then the page sections, [VantFrameSpecific] after [Vant], [VantCommand], and last
// the three recent lists. Read-only keys are not written; other sections stay as they were.
void WriteSettings(const Settings& settings, IniFile& file);

// Keys prefix + 0 ... prefix + last, trimmed, blanks skipped (so gaps close up), and beyond
// `last` every further consecutive key that is present.
std::vector<std::string> ReadIniList(const IniFile& file, const std::string& section,
                                     const std::string& prefix, int last);
// Erases the section, then writes prefix + 0 ... prefix + (count - 1).
void WriteIniList(IniFile& file, const std::string& section, const std::string& prefix,
                  const std::vector<std::string>& list);

// The text trimmed, put at the top; an equal entry (compared exactly: names keep their case) is
// removed first; the list keeps at most kRecentListLimit entries. An empty text changes nothing.
void AddToRecentList(std::vector<std::string>& list, const std::string& text);

// A bare name gets the console directory in front; the name keeps its case.
void AddRecentFile(Settings& settings, const std::string& file);

}  // namespace frontend
