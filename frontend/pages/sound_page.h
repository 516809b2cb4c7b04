#pragma once
// The Sound Processor page: the sound input in its file list, the output name, two pages of the
// sound processor's options, and "&Convert", which starts it. The command comes from the page's
// settings record alone (sound_command.h); the page only copies the record into its controls
// and back.
#include <memory>
#include <string>
#include <vector>

#include "frontend/core/settings.h"
#include "frontend/core/tab_page.h"
#include "frontend/pages/page_controls.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace frontend {

class FileControls;

inline constexpr const char* kSoundFileFilter =
    "Sound files (*.avi;*.wav;*.vnt;*.lst)|*.avi;*.wav;*.vnt;*.lst|AVI files only (*.avi)|*.avi|"
    "WAV files only (*.wav)|*.wav|Vant files only (*.vnt)|*.vnt|List files (*.lst)|*.lst|"
    "RAW sound files (*.raw)|*.raw|All files (*.*)|*.*";

class Ttowavform : public TabPage {
 public:
  Ttowavform(const PageContext& context, QWidget* sheet);
  ~Ttowavform() override;

  void SaveSettings() override;
  void RefreshFileLists() override;
  void FocusFirstControl() override;

  // The record as the controls show it (rate entry kTypedSoundRate while a rate is typed), and
  // the rate field's text then.
  SoundSettings CurrentSettings() const;
  std::string TypedRate() const;
  // Every control from the record (the file controls excepted); a typed rate is not kept.
  void ShowSettings(const SoundSettings& settings);

  void ConvertPressed();
  void DefaultsPressed();

  FileControls& files() { return *files_; }
  QLineEdit& outputEdit() { return *output_; }
  QPushButton& convertButton() { return *convert_; }
  QTabWidget& optionPages() { return *options_; }
  QComboBox& rateBox() { return *rate_; }

 private:
  QWidget* MakeOutputPage();
  QWidget* MakeInputPage();
  void SelectionChanged();
  void InputTypeChanged();
  void PageChosen(int index);

  FrontEnd& frontEnd_;
  SoundSettings record_;  // what no control shows
  RecordControls<SoundSettings> controls_;
  FileControls* files_;
  QLineEdit* output_;
  QTabWidget* options_;
  QComboBox* rate_;
  std::unique_ptr<TypedRateBox> typedRate_;
  QComboBox* inputType_;
  QWidget* startBox_ = nullptr;
  std::vector<QWidget*> rawInputControls_;
  QPushButton* convert_;
};

}  // namespace frontend
