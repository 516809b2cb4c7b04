#include "frontend/core/message_boxes.h"

#include "frontend/core/busy_cursor.h"
#include "frontend/core/front_end.h"
#include "platform/face/dialogs.h"

namespace frontend {

void ErrorBox(FrontEnd& frontEnd, const std::string& text) {
  ArrowCursor arrow;
  platform::ShowMessageBox(kMainCaption, text, platform::DialogIcon::Error, frontEnd.mainWindow);
}

void InfoBox(FrontEnd& frontEnd, const std::string& text) {
  ArrowCursor arrow;
  platform::ShowMessageBox(kMainCaption, text, platform::DialogIcon::Information,
                           frontEnd.mainWindow);
}

bool YesNoBox(FrontEnd& frontEnd, const std::string& text, BoxAnswer defaultButton) {
  ArrowCursor arrow;
  return platform::AskYesNo(kMainCaption, text, defaultButton != kYes, frontEnd.mainWindow);
}

BoxAnswer YesNoCancelBox(FrontEnd& frontEnd, const std::string& text, BoxAnswer defaultButton) {
  using platform::DialogAnswer;
  const DialogAnswer preset = defaultButton == kYes  ? DialogAnswer::Yes
                              : defaultButton == kNo ? DialogAnswer::No
                                                     : DialogAnswer::Cancel;
  ArrowCursor arrow;
  switch (platform::AskYesNoCancel(kMainCaption, text, preset, frontEnd.mainWindow)) {
    case DialogAnswer::Yes: return kYes;
    case DialogAnswer::No: return kNo;
    default: return kCancel;
  }
}

}  // namespace frontend
