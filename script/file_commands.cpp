// Files, directories, drives and environment: not built yet; each word ends the script with a script error that names it.
#include "script/command_handlers.h"
#include "script/command_table.h"

namespace script {

void CommandDirChange(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandDirCurrent(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandDirExists(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandDirMake(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandDirRemove(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandDriveAvail(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandDriveSize(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandEnvGet(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandEnvSet(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileAppend(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileCdrom(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileClose(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileCopy(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileCreate(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileDelete(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileEof(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileExists(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileFind(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileFindNext(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileFullPath(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileGetAttrib(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileList(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileOpen(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFilePieces(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileRead(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileRemote(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileRemovable(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileRename(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileSetAttrib(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileSize(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileTemp(ScriptContext& context) { CommandNotYetAvailable(context); }
void CommandFileWrite(ScriptContext& context) { CommandNotYetAvailable(context); }

}  // namespace script
