#pragma once
// The main window: eight tabs whose pages are made when chosen and freed when left, a 20 ms
// timer that carries out the requests pages post, F1 to F9, the report endpoint tools send to,
// the pop-up menus of the file controls, and the rules for closing.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QTimer>
#include <QWidget>

#include "frontend/core/report_endpoint.h"
#include "frontend/files/popup_menus.h"
#include "frontend/shell/page_registry.h"

class QTabWidget;

namespace frontend {

class FrontEnd;

class Ttopwin : public QWidget {
 public:
  // The designed size, for an 8-point font; at the desktop's font the window starts at this size
  // scaled to it, and grows (never shrinks) to what its pages need.
  static constexpr int kWidth = 744;
  static constexpr int kHeight = 417;
  static constexpr int kTimerMs = 20;
  static constexpr int kTabBarSlack = 8;  // the tab widget's frame beside its tab bar

  Ttopwin(FrontEnd& frontEnd, PageRegistry pages, QWidget* parent = nullptr);
  ~Ttopwin() override;

  QTabWidget* maintab() const { return tabs_; }
  TabPage* currentPage() const { return page_.get(); }
  int CurrentTab() const;
  PopupMenus& menus() { return *menus_; }
  ReportEndpoint& reportEndpoint() { return *endpoint_; }

  // Makes the tab active, which frees the page shown and makes the tab's page.
  void SelectMainTab(int index);
  // A command to run on the first ticks (a batch named on the command line); selects the
  // Command tab.
  void SetPendingCommand(const std::string& command);
  // Where the settings are written when the window closes (empty: nowhere).
  void SetSettingsPath(const std::string& path) { settingsPath_ = path; }
  // The settings could not be written when the window closed: the program fails.
  bool SettingsSaveFailed() const { return settingsSaveFailed_; }

  // Windows that come later: a guard may refuse the close (an unsaved text held in memory); a
  // close action runs when the window closes (the analysis window is closed in any case).
  void AddCloseGuard(std::function<bool()> guard) { closeGuards_.push_back(std::move(guard)); }
  void AddCloseAction(std::function<void()> action) { closeActions_.push_back(std::move(action)); }

  // One timer tick: one request from the queue, then the pending command.
  void Tick();
  // Brings back a hidden or minimised window (a tool's restore notice).
  void RestoreFromNotice();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CarryOut(int request);
  void TabChanged(int index);
  void CreateTabForm(int index);
  void FreePage();
  // Where the window opens: where it was left, or centred, inside the screen's available area.
  void PlaceWindow();
  // Grows the window until the page shown has the room its layout needs.
  void FitPage();

  FrontEnd& frontEnd_;
  PageRegistry pages_;
  QTabWidget* tabs_;
  std::vector<QWidget*> sheets_;
  std::unique_ptr<PopupMenus> menus_;
  std::unique_ptr<ReportEndpoint> endpoint_;
  std::unique_ptr<TabPage> page_;
  QTimer timer_;
  int changing_ = 1;  // raised until the first showing: choosing a tab then makes no page
  bool shown_ = false;
  std::string pendingCommand_;
  std::string settingsPath_;
  bool settingsSaveFailed_ = false;
  std::vector<std::function<bool()>> closeGuards_;
  std::vector<std::function<void()>> closeActions_;
};

}  // namespace frontend
