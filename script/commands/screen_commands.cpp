// Screen and window: make and close the script window, choose how it looks, draw into it,
// manage its palette and report its state.
#include "script/commands/command_handlers.h"
#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/language/script_error.h"
#include "script/screen/screen_drawing.h"

#include "player/player_window.h"

namespace script {

namespace {

constexpr uint32_t kBlitterBits = 0x1F;
constexpr uint32_t kDoubleBufferBit = 0x100;
constexpr uint32_t kNoCaptionBit = 0x200;
constexpr uint32_t kNoDialogFrameBit = 0x4000;
constexpr uint32_t kThinBorderBit = 0x8000;
constexpr size_t kTitleLimit = 255;
// Larger windows are refused like a buffer that cannot be had.
constexpr int64_t kWindowPixelLimit = int64_t{1} << 26;

// Window width and height when there is no window: the text screen's columns and rows.
constexpr int32_t kTextColumns = 80, kTextRows = 25;

void SetTextOrigin(ScriptContext& context, int32_t x, int32_t y) {
  context.settings.offsetX = context.text.cursorX = x;
  context.settings.offsetY = context.text.cursorY = y;
}

bool OpenWindow(ScriptContext& context, int32_t width, int32_t height) {
  if (width < 0 || height < 0 || int64_t{width} * height > kWindowPixelLimit) return false;
  const WindowSettings& settings = context.settings;
  if (!context.window.Open(settings.options, settings.x, settings.y, width, height)) return false;
  context.animations.ReleaseWindowTargets();
  context.palette.TakeFrom(StartPalette(), context.window);
  context.window.ShowPalette();
  ResetTextState(context);
  ResetMousePointer(context);
  SetTextOrigin(context, (context.window.Width() - width) / 2, (context.window.Height() - height) / 2);
  return true;
}

using BoxDrawing = void (*)(ScriptContext&, int64_t x, int64_t y, int64_t width, int64_t height, uint8_t color);

// The box commands' words: x, y, width, height and the colour.
void DrawBoxCommand(ScriptContext& context, BoxDrawing draw) {
  RequireWindow(context);
  const int64_t x = TakeWindowX(context), y = TakeWindowY(context);
  const int32_t width = TakeNumber(context), height = TakeNumber(context);
  draw(context, x, y, width, height, TakeColor(context));
}

}  // namespace

void CommandScreenSettings(ScriptContext& context) {
  const int32_t kind = TakeNumber(context);
  uint32_t& options = context.settings.options;
  if (kind == 0) {
    options = (options & ~kBlitterBits) | kBlitterRequestStandard;
  } else if (kind >= 1 && kind <= 4) {
    options = (options & ~kBlitterBits) | BlitterRequestForVideoType(kind) | kDoubleBufferBit;
  }
}

void CommandScreenWindowBorder(ScriptContext& context) {
  uint32_t& options = context.settings.options;
  switch (TakeNumber(context)) {
    case 0: options &= ~(kNoDialogFrameBit | kThinBorderBit); break;
    case 1: options |= kNoDialogFrameBit | kThinBorderBit; break;
    case 2: options |= kNoDialogFrameBit | kNoCaptionBit; break;
    default: break;
  }
}

void CommandScreenWindowTitle(ScriptContext& context) {
  std::string title = TakeText(context);
  if (title.size() > kTitleLimit) title.resize(kTitleLimit);
  SetPlayerProgramTitle(title);
  if (context.window.Exists()) {
    context.window.SetTitle(title);
  } else if (title.empty()) {
    context.settings.options |= kNoCaptionBit;
  } else {
    context.settings.options &= ~kNoCaptionBit;
  }
}

void CommandScreenWindowPos(ScriptContext& context) {
  context.settings.x = TakeNumber(context);
  context.settings.y = TakeNumber(context);
  if (context.window.Exists()) context.window.Move(context.settings.x, context.settings.y);
}

void CommandScreenGraphics(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t width = TakeNumber(context);
  const int32_t height = TakeNumber(context);
  HideMousePointer(context);
  if (width == 0 || height == 0) {
    ScriptError(context, "  Zero dimension in command:\r\n    ", context.run.lineBuffer, "\r\n");
  }
  SetVariableNumber(context, variable, OpenWindow(context, width, height) ? 1 : 0);
}

void CommandScreenText(ScriptContext& context) {
  CloseScriptWindow(context);
  SetTextOrigin(context, 0, 0);
  SkipLeadingBlanks(context);
}

void CommandScreenAdjustXY(ScriptContext& context) {
  const int32_t x = TakeNumber(context);
  SetTextOrigin(context, x, TakeNumber(context));
}

void CommandScreenClear(ScriptContext& context) {
  RequireWindow(context);
  ScreenClear(context, TakeColor(context));
}

void CommandScreenFadeOutClear(ScriptContext& context) {
  RequireWindow(context);
  const uint8_t color = TakeColor(context);
  FadeOutPalette(context);
  ScreenClear(context, color);
}

void CommandScreenFadeSpeed(ScriptContext& context) {
  context.settings.fadeStepMs = std::max(TakeNumber(context), 0);
}

void CommandScreenPaletteLock(ScriptContext& context) {
  const int32_t first = TakeNumber(context);
  const int32_t count = TakeNumber(context);
  context.palette.LockRun(first, count, TakeNumber(context) != 0);
}

void CommandScreenForcePaletteZeroBlack(ScriptContext& context) {
  const bool lock = TakeNumber(context) != 0;
  context.palette.SetEntry(0, 0, 0, 0);
  context.palette.Take(context.window);
  context.window.ShowPalette();
  context.palette.LockRun(0, 1, lock);
}

void CommandScreenSetPixel(ScriptContext& context) {
  RequireWindow(context);
  const int64_t x = TakeWindowX(context), y = TakeWindowY(context);
  ScreenSetPixel(context, x, y, TakeColor(context));
}

void CommandScreenGetPixel(ScriptContext& context) {
  RequireWindow(context);
  const std::string variable = TakeVariable(context);
  const int64_t x = TakeWindowX(context), y = TakeWindowY(context);
  SetVariableNumber(context, variable, ScreenGetPixel(context, x, y));
}

void CommandScreenLine(ScriptContext& context) {
  RequireWindow(context);
  const int64_t x0 = TakeWindowX(context), y0 = TakeWindowY(context);
  const int64_t x1 = TakeWindowX(context), y1 = TakeWindowY(context);
  ScreenLine(context, x0, y0, x1, y1, TakeColor(context));
}

void CommandScreenBox(ScriptContext& context) { DrawBoxCommand(context, ScreenBox); }

void CommandScreenFilledBox(ScriptContext& context) { DrawBoxCommand(context, ScreenFilledBox); }

void CommandScreenWidth(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.window.Exists() ? context.window.Width() : kTextColumns);
}

void CommandScreenHeight(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.window.Exists() ? context.window.Height() : kTextRows);
}

void CommandScreenWindowHasFocus(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.window.Focused() ? 1 : 0);
}

void CommandScreenWindowHwnd(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.window.Handle16());
}

// The window's colours are the display buffer's own: there is no palette object to name, so
// the handle is 0.
void CommandScreenWindowHpal(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  RequireWindow(context);
  SetVariableNumber(context, variable, 0);
}

void CommandScreenWindowAutoPause(ScriptContext& context) {
  context.settings.autoPause = TakeNumber(context) != 0;
}

void CommandScreenInfo(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariable(context, variable, context.window.Exists() ? context.window.KindName() : "");
}

void CommandScreenGetBrightestPaletteIndex(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, BrightestIndex(context.palette.Colors()));
}

void CommandScreenGetDarkestPaletteIndex(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, DarkestIndex(context.palette.Colors()));
}

}  // namespace script
