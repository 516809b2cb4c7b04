#pragma once
// Keys, clicks and questions: the key queue that the window fills (64 codes), the names that
// INPUTCHAR gives keys, the click counters, the message box and the line editor.
#include <cstdint>
#include <string>

namespace script {

class MousePointer;
class ScriptContext;
class ScriptWindow;
struct ClickCounts;
struct Screen;

// INPUTCHAR's name of a key code: "ENTER", "F1", "SHIFT F1", "ALT F4", ...; any other code
// is the one character of that code.
std::string KeyName(int code);

// Waits until a key code is queued, then takes the oldest.
int WaitKey(ScriptContext& context, ScriptWindow& window);
// 1 for a left button release not taken yet, else 2 for a right one, else 0.
int TakeMouseClick(const ScriptWindow& window, ClickCounts& taken);

// The name of the next key, click or time-out: a key's name; over a mouse area a left click
// gives the area's name, elsewhere "LEFT MOUSE"; "RIGHT MOUSE"; "DELAY" when `limit`
// milliseconds have passed (-1: no limit). Clicks count only while the pointer is on.
std::string WaitInputChar(ScriptContext& context, Screen& screen, int32_t limit);

// OK 1, Yes 4, No 8, anything else 2. Style 2 asks for Cancel, 4 or 8 for Yes and No.
// The drawn pointer is hidden first.
int AskMessageBox(ScriptWindow& window, MousePointer& pointer, const std::string& text, int32_t style);

// Reads a line at the text cursor: printable characters up to `limit`, Backspace erases, Enter
// ends a line of at least one character; Escape, or Enter on nothing, gives the default (shown).
std::string ReadTextLine(ScriptContext& context, Screen& screen, int32_t limit, const std::string& fallback);

}  // namespace script
