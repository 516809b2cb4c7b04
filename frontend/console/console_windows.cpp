#include "frontend/console/console_windows.h"

#include <memory>

#include "frontend/console/batch_window.h"
#include "frontend/console/console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/editors/image_viewer.h"
#include "frontend/editors/list_editor.h"
#include "frontend/editors/text_editor.h"
#include "frontend/files/dialogs_attributes.h"
#include "frontend/files/dialogs_pick.h"
#include "frontend/files/dialogs_prompt.h"
#include "frontend/files/file_finder.h"

namespace frontend {

void InstallConsoleWindows(FrontEnd& frontEnd) {
  FrontEnd* fe = &frontEnd;
  auto console = std::make_unique<Console>();
  console->analysis().SetHelp([fe](const std::string& keyword) { ShowHelpKeyword(*fe, keyword); });
  frontEnd.SetInterpreter(std::move(console));
  frontEnd.dialogs.askText = [fe](const TextRequest& request) { return AskText(*fe, request); };
  frontEnd.dialogs.pickFromList = [fe](const PickRequest& request) { return PickFromList(*fe, request); };
  frontEnd.dialogs.editAttributes = [fe](const std::string& file, unsigned attributes) {
    return EditAttributes(*fe, file, attributes);
  };
  frontEnd.dialogs.findFile = [fe](const std::string& pattern) { return FindFiles(*fe, pattern, nullptr); };
  frontEnd.dialogs.editTextFile = [fe](const std::string& file) { EditTextFile(*fe, file); };
  frontEnd.dialogs.editListFile = [fe](const std::string& file) { return EditListFile(*fe, file); };
  frontEnd.dialogs.newListFromSelection = [fe](FileControls& controls) {
    return NewListFromSelection(*fe, controls);
  };
  frontEnd.dialogs.runBatchFile = [fe](const std::string& file, const std::string& parameters) {
    RunBatchFile(*fe, file, parameters);
  };
  frontEnd.viewImageFile = [fe](const std::string& file) { return ViewImageFile(*fe, file); };
}

}  // namespace frontend
