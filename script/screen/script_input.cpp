#include "script/screen/script_input.h"

#include <algorithm>

#include "playback/vant.h"
#include "script/language/script_context.h"
#include "script/language/script_wait.h"
#include "script/screen/screen.h"

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

int WaitKey(ScriptContext& context, ScriptWindow& window) {
  WaitFor(context, [&window] { return window.KeyWaiting(); });
  return window.TakeKey();
}

int TakeMouseClick(const ScriptWindow& window, ClickCounts& taken) {
  if (window.Clicks(false) != taken.left) {
    ++taken.left;
    return 1;
  }
  if (window.Clicks(true) != taken.right) {
    ++taken.right;
    return 2;
  }
  return 0;
}

std::string WaitInputChar(ScriptContext& context, Screen& screen, int32_t limit) {
  MousePointer& pointer = screen.pointer;
  std::string name;
  const auto given = [&] {
    if (screen.window.KeyWaiting()) {
      name = KeyName(screen.window.TakeKey());
      return true;
    }
    if (!pointer.On() || !screen.window.Exists()) return false;
    if (pointer.Update()) {
      const MouseArea* area = screen.mouseAreas.Find(pointer.X(), pointer.Y());
      pointer.SetImage(area != nullptr ? area->pointer : -1);
      pointer.Draw();
    }
    switch (TakeMouseClick(screen.window, screen.clicksTaken)) {
      case 1: {
        const MouseArea* area = screen.mouseAreas.Find(pointer.X(), pointer.Y());
        name = area != nullptr ? area->name : "LEFT MOUSE";
        return true;
      }
      case 2:
        name = "RIGHT MOUSE";
        return true;
      default:
        return false;
    }
  };
  const std::optional<uint32_t> limitMs = limit == -1 ? std::nullopt : std::optional<uint32_t>(limit);
  return WaitFor(context, given, limitMs) ? name : "DELAY";
}

int AskMessageBox(ScriptWindow& window, MousePointer& pointer, const std::string& text, int32_t style) {
  pointer.Hide();
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
  switch (window.Ask(text, buttons, icon)) {
    case platform::DialogAnswer::Ok: return 1;
    case platform::DialogAnswer::Yes: return 4;
    case platform::DialogAnswer::No: return 8;
    default: return 2;
  }
}

std::string ReadTextLine(ScriptContext& context, Screen& screen, int32_t limit, const std::string& fallback) {
  const auto print = [&screen](std::string_view text) {
    PrintText(screen.window, screen.pointer, screen.text, screen.settings, text);
  };
  std::string line;
  for (;;) {
    const int code = WaitKey(context, screen.window);
    if (code == kBackspace) {
      if (!line.empty()) {
        line.pop_back();
        print("\b");
      }
    } else if (code == kEnter && !line.empty()) {
      print("\n");
      return line;
    } else if (code == kEnter || code == kEscape) {
      print(fallback);
      return fallback;
    } else if (Printable(code) && line.size() < static_cast<size_t>(std::max(limit, 0))) {
      line += static_cast<char>(code);
      print(line.substr(line.size() - 1));
    }
  }
}

}  // namespace script
