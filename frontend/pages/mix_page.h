#pragma once
// The Mixer page: a video in the left file list, a sound input in the right one, the output
// name, three pages of the mixer's options, and "Mi&x", which starts the mixer. The command
// comes from the page's settings record (mix_command.h); the page copies the record into its
// controls and back.
#include <memory>

#include "frontend/core/settings.h"
#include "frontend/core/tab_page.h"
#include "frontend/pages/page_controls.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTabWidget;

namespace frontend {

class FileControls;
class TypedRateBox;

inline constexpr const char* kMixVideoFilter = "Vantrel files (*.vnt)|*.vnt|All files (*.*)|*.*";
inline constexpr const char* kMixSoundFilter =
    "Sound files (*.wav;*.avi;*.vnt)|*.wav;*.avi;*.vnt;*.lst|WAV files (*.wav)|*.wav|"
    "AVI files (*.avi)|*.avi|Vantrel files (*.vnt)|*.vnt|List files (*.lst)|*.lst|All files (*.*)|*.*";

class Tmixform : public TabPage {
 public:
  Tmixform(const PageContext& context, QWidget* sheet);
  ~Tmixform() override;

  void SaveSettings() override;
  void RefreshFileLists() override;
  void FocusFirstControl() override;

  // The record as the controls show it (the file controls excepted), and back.
  MixSettings CurrentSettings() const;
  void ShowSettings(const MixSettings& settings);

  void MixPressed();
  void AnalyzePressed();
  void PermanentPressed();
  void DefaultsPressed();

  FileControls& videoFiles() { return *videos_; }
  FileControls& soundFiles() { return *sounds_; }
  QLineEdit& outputEdit() { return *output_; }
  QPushButton& mixButton() { return *mix_; }
  QPushButton& analyzeButton() { return *analyze_; }
  QPushButton& permanentButton() { return *permanent_; }
  QTabWidget& optionPages() { return *options_; }
  QComboBox& rateBox() { return *rate_; }

 private:
  QWidget* MakeMixingPage();
  QWidget* MakeOutputPage();
  QWidget* MakeInputPage();
  void SelectionChanged();
  void InputTypeChanged();
  void PageChanged(int index);

  FrontEnd& frontEnd_;
  MixSettings record_;  // what no control shows
  RecordControls<MixSettings> controls_;
  FileControls* videos_;
  FileControls* sounds_;
  QLineEdit* output_;
  QTabWidget* options_;
  QScrollBar* lossy_;
  QComboBox* track_;
  QPushButton* permanent_;
  QComboBox* rate_;
  std::unique_ptr<TypedRateBox> typedRate_;
  QComboBox* inputType_;
  QLineEdit* forceRate_;
  QLineEdit* skipBytes_;
  QLineEdit* startTime_;
  QPushButton* mix_;
  QPushButton* analyze_;
};

}  // namespace frontend
