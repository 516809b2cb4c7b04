#pragma once
// The data-rate analysis window "Vant Analyze": every frame's size and the one-second running
// average of a .vnt video against the rates of 1x, 2x and 4x CD-ROM drives.
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <utility>

#include "frontend/analysis/analysis_data.h"

class QAction;
class QGroupBox;
class QMenu;
class QPrinter;
class QScrollBar;

namespace chart {
class TxyGraphWidget;
}

namespace frontend {

class StatusPanels;

class Ttunef;

// The analysis window of a run of the front end: at most one is open at a time, the rate unit
// chosen in one holds for those opened later, and F1 in it asks the help given here.
class AnalysisWindows {
 public:
  AnalysisWindows();
  ~AnalysisWindows();
  AnalysisWindows(const AnalysisWindows&) = delete;
  AnalysisWindows& operator=(const AnalysisWindows&) = delete;

  // Opens the window on a video (the console's "vnttune" and the pages' "&Analyze"): the window
  // is made when none is open and shown when the file loads; when it does not, the window is
  // closed and freed. Returns whether the file was loaded.
  bool Open(const std::string& fileName, QWidget* owner = nullptr);
  // The open window, or null.
  Ttunef* window() const { return window_.data(); }
  // Closes the open window, if any (the main window does so when it closes).
  void Close();

  // Asked for the help keyword; without it an information box says that no help is installed.
  void SetHelp(std::function<void(const std::string& keyword)> help) { help_ = std::move(help); }
  const std::function<void(const std::string& keyword)>& help() const { return help_; }

  bool bytesPerSecond = true;  // else bytes per frame

 private:
  QPointer<Ttunef> window_;
  std::function<void(const std::string& keyword)> help_;
};

class Ttunef : public QWidget {
 public:
  enum MenuItem {
    miClose, miZoomIn, miZoomOut, miZoomDefault, miShowLegend, miShowValues, miShowGrid,
    miShowAverage, miShow2x, miShow4x, miShow1x, miShowAsType, miCopyGraph, miCopyValues,
    miPrintGraph, kMenuItemCount
  };

  // The window keeps to the unit and help of the windows it is one of.
  explicit Ttunef(AnalysisWindows& windows, QWidget* owner = nullptr);

  // Loads the video (quotes taken off, ".vnt" added when the name has no extension); a failure
  // has been told to the user when it returns false.
  bool OpenVideoFile(const std::string& fileName);
  LoadOutcome LoadVideoFile();
  void UpdateSpeedLines();
  void SetVisibleFrames(int64_t wanted);

  chart::TxyGraphWidget& Graph() { return *graph_; }
  QScrollBar& ScrollBar() { return *scroll_; }
  QAction& Action(MenuItem item) { return *actions_[item]; }
  QMenu& PopupMenu() { return *menu_; }
  StatusPanels& StatusBar() { return *status_; }
  const DataRateAnalysis& Analysis() const { return analysis_; }
  const std::string& FileName() const { return fileName_; }
  int64_t VisibleFrameCount() const { return visible_; }
  double LargestPlotted() const { return largest_; }
  // Prints the window's picture scaled to the page.
  bool PrintTo(QPrinter& printer);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BuildMenu();
  void SetUpGraph();
  QAction* AddAction(MenuItem item, const char* caption, const QKeySequence& keys, std::function<void()> run);
  RateUnit Unit() const;
  void ReportLoadFailure(LoadOutcome outcome);
  void scrollChange(int position);
  void showastypeClick();
  void PointstoClipboard1Click();
  void CopyGraph();
  void PrintGraph();
  void graphDblClick();
  void StatusClick(int panel);
  void OpenPopupMenu();
  void ShowHelp();

  AnalysisWindows& windows_;
  DataRateAnalysis analysis_;
  std::string fileName_;
  int64_t visible_ = 2;      // frames shown
  int updating_ = 0;         // while non-zero, scroll bar changes are ours
  double largest_ = 0;       // highest frame value plotted since the last load
  int lastMouseUpX_ = 0;
  int lastWidth_ = 0;        // for keeping the frames per pixel on a resize

  chart::TxyGraphWidget* graph_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  StatusPanels* status_ = nullptr;
  QGroupBox* legend_ = nullptr;
  QMenu* menu_ = nullptr;
  std::array<QAction*, kMenuItemCount> actions_{};
};

}  // namespace frontend
