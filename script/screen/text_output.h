#pragma once
// Text in the script window: the text cursor and colours, printing at the cursor, placing
// boxes (centred with -1), and the input box of INPUTSTRWIN.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "script/screen/font.h"

namespace script {

class MousePointer;
class ScriptContext;
class ScriptWindow;
struct Screen;
struct WindowSettings;

struct TextState {
  TextColors colors;
  int32_t cursorX = 0;  // window coordinates, offsets included
  int32_t cursorY = 0;
  std::optional<Font> bitmapFont;  // none: the built-in font

  const Font& CurrentFont() const { return bitmapFont ? *bitmapFont : Font::BuiltIn(); }
  // Text colour 7, back colour 0, transparent colour 128; the cursor and the font stay.
  void ResetColors() { colors = TextColors{}; }
};

// Adds and subtracts as 32-bit script numbers do: wrapping.
int32_t AddWrapping(int32_t a, int32_t b);
int32_t SubtractWrapping(int32_t a, int32_t b);

// Text at the cursor of the text state, in its colours and font; the pointer is hidden where
// the text goes, and a new line starts at the settings' left offset. Nothing without a window
// or for an empty text. A text that starts with a line end ("\n") moves the cursor to the start
// of the next line when one more fits below; one that starts with a backspace moves it back a
// glyph and blanks that cell; any other text is drawn at the cursor, cut to the whole glyphs
// that fit before the right edge, and the cursor moves past it.
void PrintText(ScriptWindow& window, MousePointer& pointer, TextState& state, const WindowSettings& settings,
               std::string_view text);

// Where a box of width x height goes, in the script's coordinates: -1 centres it on that axis;
// any other x is rounded down to a multiple of 4, any other y is kept.
std::pair<int32_t, int32_t> PlaceCentered(const ScriptWindow& window, const WindowSettings& settings, int32_t x,
                                          int32_t y, int64_t width, int64_t height);
// PlaceCentered with the coordinate offsets added: the window position.
std::pair<int32_t, int32_t> PlaceInWindow(const ScriptWindow& window, const WindowSettings& settings, int32_t x,
                                          int32_t y, int64_t width, int64_t height);


// INPUTSTRWIN: a box with the prompt and a field for up to `limit` characters, at (x, y) of
// the script's coordinates (-1 centres); the line typed. The window under it and the text
// cursor are as before afterwards.
std::string InputBox(ScriptContext& context, Screen& screen, int32_t x, int32_t y, int32_t limit,
                     const std::string& prompt);

}  // namespace script
