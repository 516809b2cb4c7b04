// Keyboard and mouse input: not built yet; each word ends the script with a script error that names it.
#include "script/command_handlers.h"
#include "script/command_table.h"

namespace script {

void CommandInputChar(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandInputCharOrDelay(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandInputMsgWin(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandInputStr(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandInputStrWin(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseAdd(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseArea(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseMode(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMousePop(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMousePresent(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMousePushAndRemoveAll(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseRemove(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseRemoveAll(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseSetXY(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseX(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandMouseY(ScriptContext& context) { CommandNotYetAvailable(context); }

}  // namespace script
