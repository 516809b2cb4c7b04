#include "script/screen/script_input.h"

#include <algorithm>

#include "script/language/script_context.h"
#include "script/screen/script_wait.h"
#include "playback/vant.h"

namespace script {

namespace {

constexpr int kBackspace = 8, kEnter = 13, kEscape = 27;

std::string Numbered(const char* prefix, int number) { return prefix + std::to_string(number); }

// Characters that the line editor stores: codes from 128 up are the window's key codes.
bool Printable(int code) { return code >= 32 && code < 127; }

}  // namespace

std::string KeyName(int code) {
  switch (code) {
    case 9: return "TAB";
    case 10:
    case 13: return "ENTER";
    case 27: return "ESCAPE";
    case 32: return "SPACE";
    case 8:
    case 127: return "BACKSPACE";
    case 137: return "BACKTAB";
    case 161: return "PAGEUP";
    case 162: return "PAGEDOWN";
    case 163: return "END";
    case 164: return "HOME";
    case 165: return "LEFT";
    case 166: return "UP";
    case 167: return "RIGHT";
    case 168: return "DOWN";
    case 173: return "INSERT";
    case 174: return "DELETE";
    default: break;
  }
  if (code >= 208 && code <= 217) return Numbered("F", code - 207);
  if (code >= 218 && code <= 227) return Numbered("SHIFT F", code - 217);
  if (code >= 228 && code <= 237) return Numbered("CONTROL F", code - 227);
  if (code >= 238 && code <= 247) return Numbered("ALT F", code - 237);
  return std::string(1, static_cast<char>(code));
}

int WaitKey(ScriptContext& context) {
  for (;;) {
    if (KeyWaiting(context)) return ScriptWindow::TakeKey();
    VantSoundCheck();
    context.Sleep(1);
  }
}

bool KeyWaiting(ScriptContext& context) {
  context.window.DispatchEvents();
  return ScriptWindow::KeyWaiting();
}

int TakeMouseClick(ScriptContext& context) {
  ClickCounts& taken = context.clicksTaken;
  if (ScriptWindow::Clicks(false) != taken.left) {
    ++taken.left;
    return 1;
  }
  if (ScriptWindow::Clicks(true) != taken.right) {
    ++taken.right;
    return 2;
  }
  return 0;
}

std::string WaitInputChar(ScriptContext& context, int32_t limit) {
  const uint32_t start = context.Clock();
  for (;;) {
    if (KeyWaiting(context)) return KeyName(WaitKey(context));
    VantSoundCheck();
    if (PointerOn(context) && context.window.Exists()) {
      if (UpdateMousePointer(context)) {
        const MouseArea* area = context.mouseAreas.Find(context.pointer.x, context.pointer.y);
        SetPointerImage(context, area != nullptr ? area->pointer : -1);
        DrawMousePointer(context);
      }
      switch (TakeMouseClick(context)) {
        case 1: {
          const MouseArea* area = context.mouseAreas.Find(context.pointer.x, context.pointer.y);
          return area != nullptr ? area->name : "LEFT MOUSE";
        }
        case 2: return "RIGHT MOUSE";
        default: break;
      }
    }
    if (limit != -1 && context.Clock() - start >= static_cast<uint32_t>(limit)) return "DELAY";
    context.Sleep(1);
  }
}

int AskMessageBox(ScriptContext& context, const std::string& text, int32_t style) {
  HideMousePointer(context);
  const bool cancel = (style & 2) != 0, yesNo = (style & 12) != 0;
  platform::DialogButtons buttons = platform::DialogButtons::Ok;
  platform::DialogIcon icon = platform::DialogIcon::Information;
  if (yesNo) {
    buttons = cancel ? platform::DialogButtons::YesNoCancel : platform::DialogButtons::YesNo;
    icon = platform::DialogIcon::Question;
  } else if (cancel) {
    buttons = platform::DialogButtons::OkCancel;
    icon = platform::DialogIcon::Warning;
  }
  switch (context.window.Ask(text, buttons, icon)) {
    case platform::DialogAnswer::Ok: return 1;
    case platform::DialogAnswer::Yes: return 4;
    case platform::DialogAnswer::No: return 8;
    default: return 2;
  }
}

std::string ReadTextLine(ScriptContext& context, int32_t limit, const std::string& fallback) {
  std::string line;
  for (;;) {
    const int code = WaitKey(context);
    if (code == kBackspace) {
      if (!line.empty()) {
        line.pop_back();
        PrintText(context, "\b");
      }
    } else if (code == kEnter && !line.empty()) {
      PrintText(context, "\n");
      return line;
    } else if (code == kEnter || code == kEscape) {
      PrintText(context, fallback);
      return fallback;
    } else if (Printable(code) && line.size() < static_cast<size_t>(std::max(limit, 0))) {
      line += static_cast<char>(code);
      PrintText(context, line.substr(line.size() - 1));
    }
  }
}

}  // namespace script
