#pragma once
// The compress page ("Vant" tab): the input in its file list, the output name and type, five
// pages of the compressor's options, and the "&Vant" button that starts the compressor. The
// command comes from the page's settings record alone (compress_command.h); the page only
// copies the record into its controls and back.
#include <memory>
#include <string>
#include <vector>

#include "frontend/core/settings.h"
#include "frontend/pages/page_controls.h"
#include "frontend/core/tab_page.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTabWidget;

namespace frontend {

class FileControls;
class TypedRateBox;

inline constexpr const char* kCompressFileFilter =
    "Graphics files|*.avi;*.flc;*.fli;*.vnt;*.tga;*.bmp;*.jpg;*.pcx;*.tif;*.gif;*.lst|"
    "AVI files only|*.avi|Flic files only|*.flc;*.fli|Vant files only|*.vnt|TGA files only|*.tga|"
    "BMP files only|*.bmp|JPG files only|*.jpg|PCX files only|*.pcx|TIF files only|*.tif|"
    "GIF files only|*.gif|List of graphics files|*.lst|All files|*.*";

class Tvantform : public TabPage {
 public:
  Tvantform(const PageContext& context, QWidget* sheet);
  ~Tvantform() override;

  void SaveSettings() override;
  void RefreshFileLists() override;
  void FocusFirstControl() override;

  // The record as the controls show it, and the frame-specific lines.
  CompressSettings CurrentSettings() const;
  std::vector<std::string> FrameSpecificLines() const;
  // Every control from the record (the file controls excepted).
  void ShowSettings(const CompressSettings& settings, const std::vector<std::string>& frameSpecific);

  // The buttons and the output type menu.
  void CompressPressed();
  void DefaultsPressed();
  void ChooseOutputType(int type);

  FileControls& files() { return *files_; }
  QLineEdit& outputEdit() { return *output_; }
  QPushButton& compressButton() { return *compress_; }
  QTabWidget& optionPages() { return *options_; }
  QMenu& typeMenu() { return *typeMenu_; }
  QComboBox& rateBox() { return *rate_; }

 private:
  QWidget* MakeVantPage();
  QWidget* MakePalettePage();
  QWidget* MakeFramePage();
  QWidget* MakeSoundPage();
  QWidget* MakeExpertPage();
  QLineEdit* AddCheckedEdit(QWidget* page, const char* name, const char* caption, int length,
                            bool signAllowed, bool CompressSettings::*enabled,
                            std::string CompressSettings::*text);

  void SelectionChanged();
  void ShowStoredValue(bool keyFrames);
  void StoreValue(bool keyFrames, const QString& text);
  void SoundChanged();
  void BrowsePalette();
  void UpdateDefaultOutput();

  FrontEnd& frontEnd_;
  CompressSettings record_;  // what no control shows, and the stored value of every type
  FileControls* files_;
  QLineEdit* output_;
  QMenu* typeMenu_;
  QAction* typeActions_[8] = {};
  QAction* mixOriginal_;
  QAction* overwrite_;
  QTabWidget* options_;
  QComboBox* regularType_;
  QComboBox* keyType_;
  QLineEdit* regularValue_;
  QLineEdit* keyValue_;
  QLineEdit* autoKey_;
  QLineEdit* palette_;
  QCheckBox* noSound_;
  QScrollBar* lossy_;
  QLabel* lossyLabel_;
  QComboBox* rate_;
  std::unique_ptr<TypedRateBox> typedRate_;
  QComboBox* bits_;
  QComboBox* channels_;
  std::vector<QWidget*> soundControls_;
  QPlainTextEdit* frameInfo_;
  QPushButton* compress_;
  RecordControls<CompressSettings> controls_;
};

}  // namespace frontend
