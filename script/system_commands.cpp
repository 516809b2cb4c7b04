// System services, sound and printing: not built yet; each word ends the script with a script error that names it.
#include "script/command_handlers.h"
#include "script/command_table.h"

namespace script {

void CommandMciSendString(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandPrintBegin(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandPrintEnd(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandPrintPageAdv(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSound(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemColors(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemCommandLine(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemCurrentExe(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemCurrentScript(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemDateTime(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemDisplayResolution(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemMemory(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemOsMajor(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemOsMinor(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemPlatform(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemTimer(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandSystemUseDirectSound(ScriptContext& context) { CommandNotYetAvailable(context); }

}  // namespace script
