#include "frontend/pages/script_command.h"

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/text_format.h"

namespace frontend {

std::string BuildScriptCommand(const std::string& script, const std::string& directory) {
  return "VantScr " + QuoteRelativeName(script, directory);
}

std::string EditPageCaption(const std::string& fileName) {
  return fileName.empty() ? "Edit - Untitled" : "Edit: " + NamePart(fileName);
}

std::string LineIndicator(int line, const std::string& separator) {
  return " Line: " + FormatThousands(line, separator);
}

std::string ScriptHelpWord(const std::string& text) {
  const std::string line = TrimBlanks(text);
  if (line.empty() || line[0] == ':') return "";
  // The script player's command word ends at a blank or a comma.
  size_t end = 0;
  while (end < line.size() && static_cast<unsigned char>(line[end]) > ' ' && line[end] != ',') ++end;
  return line.substr(0, end);
}

bool ConfirmHeldScriptSave(FrontEnd& frontEnd, bool forceSaveAs, const std::string& directory) {
  EditedText& script = frontEnd.scriptor.script;
  SaveAsChoice saveAs;
  saveAs.helpContext = kScriptSaveHelpContext;
  saveAs.extension = ".ss";
  saveAs.filter = kScriptFilter;
  saveAs.directory = script.fileName.empty() ? directory : DirectoryPart(script.fileName);
  if (saveAs.directory.empty()) saveAs.directory = frontEnd.ConsoleDirectory();
  return SaveEditedText(frontEnd, script, saveAs, forceSaveAs);
}

}  // namespace frontend
