#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/base/switches.h"

namespace toolsupport {
namespace {

// A number switch whose negative value means "not given".
int32_t NonNegative(char letter, int32_t defaultValue, std::string& commandText) {
  int32_t value = GetNumberSwitch(defaultValue, letter, commandText);
  return value < 0 ? defaultValue : value;
}

}  // namespace

GraphicsSwitches ParseGraphicsSwitches(std::string& commandText) {
  GraphicsSwitches switches;
  switches.start = NonNegative('S', 0, commandText);
  switches.end = NonNegative('E', 0, commandText);
  switches.left = NonNegative('X', 0, commandText);
  switches.top = NonNegative('Y', 0, commandText);
  switches.width = NonNegative('W', 0, commandText);
  switches.height = NonNegative('H', 0, commandText);
  switches.colours = GetNumberSwitch(256, 'Q', commandText);
  switches.firstIndex = NonNegative('I', -1, commandText);
  switches.interval = GetNumberSwitch(-1, 'U', commandText);
  switches.paletteMode = GetNumberSwitch(0, 'P', commandText);
  switches.halftone = GetNumberSwitch(0, 'T', commandText);
  switches.systemColours = GetNumberSwitch(0, 'D', commandText);
  GetTextSwitch("", switches.paletteSource, '&', commandText);
  return switches;
}

}  // namespace toolsupport
