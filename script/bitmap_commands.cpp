// Bitmaps: not built yet; each word ends the script with a script error that names it.
#include "script/command_handlers.h"
#include "script/command_table.h"

namespace script {

void CommandBitmapAlloc(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapBox(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapChangeColor(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapClear(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapFadeInPalette(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapFilledBox(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapFree(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapFromScreen(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapGetBrightestPaletteIndex(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapGetDarkestPaletteIndex(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapGetPalette(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapGetPaletteValue(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapGetPixel(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapHeight(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapLine(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapList(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapPaletteToPalette(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapSetPalette(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapSetPaletteValue(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapSetPixel(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapText(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapToBitmap(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapToBitmapMask(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapToBitmapTrans(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapToScreen(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapToScreenMask(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapToScreenTrans(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandBitmapWidth(ScriptContext& context) { CommandNotYetAvailable(context); }

}  // namespace script
