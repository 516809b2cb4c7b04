#include "platform/gui/key_codes.h"

#include <Qt>

namespace platform {

int KeyCodeFromQt(int qt_key) {
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return kKeyF1 + (qt_key - Qt::Key_F1);
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return kKeyA + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return kKey0 + (qt_key - Qt::Key_0);
  switch (qt_key) {
    case Qt::Key_Backspace: return kKeyBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Shift: return kKeyShift;
    case Qt::Key_Control: return kKeyControl;
    case Qt::Key_Alt: return kKeyAlt;
    case Qt::Key_Pause: return kKeyPause;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Space: return kKeySpace;
    case Qt::Key_PageUp: return kKeyPageUp;
    case Qt::Key_PageDown: return kKeyPageDown;
    case Qt::Key_End: return kKeyEnd;
    case Qt::Key_Home: return kKeyHome;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Insert: return kKeyInsert;
    case Qt::Key_Delete: return kKeyDelete;
    default: return kKeyNone;
  }
}

}  // namespace platform
