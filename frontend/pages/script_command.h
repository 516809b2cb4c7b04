#pragma once
// What the Scriptor page works out without its windows: the script player's command, the
// caption of the editing page, its line indicator and the word that help is asked about.
#include <string>

#include "frontend/pages/edited_text.h"

namespace frontend {

class FrontEnd;

inline constexpr const char* kScriptFilter = "VantScript files (*.ss)|*.ss|All files (*.*)|*.*";
inline constexpr int kScriptSaveHelpContext = 1087;

// "VantScr " + the script (quoted, without its directory when it lies in `directory`).
std::string BuildScriptCommand(const std::string& script, const std::string& directory);

// "Edit - Untitled" for a script never saved, else "Edit: " + its name.
std::string EditPageCaption(const std::string& fileName);

// " Line: " + the line number counting from 1, with thousands separators.
std::string LineIndicator(int line, const std::string& separator);

// The command word of a script line, for help; "" for a label line (":name") or a blank one.
std::string ScriptHelpWord(const std::string& text);

// Offers to save the script held in memory when it was changed (the main window asks this when
// it closes away from the Scriptor tab). True when the program may go on.
bool ConfirmHeldScriptSave(FrontEnd& frontEnd, bool forceSaveAs = false, const std::string& directory = "");

}  // namespace frontend
