#pragma once
// Key numbers that windows hand to their owners: the numbering of PC keyboards' virtual keys,
// which the programs' key tables are written in.

namespace platform {

enum KeyCode : int {
  kKeyNone = 0,
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyEnter = 13,
  kKeyShift = 16,
  kKeyControl = 17,
  kKeyAlt = 18,
  kKeyPause = 19,
  kKeyEscape = 27,
  kKeySpace = 32,
  kKeyPageUp = 33,
  kKeyPageDown = 34,
  kKeyEnd = 35,
  kKeyHome = 36,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyInsert = 45,
  kKeyDelete = 46,
  kKey0 = 48,  // digits 48 to 57
  kKeyA = 65,  // letters 65 to 90
  kKeyF1 = 112,  // F1 to F24 are 112 to 135
  kKeyF10 = 121,
  kKeyF24 = 135,
};

// The key number of a Qt key, kKeyNone for keys without one.
int KeyCodeFromQt(int qt_key);

}  // namespace platform
