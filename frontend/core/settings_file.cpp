#include "frontend/core/settings_file.h"

#include <cstdlib>
#include <unordered_map>
#include <variant>

#include "frontend/core/name_parts.h"
#include "frontend/core/text_format.h"

namespace frontend {
namespace {

template <class S>
struct Field {
  const char* key;
  std::variant<std::string S::*, int32_t S::*, bool S::*> member;
  size_t width = 0;  // texts longer than this are cut when read (0: no limit)
  bool readOnly = false;
};

// The first `width` bytes, not splitting a character of several bytes.
std::string CutToWidth(const std::string& text, size_t width) {
  if (width == 0 || text.size() <= width) return text;
  size_t end = width;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

template <class S>
void ReadSection(const IniFile& file, const char* section, const std::vector<Field<S>>& fields,
                 S& record) {
  for (const Field<S>& field : fields) {
    std::visit(
        [&](auto member) {
          auto& value = record.*member;
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            // Trimmed again after the cut, as the file would give it back after a save.
            value = TrimBlanks(CutToWidth(file.ReadString(section, field.key, value), field.width));
          } else if constexpr (std::is_same_v<Value, bool>) {
            value = file.ReadBool(section, field.key, value);
          } else {
            value = file.ReadInteger(section, field.key, value);
          }
        },
        field.member);
  }
}

template <class S>
void WriteSection(IniFile& file, const char* section, const std::vector<Field<S>>& fields,
                  const S& record) {
  for (const Field<S>& field : fields) {
    if (field.readOnly) continue;
    std::visit(
        [&](auto member) {
          const auto& value = record.*member;
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, std::string>) {
            file.Write(section, field.key, value);
          } else {
            file.WriteInteger(section, field.key, static_cast<int64_t>(value));
          }
        },
        field.member);
  }
}

const std::vector<Field<MainSettings>>& MainFields() {
  using S = MainSettings;
  static const std::vector<Field<S>> fields = {
      {"Directory", &S::directory, 0, true}, {"X", &S::x}, {"Y", &S::y},
      {"CurrentTab", &S::currentTab},        {"ShowHints", &S::showHints, 0, true},
  };
  return fields;
}

const std::vector<Field<CompressSettings>>& CompressFields() {
  using S = CompressSettings;
  static const std::vector<Field<S>> fields = {
      {"Filename", &S::filename},
      {"Directory", &S::directory},
      {"OutputName", &S::outputName},
      {"OutputBasedOn", &S::outputBasedOn},
      {"Filter", &S::filter},
      {"RegularCompressType", &S::regularCompressType},
      {"KeyCompressType", &S::keyCompressType},
      {"NormalRate", &S::normalRate, 9},
      {"KeyRate", &S::keyRate, 9},
      {"NormalFilePerc", &S::normalFilePerc, 4},
      {"KeyFilePerc", &S::keyFilePerc, 4},
      {"NormalFramePerc", &S::normalFramePerc, 4},
      {"KeyFramePerc", &S::keyFramePerc, 4},
      {"NormalErrorPerc", &S::normalErrorPerc, 4},
      {"KeyErrorPerc", &S::keyErrorPerc, 4},
      {"AutoKeyFrame", &S::autoKeyFrame, 4},
      {"YScale", &S::yScale},
      {"CurrentTab", &S::currentTab},
      {"OutputType", &S::outputType},
      {"KeyFrames", &S::keyFrames},
      {"Start", &S::start},
      {"End", &S::end},
      {"FrameRate", &S::frameRate},
      {"Ring", &S::ring},
      {"EveryOther", &S::everyOther},
      {"Overwrite", &S::overwrite},
      {"MixOriginal", &S::mixOriginal},
      {"X", &S::x},
      {"Y", &S::y},
      {"W", &S::w},
      {"H", &S::h},
      {"PaletteEvery", &S::paletteEvery},
      {"PaletteColors", &S::paletteColors},
      {"PaletteStart", &S::paletteStart},
      {"NoSound", &S::noSound},
      {"KeyFramesNum", &S::keyFramesNum, 8},
      {"StartNum", &S::startNum, 8},
      {"EndNum", &S::endNum, 8},
      {"FrameRateNum", &S::frameRateNum, 8},
      {"XNum", &S::xNum, 8},
      {"YNum", &S::yNum, 8},
      {"WNum", &S::wNum, 8},
      {"HNum", &S::hNum, 8},
      {"PaletteEveryNum", &S::paletteEveryNum, 8},
      {"PaletteColorsNum", &S::paletteColorsNum, 8},
      {"PaletteStartNum", &S::paletteStartNum, 8},
      {"Halftone", &S::halftone},
      {"PaletteControl", &S::paletteControl},
      {"WindowsColors", &S::windowsColors},
      {"LossySound", &S::lossySound},
      {"Rate", &S::rate},
      {"Quality", &S::quality},
      {"Channels", &S::channels},
  };
  return fields;
}

const std::vector<Field<MixSettings>>& MixFields() {
  using S = MixSettings;
  static const std::vector<Field<S>> fields = {
      {"VantFilename", &S::vantFilename},
      {"VantDirectory", &S::vantDirectory},
      {"WaveFilename", &S::waveFilename},
      {"WaveDirectory", &S::waveDirectory},
      {"OutputName", &S::outputName},
      {"OutputBasedOn", &S::outputBasedOn},
      {"VantFilter", &S::vantFilter},
      {"WaveFilter", &S::waveFilter},
      {"Lossy", &S::lossy},
      {"Track", &S::track},
      {"Format", &S::format},
      {"FrameRate", &S::frameRate},
      {"Start", &S::start},
      {"Loop", &S::loop},
      {"Overwrite", &S::overwrite},
      {"InputStart", &S::inputStart},
      {"InputEnd", &S::inputEnd},
      {"InputTrack", &S::inputTrack},
      {"FrameRateNum", &S::frameRateNum, 8},
      {"StartNum", &S::startNum, 8},
      {"SkipIntoNum", &S::skipIntoNum, 8},
      {"InputStartNum", &S::inputStartNum, 8},
      {"InputEndNum", &S::inputEndNum, 8},
      {"InputTrackNum", &S::inputTrackNum, 8},
      {"ForceRate", &S::forceRate, 8},
      {"CurrentTab", &S::currentTab},
      {"Rate", &S::rate},
      {"Quality", &S::quality},
      {"Channels", &S::channels},
  };
  return fields;
}

const std::vector<Field<PlaySettings>>& PlayFields() {
  using S = PlaySettings;
  static const std::vector<Field<S>> fields = {
      {"Filename", &S::filename},
      {"Directory", &S::directory},
      {"Filter", &S::filter},
      {"Display", &S::display},
      {"Use", &S::use},
      {"Tracks", &S::tracks},
      {"DisabledControls", &S::disabledControls},
      {"YScale", &S::yScale},
      {"CurrentTab", &S::currentTab},
      {"Style", &S::style},
      {"Loop", &S::loop},
      {"FrameRate", &S::frameRate},
      {"Preload", &S::preload},
      {"ShowSummary", &S::showSummary},
      {"NoFrameDrop", &S::noFrameDrop},
      {"X", &S::x},
      {"Y", &S::y},
      {"W", &S::w},
      {"H", &S::h},
      {"ShowFrames", &S::showFrames},
      {"DirectSound", &S::directSound},
      {"SoundOnly", &S::soundOnly},
      {"DoubleBuffer", &S::doubleBuffer},
      {"NoClear", &S::noClear},
      {"NoRemap", &S::noRemap},
      {"LoadExtra", &S::loadExtra},
      {"NoPause", &S::noPause},
      {"DeltasOnly", &S::deltasOnly},
      {"Simulate", &S::simulate},
      {"ExtraMem", &S::extraMem},
      {"LoopNum", &S::loopNum, 8},
      {"FrameRateNum", &S::frameRateNum, 8},
      {"XNum", &S::xNum, 8},
      {"YNum", &S::yNum, 8},
      {"WNum", &S::wNum, 8},
      {"HNum", &S::hNum, 8},
      {"SimulateNum", &S::simulateNum, 8},
      {"ExtraMemNum", &S::extraMemNum, 8},
  };
  return fields;
}

const std::vector<Field<ScriptSettings>>& ScriptFields() {
  using S = ScriptSettings;
  static const std::vector<Field<S>> fields = {
      {"Filename", &S::filename}, {"Directory", &S::directory}, {"Filter", &S::filter},
      {"GotoLine", &S::gotoLine}, {"FindText", &S::findText},
  };
  return fields;
}

const std::vector<Field<GraphicsSettings>>& GraphicsFields() {
  using S = GraphicsSettings;
  static const std::vector<Field<S>> fields = {
      {"Filename", &S::filename},
      {"Directory", &S::directory},
      {"OutputName", &S::outputName},
      {"OutputBasedOn", &S::outputBasedOn},
      {"Filter", &S::filter},
      {"CurrentTab", &S::currentTab},
      {"OutputType", &S::outputType},
      {"Halftone", &S::halftone},
      {"PaletteControl", &S::paletteControl},
      {"WindowsColors", &S::windowsColors},
      {"Start", &S::start},
      {"End", &S::end},
      {"Overwrite", &S::overwrite},
      {"PaletteEvery", &S::paletteEvery},
      {"PaletteColors", &S::paletteColors},
      {"PaletteStart", &S::paletteStart},
      {"XOffset", &S::xOffset},
      {"YOffset", &S::yOffset},
      {"Width", &S::width},
      {"Height", &S::height},
      {"StartNum", &S::startNum, 8},
      {"EndNum", &S::endNum, 8},
      {"PaletteEveryNum", &S::paletteEveryNum, 8},
      {"PaletteColorsNum", &S::paletteColorsNum, 8},
      {"PaletteStartNum", &S::paletteStartNum, 8},
      {"XOffsetNum", &S::xOffsetNum, 8},
      {"YOffsetNum", &S::yOffsetNum, 8},
      {"WidthNum", &S::widthNum, 8},
      {"HeightNum", &S::heightNum, 8},
  };
  return fields;
}

const std::vector<Field<SoundSettings>>& SoundFields() {
  using S = SoundSettings;
  static const std::vector<Field<S>> fields = {
      {"Filename", &S::filename},
      {"Directory", &S::directory},
      {"OutputName", &S::outputName},
      {"OutputBasedOn", &S::outputBasedOn},
      {"Filter", &S::filter},
      {"Rate", &S::rate},
      {"Quality", &S::quality},
      {"Channels", &S::channels},
      {"CurrentTab", &S::currentTab},
      {"InputType", &S::inputType},
      {"Overwrite", &S::overwrite},
      {"Track", &S::track},
      {"Start", &S::start},
      {"End", &S::end},
      {"TrackNum", &S::trackNum, 8},
      {"StartNum", &S::startNum, 8},
      {"EndNum", &S::endNum, 8},
      {"ForceRate", &S::forceRate, 8},
      {"SkipBytes", &S::skipBytes, 8},
  };
  return fields;
}

const std::vector<Field<CommandSettings>>& CommandFields() {
  using S = CommandSettings;
  static const std::vector<Field<S>> fields = {{"Directory", &S::directory}};
  return fields;
}

// The recent lists hold 31 keys (0 to 30), the frame-specific lines 257 (0 to 256) and every
// consecutive one after them.
constexpr int kRecentListLastKey = 30;
constexpr int kFrameSpecificLastKey = 256;

// The file's sections in the order they are written: `record(section, fields, member)` for each
// record and `list(section, key prefix, last key, member)` for each list. AnySettings is Settings
// or const Settings.
template <class AnySettings, class RecordSection, class ListSection>
void ForEachSection(AnySettings& settings, RecordSection record, ListSection list) {
  record("VantMain", MainFields(), settings.main);
  record("Vant", CompressFields(), settings.compress);
  list("VantFrameSpecific", "Frame", kFrameSpecificLastKey, settings.frameSpecific);
  record("VantMix", MixFields(), settings.mix);
  record("VantPlay", PlayFields(), settings.play);
  record("VantScript", ScriptFields(), settings.script);
  record("GraphicsProcessor", GraphicsFields(), settings.graphics);
  record("AudProcessor", SoundFields(), settings.sound);
  record("VantCommand", CommandFields(), settings.command);
  list("VantRecentCommands", "Recall", kRecentListLastKey, settings.recentCommands);
  list("VantRecentFiles", "File", kRecentListLastKey, settings.recentFiles);
  list("VantRecentDirs", "Dir", kRecentListLastKey, settings.recentDirs);
}

}  // namespace

