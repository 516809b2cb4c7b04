#pragma once
// The front end's message boxes, captioned like the main window and owned by it, through the
// dialog service; the arrow cursor shows while one is open. Escape answers Cancel where there
// is a Cancel button, else No, else OK.
#include <string>

namespace frontend {

class FrontEnd;

inline constexpr const char* kMainCaption = "Vantrel for Windows";

// The answers of the question boxes, and their default buttons.
enum BoxAnswer : int { kYes = 1, kNo = 2, kCancel = 3 };

// The stop icon and one "OK" button.
void ErrorBox(FrontEnd& frontEnd, const std::string& text);
// The information icon and one "OK" button.
void InfoBox(FrontEnd& frontEnd, const std::string& text);
// True for Yes; the default button is Yes for kYes, else No.
bool YesNoBox(FrontEnd& frontEnd, const std::string& text, BoxAnswer defaultButton);
BoxAnswer YesNoCancelBox(FrontEnd& frontEnd, const std::string& text, BoxAnswer defaultButton);

}  // namespace frontend
