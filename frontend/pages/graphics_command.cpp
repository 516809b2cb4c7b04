#include "frontend/pages/graphics_command.h"

#include "frontend/core/name_parts.h"
#include "frontend/core/text_format.h"
#include "frontend/pages/page_switches.h"

namespace frontend {
namespace {

const char* const kTypeExtensions[kGraphicsOutputTypeCount] = {"", "flc", "bmp", "jpg", "tga", "tif", "pcx", "gif"};

struct CheckedNumber {
  char letter;
  bool GraphicsSettings::*enabled;
  std::string GraphicsSettings::*text;
};

const CheckedNumber kPaletteNumbers[] = {
    {'Q', &GraphicsSettings::paletteColors, &GraphicsSettings::paletteColorsNum},
    {'I', &GraphicsSettings::paletteStart, &GraphicsSettings::paletteStartNum},
};
const CheckedNumber kFrameNumbers[] = {
    {'F', &GraphicsSettings::frameRateOverride, &GraphicsSettings::frameRateOverrideNum},
    {'S', &GraphicsSettings::start, &GraphicsSettings::startNum},
    {'E', &GraphicsSettings::end, &GraphicsSettings::endNum},
    {'X', &GraphicsSettings::xOffset, &GraphicsSettings::xOffsetNum},
    {'Y', &GraphicsSettings::yOffset, &GraphicsSettings::yOffsetNum},
    {'W', &GraphicsSettings::width, &GraphicsSettings::widthNum},
    {'H', &GraphicsSettings::height, &GraphicsSettings::heightNum},
};

std::string NumberSwitch(const GraphicsSettings& settings, const CheckedNumber& number) {
  return TextSwitch(number.letter, settings.*number.enabled, settings.*number.text);
}

std::string ChoiceSwitch(char letter, int32_t entry) {
  return NumSwitch(letter, entry == 1 || entry == 2, entry);
}

}  // namespace

std::string GraphicsOutputExtension(int outputType, const std::string& input) {
  if (outputType > 0 && outputType < kGraphicsOutputTypeCount) return kTypeExtensions[outputType];
  const std::string extension = ExtensionOf(NamePart(input));
  for (const char* known : kTypeExtensions) {
    // As the input spells it: the output then sits beside the input under a name of its kind.
    if (*known && EqualIgnoringCase(extension, std::string(".") + known)) return extension.substr(1);
  }
  return "flc";
}

std::string BuildGraphicsCommand(const GraphicsSettings& s, const GraphicsRun& run) {
  std::string switches;
  for (const CheckedNumber& number : kPaletteNumbers) switches += NumberSwitch(s, number);
  switches += ChoiceSwitch('T', s.halftone);
  switches += ChoiceSwitch('P', s.paletteControl);
  switches += ChoiceSwitch('D', s.windowsColors);
  switches += TextSwitch('U', s.paletteEvery, s.paletteEveryNum);
  switches += PaletteSwitch(s.paletteName, run.listDirectory);
  switches += FlagSwitch('O', s.overwrite);
  for (const CheckedNumber& number : kFrameNumbers) switches += NumberSwitch(s, number);
  return "PicPrW " + run.inputAndOutput + " " + switches;
}

void ResetGraphicsOptions(GraphicsSettings& s) {
  GraphicsSettings defaults;
  defaults.paletteName = kInputPalette;
  s = DefaultsKeepingFiles(s, defaults);
}

}  // namespace frontend
