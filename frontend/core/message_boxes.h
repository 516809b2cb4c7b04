#pragma once
// The front end's message boxes, captioned like the main window and owned by it, through the
// dialog service; the arrow cursor shows while one is open. Escape answers Cancel where there
// is a Cancel button, else No, else OK.
#include <string>

namespace frontend {

class FrontEnd;

inline constexpr const char* kMainCaption = "Vantrel for Windows";

// Results of YesNoCancelBox, and its default buttons.
inline constexpr int kYes = 1;
inline constexpr int kNo = 2;
inline constexpr int kCancel = 3;

// The stop icon and one "OK" button.
void ErrorBox(FrontEnd& frontEnd, const std::string& text);
// The information icon and one "OK" button.
void InfoBox(FrontEnd& frontEnd, const std::string& text);
// True for Yes; the default button is Yes when defaultButton is 1, else No.
bool YesNoBox(FrontEnd& frontEnd, const std::string& text, int defaultButton);
// 1 Yes, 2 No, 3 Cancel; the default button likewise (anything else: Cancel).
int YesNoCancelBox(FrontEnd& frontEnd, const std::string& text, int defaultButton);

}  // namespace frontend