std::string SettingsDirectory() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config) return std::string(config) + "/vant";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/vant";
}

std::string SettingsPath(const std::string& given) {
  std::string name = given;
  if (ExtensionOf(name).empty()) name += ".INI";
  if (name.find('/') == std::string::npos) return SettingsDirectory() + "/" + name;
  return name;
}

void ReadSettings(const IniFile& file, Settings& settings) {
  ForEachSection(
      settings,
      [&file](const char* section, const auto& fields, auto& record) { ReadSection(file, section, fields, record); },
      [&file](const char* section, const char* prefix, int lastKey, std::vector<std::string>& list) {
        list = ReadIniList(file, section, prefix, lastKey);
      });
  for (auto* list : {&settings.recentCommands, &settings.recentFiles, &settings.recentDirs}) {
    if (list->size() > kRecentListLimit) list->resize(kRecentListLimit);
  }
}

void WriteSettings(const Settings& settings, IniFile& file) {
  ForEachSection(
      settings,
      [&file](const char* section, const auto& fields, const auto& record) {
        WriteSection(file, section, fields, record);
      },
      [&file](const char* section, const char* prefix, int, const std::vector<std::string>& list) {
        WriteIniList(file, section, prefix, list);
      });
}

std::vector<std::string> ReadIniList(const IniFile& file, const std::string& section,
                                     const std::string& prefix, int last) {
  std::unordered_map<std::string, std::string> values;
  for (const auto& [key, value] : file.Entries(section)) values.emplace(LowerCase(key), value);
  const std::string lowerPrefix = LowerCase(prefix);
  std::vector<std::string> list;
  for (int n = 0;; ++n) {
    const auto found = values.find(lowerPrefix + std::to_string(n));
    if (found == values.end()) {
      if (n >= last) break;
      continue;
    }
    const std::string value = TrimBlanks(found->second);
    if (!value.empty()) list.push_back(value);
  }
  return list;
}

void WriteIniList(IniFile& file, const std::string& section, const std::string& prefix,
                  const std::vector<std::string>& list) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(list.size());
  for (size_t n = 0; n < list.size(); ++n) entries.emplace_back(prefix + std::to_string(n), list[n]);
  file.ReplaceSection(section, entries);
}

void AddToRecentList(std::vector<std::string>& list, const std::string& given) {
  const std::string text = TrimBlanks(given);
  if (text.empty()) return;
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (*it == text) {
      list.erase(it);
      break;
    }
  }
  list.insert(list.begin(), text);
  if (list.size() > kRecentListLimit) list.resize(kRecentListLimit);
}

void AddRecentFile(Settings& settings, const std::string& file) {
  const std::string name = TrimBlanks(file);
  if (name.empty()) return;
  AddToRecentList(settings.recentFiles,
                  name.find('/') == std::string::npos
                      ? WithSeparator(settings.command.directory) + name
                      : name);
}

}  // namespace frontend
