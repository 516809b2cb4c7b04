#pragma once
// The Player page: the highlighted video plays with the player's switches from four option
// pages, opens in the analysis window, or goes to the executable builder; files of other kinds
// open with what suits them. The switches come from the page's settings record
// (play_command.h); the page copies the record into its controls and back.
#include <array>

#include "frontend/core/settings.h"
#include "frontend/core/tab_page.h"
#include "frontend/pages/page_controls.h"

class QCheckBox;
class QPushButton;
class QTabWidget;

namespace frontend {

class FileControls;

inline constexpr const char* kPlayFilter =
    "Vantrel files (*.vnt)|*.vnt|Executables (*.exe)|*.exe|All files (*.*)|*.*";

class Tplayform : public TabPage {
 public:
  Tplayform(const PageContext& context, QWidget* sheet);

  void SaveSettings() override;
  void RefreshFileLists() override;
  void FocusFirstControl() override;

  PlaySettings CurrentSettings() const;
  void ShowSettings(const PlaySettings& settings);

  void PlayPressed();
  void AnalyzePressed();
  void CompilePressed();
  void PermanentPressed();
  void DefaultsPressed();

  FileControls& files() { return *files_; }
  QPushButton& playButton() { return *play_; }
  QPushButton& analyzeButton() { return *analyze_; }
  QPushButton& compileButton() { return *compile_; }
  QTabWidget& optionPages() { return *options_; }

 private:
  QWidget* MakeCommonPage();
  QWidget* MakePositionPage();
  QWidget* MakeSoundPage();
  QWidget* MakeExpertPage();
  void SelectionChanged();

  FrontEnd& frontEnd_;
  PlaySettings record_;  // what no control shows
  RecordControls<PlaySettings> controls_;
  FileControls* files_;
  QTabWidget* options_;
  std::array<QCheckBox*, 7> tracks_ = {};
  std::array<QWidget*, 4> firstControls_ = {};
  QPushButton* play_;
  QPushButton* analyze_;
  QPushButton* compile_;
};

}  // namespace frontend
