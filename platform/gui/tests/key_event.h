#pragma once
// A key press as a window hands it to its owner, for the tests of the programs' key tables.
#include "platform/gui/window.h"

namespace testsupport {

inline platform::KeyEvent Key(int number, bool shift = false, bool control = false, bool alt = false) {
  platform::KeyEvent key;
  key.key = number;
  key.shift = shift;
  key.control = control;
  key.alt = alt;
  return key;
}

}  // namespace testsupport
