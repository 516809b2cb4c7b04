// Screen and window: make and close the script window, choose how it looks, draw into it,
// manage its palette and report its state.
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/language/script_error.h"
#include "script/screen/screen_drawing.h"

#include "player/player_window.h"

namespace script {

namespace {

constexpr size_t kTitleLimit = 255;
// Larger windows are refused like a buffer that cannot be had.
constexpr int64_t kWindowPixelLimit = int64_t{1} << 26;

// Window width and height when there is no window: the text screen's columns and rows.
constexpr int32_t kTextColumns = 80, kTextRows = 25;

void SetTextOrigin(CommandContext& context, int32_t x, int32_t y) {
  Screen& screen = context.screen;
  screen.settings.offsetX = screen.text.cursorX = x;
  screen.settings.offsetY = screen.text.cursorY = y;
}

bool OpenWindow(CommandContext& context, int32_t width, int32_t height) {
  Screen& screen = context.screen;
  if (width < 0 || height < 0 || int64_t{width} * height > kWindowPixelLimit) return false;
  const WindowSettings& settings = screen.settings;
  if (!screen.window.Open(settings.options, settings.x, settings.y, width, height)) return false;
  screen.animations.ReleaseWindowTargets();
  screen.palette.TakeFrom(StartPalette(), screen.window);
  screen.window.ShowPalette();
  screen.text.ResetColors();
  screen.pointer.Reset();
  SetTextOrigin(context, (screen.window.Width() - width) / 2, (screen.window.Height() - height) / 2);
  return true;
}

using BoxDrawing = void (*)(ScriptWindow&, MousePointer&, int64_t x, int64_t y, int64_t width, int64_t height,
                            uint8_t color);

// The box commands' words: x, y, width, height and the colour.
void DrawBoxCommand(CommandContext& context, BoxDrawing draw) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const int64_t x = TakeWindowX(context, screen.settings), y = TakeWindowY(context, screen.settings);
  const int32_t width = TakeNumber(context), height = TakeNumber(context);
  draw(screen.window, screen.pointer, x, y, width, height, TakeColor(context));
}

void CommandScreenSettings(CommandContext& context) {
  const int32_t kind = TakeNumber(context);
  uint32_t& options = context.screen.settings.options;
  if (kind == 0) {
    options = (options & ~kWindowBlitterMask) | kBlitterRequestStandard;
  } else if (kind >= 1 && kind <= 4) {
    options = (options & ~kWindowBlitterMask) | BlitterRequestForVideoType(kind) | kWindowDoubleBuffer;
  }
}

void CommandScreenWindowBorder(CommandContext& context) {
  uint32_t& options = context.screen.settings.options;
  switch (TakeNumber(context)) {
    case 0: options &= ~(kWindowNoDialogFrame | kWindowThinBorder); break;
    case 1: options |= kWindowNoDialogFrame | kWindowThinBorder; break;
    case 2: options |= kWindowNoDialogFrame | kWindowNoCaption; break;
    default: break;
  }
}

void CommandScreenWindowTitle(CommandContext& context) {
  Screen& screen = context.screen;
  std::string title = TakeText(context);
  if (title.size() > kTitleLimit) title.resize(kTitleLimit);
  screen.window.SetProgramTitle(title);
  if (screen.window.Exists()) {
    screen.window.SetTitle(title);
  } else if (title.empty()) {
    screen.settings.options |= kWindowNoCaption;
  } else {
    screen.settings.options &= ~kWindowNoCaption;
  }
}

void CommandScreenWindowPos(CommandContext& context) {
  Screen& screen = context.screen;
  screen.settings.x = TakeNumber(context);
  screen.settings.y = TakeNumber(context);
  if (screen.window.Exists()) screen.window.Move(screen.settings.x, screen.settings.y);
}

void CommandScreenGraphics(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t width = TakeNumber(context);
  const int32_t height = TakeNumber(context);
  context.screen.pointer.Hide();
  if (width == 0 || height == 0) {
    ScriptError(context, "  Zero dimension in command:\r\n    ", context.run.lineBuffer, "\r\n");
  }
  SetVariableNumber(context, variable, OpenWindow(context, width, height) ? 1 : 0);
}

void CommandScreenText(CommandContext& context) {
  CloseScriptWindow(context.screen);
  SetTextOrigin(context, 0, 0);
  SkipLeadingBlanks(context);
}

void CommandScreenAdjustXY(CommandContext& context) {
  const int32_t x = TakeNumber(context);
  SetTextOrigin(context, x, TakeNumber(context));
}

void CommandScreenClear(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  ScreenClear(screen.window, screen.pointer, TakeColor(context));
}

void CommandScreenFadeOutClear(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const uint8_t color = TakeColor(context);
  screen.palette.FadeOut(screen.window, FadeStepWait(context, screen.settings));
  ScreenClear(screen.window, screen.pointer, color);
}

void CommandScreenFadeSpeed(CommandContext& context) {
  context.screen.settings.fadeStepMs = std::max(TakeNumber(context), 0);
}

void CommandScreenPaletteLock(CommandContext& context) {
  const int32_t first = TakeNumber(context);
  const int32_t count = TakeNumber(context);
  context.screen.palette.LockRun(first, count, TakeNumber(context) != 0);
}

void CommandScreenForcePaletteZeroBlack(CommandContext& context) {
  Screen& screen = context.screen;
  const bool lock = TakeNumber(context) != 0;
  screen.palette.SetEntry(0, 0, 0, 0);
  screen.palette.Take(screen.window);
  screen.window.ShowPalette();
  screen.palette.LockRun(0, 1, lock);
}

void CommandScreenSetPixel(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const int64_t x = TakeWindowX(context, screen.settings), y = TakeWindowY(context, screen.settings);
  ScreenSetPixel(screen.window, screen.pointer, x, y, TakeColor(context));
}

void CommandScreenGetPixel(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const std::string variable = TakeVariable(context);
  const int64_t x = TakeWindowX(context, screen.settings), y = TakeWindowY(context, screen.settings);
  SetVariableNumber(context, variable, ScreenGetPixel(screen.window, x, y));
}

void CommandScreenLine(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const int64_t x0 = TakeWindowX(context, screen.settings), y0 = TakeWindowY(context, screen.settings);
  const int64_t x1 = TakeWindowX(context, screen.settings), y1 = TakeWindowY(context, screen.settings);
  ScreenLine(screen.window, screen.pointer, x0, y0, x1, y1, TakeColor(context));
}

void CommandScreenBox(CommandContext& context) { DrawBoxCommand(context, ScreenBox); }

void CommandScreenFilledBox(CommandContext& context) { DrawBoxCommand(context, ScreenFilledBox); }

void CommandScreenWidth(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, screen.window.Exists() ? screen.window.Width() : kTextColumns);
}

