#include "frontend/core/front_end_dialogs.h"

#include <sys/stat.h>

#include "frontend/core/file_mask.h"
#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_format.h"
#include "platform/face/dialogs.h"
#include "platform/system/dos_attributes.h"
#include "platform/system/file_operations.h"

namespace frontend {

std::string ServiceFilter(const std::string& filter) {
  std::string out;
  for (const FilterEntry& entry : ParseFilter(filter)) {
    if (!out.empty()) out += ";;";
    std::string masks = entry.mask;
    for (char& c : masks) {
      if (c == ';') c = ' ';
    }
    out += entry.description + " (" + (masks == "*.*" ? std::string(1, '*') : masks) + ")";
  }
  return out;
}

bool AcceptOutputName(FrontEnd& frontEnd, const std::string& name, OverwritePolicy policy,
                      const std::string& proposal) {
  struct stat info {};
  if (lstat(name.c_str(), &info) != 0) return true;
  switch (policy) {
    case OverwritePolicy::Accept:
      if (!proposal.empty() && platform::SameFile(name, proposal)) return true;
      [[fallthrough]];
    case OverwritePolicy::MustNotExist:
      ErrorBox(frontEnd, "Error: output filename must not already exist.");
      return false;
    case OverwritePolicy::Ask: break;
  }
  const std::optional<unsigned> attributes = platform::GetDosAttributes(name);
  if (!S_ISREG(info.st_mode) || !attributes ||
      (*attributes & (platform::kDosReadOnly | platform::kDosHidden)) != 0) {
    ErrorBox(frontEnd, "Error: output filename must be a normal file (not read-only, hidden, etc).");
    return false;
  }
  return YesNoBox(frontEnd, "Overwrite " + name + " ?", kNo);
}

FrontEndDialogs ServiceDialogs(FrontEnd& frontEnd) {
  FrontEndDialogs dialogs;
  FrontEnd* fe = &frontEnd;
  dialogs.askOutputName = [fe](const OutputNameRequest& request) -> std::string {
    ScopedHelpContext help(*fe, request.helpContext);
    const std::optional<std::string> name =
        platform::PromptSaveFile(request.caption, DirectoryPart(request.proposal),
                                 NamePart(request.proposal), ServiceFilter(request.filter),
                                 fe->mainWindow);
    if (!name || !AcceptOutputName(*fe, *name, request.policy, request.proposal)) return "";
    return *name;
  };
  dialogs.askText = [fe](const TextRequest& request) {
    ScopedHelpContext help(*fe, request.helpContext);
    return platform::PromptText(request.caption, request.label, request.offered, fe->mainWindow);
  };
  dialogs.pickFromList = [fe](const PickRequest& request) {
    ScopedHelpContext help(*fe, request.helpContext);
    return platform::PromptChoice(request.caption, request.prompt, request.entries, fe->mainWindow);
  };
  return dialogs;
}

}  // namespace frontend
