// Text: not built yet; each word ends the script with a script error that names it.
#include "script/command_handlers.h"
#include "script/command_table.h"

namespace script {

void CommandText(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextBackColor(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextBegin(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextColor(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextFontFromBitmap(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextNoCr(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextSetXY(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextTransColor(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextX(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandTextY(ScriptContext& context) { CommandNotYetAvailable(context); }

}  // namespace script