void CommandScreenHeight(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, screen.window.Exists() ? screen.window.Height() : kTextRows);
}

void CommandScreenWindowHasFocus(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.screen.window.Focused() ? 1 : 0);
}

void CommandScreenWindowHwnd(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.screen.window.Handle16());
}

// The window's colours are the display buffer's own: there is no palette object to name, so
// the handle is 0.
void CommandScreenWindowHpal(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  RequireWindow(context, context.screen.window);
  SetVariableNumber(context, variable, 0);
}

void CommandScreenWindowAutoPause(CommandContext& context) {
  context.screen.settings.autoPause = TakeNumber(context) != 0;
}

void CommandScreenInfo(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  SetVariable(context, variable, screen.window.Exists() ? screen.window.KindName() : "");
}

void CommandScreenGetBrightestPaletteIndex(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, BrightestIndex(context.screen.palette.Colors()));
}

void CommandScreenGetDarkestPaletteIndex(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, DarkestIndex(context.screen.palette.Colors()));
}

constexpr CommandEntry kEntries[] = {
    {"SCREENADJUSTXY", CommandScreenAdjustXY},
    {"SCREENBOX", CommandScreenBox},
    {"SCREENCLEAR", CommandScreenClear},
    {"SCREENFADEOUTCLEAR", CommandScreenFadeOutClear},
    {"SCREENFADESPEED", CommandScreenFadeSpeed},
    {"SCREENFILLEDBOX", CommandScreenFilledBox},
    {"SCREENFORCEPALETTEZEROBLACK", CommandScreenForcePaletteZeroBlack},
    {"SCREENGETBRIGHTESTPALETTEINDEX", CommandScreenGetBrightestPaletteIndex},
    {"SCREENGETDARKESTPALETTEINDEX", CommandScreenGetDarkestPaletteIndex},
    {"SCREENGETPIXEL", CommandScreenGetPixel},
    {"SCREENGRAPHICS", CommandScreenGraphics},
    {"SCREENHEIGHT", CommandScreenHeight},
    {"SCREENINFO", CommandScreenInfo},
    {"SCREENLINE", CommandScreenLine},
    {"SCREENPALETTELOCK", CommandScreenPaletteLock},
    {"SCREENSETPIXEL", CommandScreenSetPixel},
    {"SCREENSETTINGS", CommandScreenSettings},
    {"SCREENTEXT", CommandScreenText},
    {"SCREENWIDTH", CommandScreenWidth},
    {"SCREENWINDOWAUTOPAUSE", CommandScreenWindowAutoPause},
    {"SCREENWINDOWBORDER", CommandScreenWindowBorder},
    {"SCREENWINDOWHASFOCUS", CommandScreenWindowHasFocus},
    {"SCREENWINDOWHPAL", CommandScreenWindowHpal},
    {"SCREENWINDOWHWND", CommandScreenWindowHwnd},
    {"SCREENWINDOWPOS", CommandScreenWindowPos},
    {"SCREENWINDOWTITLE", CommandScreenWindowTitle},
};

}  // namespace

std::span<const CommandEntry> ScreenCommands() { return kEntries; }

}  // namespace script
