#include "frontend/pages/compress_command.h"

#include <optional>

#include "frontend/core/launcher.h"
#include "frontend/core/text_format.h"
#include "frontend/pages/page_switches.h"

namespace frontend {
namespace {

const char* const kOutputExtensions[kCompressOutputTypeCount] = {"vnt", "flc", "bmp", "jpg",
                                                                  "tga", "tif", "pcx", "gif"};

// The numbers behind check boxes, in the order their switches are written.
struct CheckedNumber {
  char letter;
  bool CompressSettings::*enabled;
  std::string CompressSettings::*text;
  bool signAllowed;
  const char* label;
};

const CheckedNumber kFrameNumbers[] = {
    {'S', &CompressSettings::start, &CompressSettings::startNum, false, "starting frame"},
    {'E', &CompressSettings::end, &CompressSettings::endNum, false, "ending frame"},
    {'F', &CompressSettings::frameRate, &CompressSettings::frameRateNum, true, "frame rate override"},
    {'X', &CompressSettings::x, &CompressSettings::xNum, false, "X offset"},
    {'Y', &CompressSettings::y, &CompressSettings::yNum, false, "Y offset"},
    {'W', &CompressSettings::w, &CompressSettings::wNum, false, "width"},
    {'H', &CompressSettings::h, &CompressSettings::hNum, false, "height"},
};
const CheckedNumber kKeyInterval = {'J', &CompressSettings::keyFrames, &CompressSettings::keyFramesNum,
                                    false, "key frame interval"};
const CheckedNumber kPaletteColours = {'Q', &CompressSettings::paletteColors,
                                       &CompressSettings::paletteColorsNum, false, "total palette colors"};
const CheckedNumber kPaletteStart = {'I', &CompressSettings::paletteStart,
                                     &CompressSettings::paletteStartNum, false, "starting palette index"};
const CheckedNumber kPaletteEvery = {'U', &CompressSettings::paletteEvery,
                                     &CompressSettings::paletteEveryNum, false, "new palette interval"};

std::string NumberSwitch(const CompressSettings& settings, const CheckedNumber& number) {
  return TextSwitch(number.letter, settings.*number.enabled, settings.*number.text);
}

std::string CheckNumber(const CompressSettings& settings, const CheckedNumber& number) {
  if (!(settings.*number.enabled) || TrimBlanks(settings.*number.text).empty()) return "";
  if (WholeNumber(settings.*number.text, number.signAllowed)) return "";
  return std::string("Error, the ") + number.label + " must be a whole number" +
         (number.signAllowed ? "." : " of 0 or more.");
}

// The stored value's leading digits as a number; nothing when there are none, and a value past
// any range when they do not fit.
std::optional<int64_t> LeadingNumber(const std::string& stored) {
  const std::string digits = LeadingDigits(stored);
  if (digits.empty()) return std::nullopt;
  if (digits.size() > 12) return INT64_MAX;
  return std::stoll(digits);
}

// The /N or /K value for the type; "" leaves the switch out.
std::string CompressValue(int type, const std::string* stored) {
  if (type == kLossless) return "0";
  if (!stored) return "";
  const std::optional<int64_t> number = LeadingNumber(*stored);
  if (!number) return "";
  switch (type) {
    case kFilePercent: return "-" + std::to_string(*number);
    case kFramePercent: return "-" + std::to_string(*number + 400);
    default: return std::to_string(*number);
  }
}

std::string CheckCompressValue(int type, const std::string* stored, bool keyFrames) {
  if (!stored) return "";
  const std::optional<int64_t> number = LeadingNumber(*stored);
  if (!number) return "";
  const std::string frames = keyFrames ? "key frames" : "regular frames";
  switch (type) {
    case kToDataRate:
      if (*number < 1000 || *number > INT32_MAX) {
        return "Error, the data rate for " + frames + " must be at least 1000 (bytes per second).";
      }
      return "";
    case kFilePercent:
    case kFramePercent:
      if (*number < 1 || *number > 200) return "Error, the percentage for " + frames + " must be from 1 to 200.";
      return "";
    case kErrorPercent:
      if (*number > 100) return "Error, the error percentage for " + frames + " must be from 0 to 100.";
      return "";
    default: return "";
  }
}

std::string SoundRateText(const CompressSettings& settings) {
  switch (settings.rate) {
    case 1: return "11025";
    case 2: return "22050";
    case 3: return "44100";
    default: return settings.rate < 0 ? TrimBlanks(settings.rateText) : "";
  }
}

}  // namespace

const char* CompressOutputExtension(int outputType) {
  return kOutputExtensions[outputType >= 0 && outputType < kCompressOutputTypeCount ? outputType : 0];
}

std::string* StoredCompressValue(CompressSettings& settings, bool keyFrames, int type) {
  switch (type) {
    case kToDataRate: return keyFrames ? &settings.keyRate : &settings.normalRate;
    case kFilePercent: return keyFrames ? &settings.keyFilePerc : &settings.normalFilePerc;
    case kFramePercent: return keyFrames ? &settings.keyFramePerc : &settings.normalFramePerc;
    case kErrorPercent: return keyFrames ? &settings.keyErrorPerc : &settings.normalErrorPerc;
    default: return nullptr;
  }
}

const std::string* StoredCompressValue(const CompressSettings& settings, bool keyFrames, int type) {
  return StoredCompressValue(const_cast<CompressSettings&>(settings), keyFrames, type);
}

std::string CheckCompressSettings(const CompressSettings& s) {
  std::vector<std::string> problems = {
      CheckCompressValue(s.regularCompressType, StoredCompressValue(s, false, s.regularCompressType), false),
      CheckCompressValue(s.keyCompressType, StoredCompressValue(s, true, s.keyCompressType), true),
      CheckNumber(s, kKeyInterval),
  };
  for (const CheckedNumber& number : kFrameNumbers) problems.push_back(CheckNumber(s, number));
  for (const CheckedNumber* number : {&kPaletteColours, &kPaletteStart, &kPaletteEvery}) {
    problems.push_back(CheckNumber(s, *number));
  }
  const std::string rate = SoundRateText(s);
  if (!s.noSound && !rate.empty()) {
    const std::optional<int32_t> value = WholeNumber(rate, false);
    if (!value || *value <= 0) problems.push_back("Error, the sound rate must be a whole number above 0.");
  }
  for (const std::string& problem : problems) {
    if (!problem.empty()) return problem;
  }
  return "";
}

std::string BuildCompressCommand(const CompressSettings& s, const CompressRun& run) {
  std::string switches;
  const std::string regular = CompressValue(s.regularCompressType, StoredCompressValue(s, false, s.regularCompressType));
  const std::string key = CompressValue(s.keyCompressType, StoredCompressValue(s, true, s.keyCompressType));
  if (!regular.empty()) switches += "/N" + regular;
  if (!key.empty()) switches += "/K" + key;
  switches += TextSwitch('A', true, LeadingDigits(s.autoKeyFrame));
  switches += NumberSwitch(s, kKeyInterval);
  if (s.yScale > 0) switches += NumSwitch('Z', true, s.yScale);
  switches += FlagSwitch('M', s.mixOriginal);
  switches += FlagSwitch('V', s.everyOther);
  switches += FlagSwitch('G', s.ring);
  // The hint name in quotes after the '*' that tells the compressor to delete it when done.
  if (!run.hintFile.empty()) {
    switches += "/@\"*" + Unquoted(QuoteRelativeName(run.hintFile, run.listDirectory)) + "\"";
  }
  for (const CheckedNumber& number : kFrameNumbers) switches += NumberSwitch(s, number);
  switches += "/L" + std::to_string(s.noSound ? -1 : s.lossySound) + " ";
  if (!s.noSound) {
    switches += TextSwitch('R', true, SoundRateText(s));
    if (s.quality == 1 || s.quality == 2) switches += NumSwitch('B', true, s.quality == 1 ? 8 : 16);
    if (s.channels == 1 || s.channels == 2) switches += NumSwitch('C', true, s.channels);
  }
  switches += NumberSwitch(s, kPaletteColours);
  switches += NumberSwitch(s, kPaletteStart);
  if (s.halftone > 0) switches += NumSwitch('T', true, s.halftone);
  if (s.paletteControl > 0) switches += NumSwitch('P', true, s.paletteControl);
  if (s.windowsColors > 0) switches += NumSwitch('D', true, s.windowsColors);
  switches += NumberSwitch(s, kPaletteEvery);
  switches += PaletteSwitch(s.paletteName, run.listDirectory);
  switches += FlagSwitch('O', s.overwrite);
  return "VantC " + run.inputAndOutput + " " + switches;
}

bool HasFrameSpecificText(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (!TrimBlanks(line).empty()) return true;
  }
  return false;
}

void ResetCompressOptions(CompressSettings& s) {
  CompressSettings defaults;
  // The button's own error percentage for regular frames; the settings file's default is 30.
  defaults.normalErrorPerc = "65";
  s = DefaultsKeepingFiles(s, defaults);
}

}  // namespace frontend
