#include "script/screen/text_output.h"

#include <algorithm>

#include "script/screen/mouse_pointer.h"
#include "script/screen/screen.h"
#include "script/screen/script_input.h"
#include "script/screen/script_window.h"

namespace script {

namespace {

int32_t Narrow(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t AddWrapping(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t SubtractWrapping(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

void PrintText(ScriptWindow& window, MousePointer& pointer, TextState& state, const WindowSettings& settings,
               std::string_view text) {
  if (text.empty() || !window.Exists()) return;
  const Font& font = state.CurrentFont();
  const int64_t width = font.Width(), height = font.Height();
  if (text[0] == '\n') {
    if (int64_t{state.cursorY} + 2 * height <= window.Height()) {
      state.cursorX = settings.offsetX;
      state.cursorY = Narrow(state.cursorY + height);
    }
    return;
  }
  const PixelCanvas canvas = window.Canvas();
  if (text[0] == '\b') {
    state.cursorX = Narrow(std::max<int64_t>(int64_t{state.cursorX} - width, 0));
    const PixelRect cell = ClipRect(state.cursorX, state.cursorY, width, height, canvas.width, canvas.height);
    pointer.HideOver(cell);
    FillBox(canvas, state.cursorX, state.cursorY, width, height, state.colors.back);
    window.Show(cell);
    return;
  }
  const int64_t room = std::max<int64_t>(int64_t{canvas.width} - state.cursorX, 0) / width;
  const std::string_view shown = text.substr(0, static_cast<size_t>(std::min<int64_t>(room, static_cast<int64_t>(text.size()))));
  if (shown.empty()) return;
  const PixelRect area = ClipRect(state.cursorX, state.cursorY, width * static_cast<int64_t>(shown.size()),
                                  height, canvas.width, canvas.height);
  pointer.HideOver(area);
  DrawText(canvas, state.cursorX, state.cursorY, shown, font, state.colors);
  window.Show(area);
  state.cursorX = Narrow(state.cursorX + width * static_cast<int64_t>(shown.size()));
}

std::pair<int32_t, int32_t> PlaceCentered(const ScriptWindow& window, const WindowSettings& settings, int32_t x,
                                          int32_t y, int64_t width, int64_t height) {
  const int64_t left = x == -1 ? (window.Width() - width) / 2 - settings.offsetX : int64_t{x} & ~int64_t{3};
  const int64_t top = y == -1 ? (window.Height() - height) / 2 - settings.offsetY : y;
  return {Narrow(left), Narrow(top)};
}

std::pair<int32_t, int32_t> PlaceInWindow(const ScriptWindow& window, const WindowSettings& settings, int32_t x,
                                          int32_t y, int64_t width, int64_t height) {
  const auto [left, top] = PlaceCentered(window, settings, x, y, width, height);
  return {AddWrapping(left, settings.offsetX), AddWrapping(top, settings.offsetY)};
}

std::string InputBox(ScriptContext& context, Screen& screen, int32_t x, int32_t y, int32_t limit,
                     const std::string& prompt) {
  TextState& state = screen.text;
  const Font& font = state.CurrentFont();
  const int64_t glyphWidth = font.Width(), glyphHeight = font.Height();
  const int64_t width = (std::max<int64_t>(limit, static_cast<int64_t>(prompt.size())) + 4) * glyphWidth;
  const int64_t height = 6 * glyphHeight;
  const auto [left, top] = PlaceInWindow(screen.window, screen.settings, x, y, width, height);
  const PixelCanvas canvas = screen.window.Canvas();
  const PixelRect area = ClipRect(left, top, width, height, canvas.width, canvas.height);

  std::unique_ptr<Bitmap> saved = MakeBitmap(area.width, area.height);
  if (saved != nullptr) CopyPixels(canvas, area.x, area.y, saved->Canvas(), 0, 0, area.width, area.height);
  screen.pointer.HideOver(area);
  FillBox(canvas, left, top, width, height, state.colors.back);
  DrawOutline(canvas, left + 1, top + 1, left + width - 2, top + height - 2, state.colors.text);
  const int64_t promptX = left + (width - glyphWidth * static_cast<int64_t>(prompt.size())) / 2;
  DrawText(canvas, promptX, top + glyphHeight * 3 / 2, prompt, font, state.colors);
  const int64_t fieldX = left + 2 * glyphWidth, fieldY = top + glyphHeight * 7 / 2;
  const int64_t fieldWidth = std::max<int32_t>(limit, 1) * glyphWidth;
  DrawOutline(canvas, fieldX - 2, fieldY - 2, fieldX + fieldWidth + 1, fieldY + glyphHeight + 1,
              state.colors.text);
  screen.window.Show(area);

  const int32_t cursorX = state.cursorX, cursorY = state.cursorY;
  state.cursorX = Narrow(fieldX);
  state.cursorY = Narrow(fieldY);
  const std::string line = ReadTextLine(context, screen, limit, "");
  state.cursorX = cursorX;
  state.cursorY = cursorY;

  screen.pointer.HideOver(area);
  if (saved != nullptr) CopyPixels(saved->Canvas(), 0, 0, canvas, area.x, area.y, area.width, area.height);
  screen.window.Show(area);
  return line;
}

}  // namespace script
