// Directories, drives and the environment: the current directory, making and removing
// directories, the kind and the space of the file system that holds a path, and the program's
// environment variables.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/system/drives.h"
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/language/text_functions.h"
#include "toolsupport/base/paths.h"

namespace script {

namespace {

void StoreYesNo(CommandContext& context, const std::string& variable, bool yes) {
  SetVariableNumber(context, variable, yes ? 1 : 0);
}

// var, directory: the directory test or change of the command, 1 when it worked.
void DirectoryCommand(CommandContext& context, bool (*operation)(const std::string&)) {
  const std::string variable = TakeVariable(context);
  StoreYesNo(context, variable, operation(NativeFileName(TakeNonEmptyText(context))));
}

void DriveKindTest(CommandContext& context, platform::DriveKind kind) {
  const std::string variable = TakeVariable(context);
  const std::optional<platform::DriveFacts> facts =
      platform::DescribeDrive(NativeFileName(TakeNonEmptyText(context)));
  StoreYesNo(context, variable, facts && facts->kind == kind);
}

// Bytes beyond 32 bits stop at 2147483647; a file system that cannot tell gives 0.
void DriveSpace(CommandContext& context, bool total) {
  const std::string variable = TakeVariable(context);
  const std::optional<platform::DriveSpace> space =
      platform::QueryDriveSpace(NativeFileName(TakeNonEmptyText(context)));
  const uint64_t bytes = !space ? 0 : total ? space->totalBytes : space->freeBytes;
  SetVariableNumber(context, variable, platform::SaturatedInt32(bytes));
}

void CommandDirChange(CommandContext& context) {
  DirectoryCommand(context, [](const std::string& directory) {
    std::string entered = directory;
    return EnterDirectory(true, entered);
  });
}

void CommandDirExists(CommandContext& context) {
  DirectoryCommand(context, [](const std::string& directory) {
    std::string entered = directory;
    return EnterDirectory(false, entered);
  });
}

void CommandDirMake(CommandContext& context) {
  DirectoryCommand(context, [](const std::string& directory) { return mkdir(directory.c_str(), 0777) == 0; });
}

void CommandDirRemove(CommandContext& context) {
  DirectoryCommand(context, [](const std::string& directory) { return rmdir(directory.c_str()) == 0; });
}

void CommandDirCurrent(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  char directory[PATH_MAX];
  SetVariable(context, variable, getcwd(directory, sizeof directory) != nullptr ? directory : "");
}

void CommandFileCdrom(CommandContext& context) { DriveKindTest(context, platform::DriveKind::CdRom); }
void CommandFileRemovable(CommandContext& context) { DriveKindTest(context, platform::DriveKind::Removable); }
void CommandFileRemote(CommandContext& context) { DriveKindTest(context, platform::DriveKind::Remote); }

void CommandDriveAvail(CommandContext& context) { DriveSpace(context, false); }
void CommandDriveSize(CommandContext& context) { DriveSpace(context, true); }

void CommandEnvGet(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const char* value = std::getenv(UpperCased(TakeNonEmptyText(context)).c_str());
  SetVariable(context, variable, value != nullptr ? value : "");
}

// Programs that EXECUTE starts later get the program's environment, this change included.
void CommandEnvSet(CommandContext& context) {
  const std::string name = UpperCased(TakeText(context));
  const std::string value = TakeText(context);
  if (value.empty()) {
    unsetenv(name.c_str());
  } else {
    setenv(name.c_str(), value.c_str(), 1);
  }
}

constexpr CommandEntry kEntries[] = {
    {"DIRCHANGE", CommandDirChange},
    {"DIRCURRENT", CommandDirCurrent},
    {"DIREXISTS", CommandDirExists},
    {"DIRMAKE", CommandDirMake},
    {"DIRREMOVE", CommandDirRemove},
    {"DRIVEAVAIL", CommandDriveAvail},
    {"DRIVESIZE", CommandDriveSize},
    {"ENVGET", CommandEnvGet},
    {"ENVSET", CommandEnvSet},
    {"FILECDROM", CommandFileCdrom},
    {"FILEREMOTE", CommandFileRemote},
    {"FILEREMOVABLE", CommandFileRemovable},
};

}  // namespace

std::span<const CommandEntry> DriveCommands() { return kEntries; }

}  // namespace script
