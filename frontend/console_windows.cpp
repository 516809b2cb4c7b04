#include "frontend/console_windows.h"

#include <memory>

#include "frontend/batch_window.h"
#include "frontend/console.h"
#include "frontend/dialogs_attributes.h"
#include "frontend/dialogs_pick.h"
#include "frontend/dialogs_prompt.h"
#include "frontend/file_finder.h"
#include "frontend/front_end.h"
#include "frontend/image_viewer.h"
#include "frontend/list_editor.h"
#include "frontend/text_editor.h"

namespace frontend {

void InstallConsoleWindows(FrontEnd& frontEnd) {
  FrontEnd* fe = &frontEnd;
  frontEnd.SetInterpreter(std::make_unique<Console>());
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
