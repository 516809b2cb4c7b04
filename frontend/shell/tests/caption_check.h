#pragma once
// Whether a window shows every caption whole: each label, check box, radio button, push button,
// group box title and tab is measured at its own font against the room its widget gives the
// text, inside what its parents and the window leave visible.
#include <string>
#include <vector>

class QWidget;

namespace frontend_testing {

// One line per caption shown less than whole: its kind, its text, its name and the room it has
// against the room it needs. Widgets hidden in the window (other tabs' pages) are not looked at.
std::vector<std::string> ClippedCaptions(const QWidget& window);

// One line per label that shows an ampersand before a letter as it stands: a label that has no
// buddy to give the focus to draws no accelerator, so "&Run" would be shown with its '&'.
std::vector<std::string> StrayAmpersands(const QWidget& window);

// The lines above, one a line, for a test's message.
std::string Listed(const std::vector<std::string>& lines);

}  // namespace frontend_testing
