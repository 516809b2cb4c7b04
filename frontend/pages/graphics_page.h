#pragma once
// The Graphics Processor page: the picture or video input in its file list, the output name
// and type, two pages of the converter's options, and "&Convert", which starts the converter.
// The command comes from the page's settings record alone (graphics_command.h); the page only
// copies the record into its controls and back.
#include <string>

#include "frontend/core/settings.h"
#include "frontend/core/tab_page.h"
#include "frontend/pages/graphics_command.h"
#include "frontend/pages/page_controls.h"

class QAction;
class QMenu;
class QPushButton;
class QTabWidget;

namespace frontend {

class FileControls;

inline constexpr const char* kGraphicsFileFilter =
    "Graphics files|*.avi;*.flc;*.fli;*.vnt;*.tga;*.bmp;*.jpg;*.pcx;*.tif;*.gif;*.lst|"
    "AVI files only|*.avi|Flic files only|*.flc;*.fli|Vant files only|*.vnt|TGA files only|*.tga|"
    "BMP files only|*.bmp|JPG files only|*.jpg|PCX files only|*.pcx|TIF files only|*.tif|"
    "GIF files only|*.gif|\"List of graphics files\" files only|*.lst|All files *.*|*.*";

class Ttoflicform : public TabPage {
 public:
  Ttoflicform(const PageContext& context, QWidget* sheet);

  void SaveSettings() override;
  void RefreshFileLists() override;
  void FocusFirstControl() override;

  // The record as the controls show it, and every control from a record (the file controls
  // excepted).
  GraphicsSettings CurrentSettings() const;
  void ShowSettings(const GraphicsSettings& settings);

  void ConvertPressed();
  void DefaultsPressed();
  void ChooseOutputType(int type);
  void BrowsePalette();

  FileControls& files() { return *files_; }
  QLineEdit& outputEdit() { return *output_; }
  QLineEdit& paletteEdit() { return *palette_; }
  QPushButton& convertButton() { return *convert_; }
  QTabWidget& optionPages() { return *options_; }
  QMenu& typeMenu() { return *typeMenu_; }

 private:
  QWidget* MakePalettePage();
  QWidget* MakeFramePage();
  void AddCheckedEdit(QWidget* page, const char* name, const char* caption, int length, bool signAllowed,
                      bool GraphicsSettings::*enabled, std::string GraphicsSettings::*text);
  int OutputType() const;
  void SelectionChanged();
  void PageChosen(int index);

  FrontEnd& frontEnd_;
  GraphicsSettings record_;  // what no control shows
  RecordControls<GraphicsSettings> controls_;
  FileControls* files_;
  QLineEdit* output_;
  QMenu* typeMenu_;
  QAction* typeActions_[kGraphicsOutputTypeCount] = {};
  QAction* overwrite_;
  QTabWidget* options_;
  QLineEdit* palette_;
  QWidget* startBox_ = nullptr;
  QPushButton* convert_;
};

}  // namespace frontend
