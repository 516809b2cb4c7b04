// Animations: not built yet; each word ends the script with a script error that names it.
#include "script/command_handlers.h"
#include "script/command_table.h"

namespace script {

void CommandAnimationAdvance(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationAdvanceNoPalette(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationBackToStart(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationClose(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationDelay(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationFrames(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationGoto(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationHeight(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationList(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationLoadToBitmap(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationOpen(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationPlay(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationStillDelay(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationToBitmap(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationToScreen(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationTracks(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandAnimationWidth(ScriptContext& context) { CommandNotYetAvailable(context); }

}  // namespace script
