// Screen and window: not built yet; each word ends the script with a script error that names it.
#include "script/command_handlers.h"
#include "script/command_table.h"

namespace script {

void CommandScreenAdjustXY(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenBox(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenClear(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenFadeOutClear(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenFadeSpeed(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenFilledBox(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenForcePaletteZeroBlack(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenGetBrightestPaletteIndex(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenGetDarkestPaletteIndex(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenGetPixel(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenGraphics(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenHeight(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenInfo(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenLine(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenPaletteLock(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenSetPixel(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenSettings(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenText(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWidth(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWindowAutoPause(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWindowBorder(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWindowHasFocus(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWindowHpal(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWindowHwnd(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWindowPos(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandScreenWindowTitle(ScriptContext& context) { CommandNotYetAvailable(context); }

}  // namespace script
