#pragma once
// What every tool page is made of: a group with the input's file controls, a group with the
// output name, the options beside them, and a row of buttons below.
#include <functional>
#include <string>

class QAction;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

namespace frontend {

class FileControls;
class FrontEnd;

struct ToolPageButtons {
  QPushButton* run;
  QPushButton* defaults;
  QPushButton* help;
  QPushButton* howDoI;
  QPushButton* back;
};

// File controls named prefix + "drive", "dir", "file" and "filter" filling the group, several
// files at once; a double click opens a file by its type.
FileControls* AddInputFiles(QGroupBox* group, const std::string& prefix, FrontEnd& frontEnd);

// The "&Type" menu: the output types, one of them checked at a time, each calling `chosen` with
// its number; then a separator, behind which the caller adds its own toggles.
QMenu* MakeTypeMenu(QWidget* parent, const char* const* captions, int count, QAction** actions,
                    std::function<void(int)> chosen);
// The output name field filling the group, with a "&Type" button for the menu beside it.
QLineEdit* AddOutputName(QGroupBox* group, const char* name, QMenu* typeMenu);

// The palette options of the pages that read pictures: the palette file (with "..." to browse;
// left empty it shows the input's own palette again) and the lists "halftone", "palcontrol" and
// prefix + "wincol", in the grid's next rows.
struct PaletteControls {
  QLineEdit* name;
  QComboBox* halftone;
  QComboBox* paletteControl;
  QComboBox* windowsColors;
};
PaletteControls AddPaletteControls(QWidget* page, QGridLayout* grid, const std::string& prefix,
                                   std::function<void()> browse);

// Input and output groups on the left, the options on the right, then the run button,
// "&Defaults", "&Help", "Ho&w do I...?" and "Back to &Main"; the last three do what they do on
// every page (Escape presses "Back to &Main"), the first two call the handlers (nothing thrown
// leaves them).
ToolPageButtons LayOutToolPage(QWidget* page, FrontEnd& frontEnd, QWidget* inputGroup, QWidget* outputGroup,
                               QWidget* options, const char* runCaption, std::function<void()> run,
                               std::function<void()> defaults);

}  // namespace frontend
