#include "frontend/message_boxes.h"

#include "frontend/front_end.h"
#include "platform/gui/dialogs.h"

namespace frontend {

void ErrorBox(FrontEnd& frontEnd, const std::string& text) {
  platform::ShowMessageBox(kMainCaption, text, platform::DialogIcon::Error, frontEnd.mainWindow);
}

void InfoBox(FrontEnd& frontEnd, const std::string& text) {
  platform::ShowMessageBox(kMainCaption, text, platform::DialogIcon::Information,
                           frontEnd.mainWindow);
}

bool YesNoBox(FrontEnd& frontEnd, const std::string& text, int defaultButton) {
  return platform::AskYesNo(kMainCaption, text, defaultButton != 1, frontEnd.mainWindow);
}

int YesNoCancelBox(FrontEnd& frontEnd, const std::string& text, int defaultButton) {
  using platform::DialogAnswer;
  const DialogAnswer preset = defaultButton == 1   ? DialogAnswer::Yes
                              : defaultButton == 2 ? DialogAnswer::No
                                                   : DialogAnswer::Cancel;
  switch (platform::AskYesNoCancel(kMainCaption, text, preset, frontEnd.mainWindow)) {
    case DialogAnswer::Yes: return 1;
    case DialogAnswer::No: return 2;
    default: return 3;
  }
}

}  // namespace frontend
