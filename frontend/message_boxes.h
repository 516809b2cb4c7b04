#pragma once
// The front end's message boxes, captioned like the main window, through the dialog service.
#include <string>

namespace frontend {

class FrontEnd;

inline constexpr const char* kMainCaption = "Vantrel for Windows";

void ErrorBox(FrontEnd& frontEnd, const std::string& text);
void InfoBox(FrontEnd& frontEnd, const std::string& text);
// True for Yes; the default button is Yes when defaultButton is 1, else No.
bool YesNoBox(FrontEnd& frontEnd, const std::string& text, int defaultButton);
// 1 Yes, 2 No, 3 Cancel; defaultButton likewise.
int YesNoCancelBox(FrontEnd& frontEnd, const std::string& text, int defaultButton);

}  // namespace frontend
