#include "frontend/shell/topwin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

#include "frontend/core/busy_cursor.h"
#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/report_receiving.h"
#include "frontend/core/scoped_increment.h"
#include "frontend/shell/start_up.h"
#include "platform/face/frame_guard.h"
#include "platform/gui/toolkit_icon.h"
#include "platform/gui/window_placement.h"

namespace frontend {
Ttopwin::Ttopwin(FrontEnd& frontEnd, PageRegistry pages, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      frontEnd_(frontEnd),
      pages_(std::move(pages)),
      tabs_(new QTabWidget(this)),
      menus_(std::make_unique<PopupMenus>(frontEnd, this)) {
  setWindowTitle(QString::fromUtf8(kMainCaption));
  setWindowIcon(platform::ToolkitIcon());
  // The designed size at the desktop's font; it grows to what its pages need.
  setFixedSize(platform::ScaledForFont(QSize(kWidth, kHeight), fontMetrics()));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(tabs_);
  for (int index = 0; index < kTabCount; ++index) {
    auto* sheet = new QWidget(tabs_);
    auto* sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    sheets_.push_back(sheet);
    tabs_->addTab(sheet, QString::fromUtf8(Tab(index).caption));
  }
  QObject::connect(tabs_, &QTabWidget::currentChanged, [this](int index) { TabChanged(index); });

  frontEnd_.mainWindow = this;
  frontEnd_.mainMenus = menus_.get();
  frontEnd_.shownTab = [this] { return CurrentTab(); };
  endpoint_ = std::make_unique<ReportEndpoint>(
      [this](const platform::ReportRequest& request) {
        return ReceiveReport(frontEnd_, request, [this] { RestoreFromNotice(); });
      },
      kMainCaption);
  if (!endpoint_->listening()) std::fputs("vantrelw: tool reports cannot be received\n", stderr);
  frontEnd_.notifyTargets.SetMain(endpoint_->number());

  SelectMainTab(frontEnd_.settings.main.currentTab);
  qApp->installEventFilter(this);
  QObject::connect(&timer_, &QTimer::timeout, platform::Guarded("The main window's timer", [this] { Tick(); }));
  timer_.start(kTimerMs);
}

Ttopwin::~Ttopwin() {
  timer_.stop();
  if (qApp) qApp->removeEventFilter(this);
  FreePage();
  if (frontEnd_.mainWindow == this) {
    frontEnd_.mainWindow = nullptr;
    frontEnd_.mainMenus = nullptr;
    frontEnd_.shownTab = nullptr;
  }
  frontEnd_.notifyTargets.SetMain(0);
}

int Ttopwin::CurrentTab() const { return tabs_->currentIndex(); }

void Ttopwin::PlaceWindow() {
  const MainSettings& main = frontEnd_.settings.main;
  const QRect available = platform::AvailableArea(this);
  if (main.x != kUnsetPosition && main.y != kUnsetPosition) {
    // Where it was left, as far as the screen it opens on now shows it whole.
    move(platform::FrameInside(QRect(QPoint(main.x, main.y), frameGeometry().size()), available).topLeft());
  } else {
    move(platform::CentredFrame(available, frameGeometry().size(), available).topLeft());
  }
}

void Ttopwin::FitPage() {
  // The tab widget's least size follows the page just made; every tab caption is shown whole.
  QSize needed = tabs_->minimumSizeHint();
  needed.setWidth(std::max(needed.width(), tabs_->tabBar()->sizeHint().width() + kTabBarSlack));
  const QSize grown = size().expandedTo(needed + size() - tabs_->size());
  if (grown == size()) return;
  setFixedSize(grown);
  if (shown_) move(platform::FrameInside(frameGeometry(), platform::AvailableArea(this)).topLeft());
}

void Ttopwin::SelectMainTab(int index) {
  if (index < 0 || index >= kTabCount) return;
  if (tabs_->currentIndex() == index) {
    if (!page_ && changing_ == 0) CreateTabForm(index);
    return;
  }
  tabs_->setCurrentIndex(index);
}

void Ttopwin::SetPendingCommand(const std::string& command) {
  pendingCommand_ = command;
  if (!command.empty()) SelectMainTab(kCommandTab);
}

void Ttopwin::TabChanged(int index) {
  if (changing_ != 0) return;
  ScopedIncrement scope(changing_);
  BusyCursor busy;
  FreePage();
  CreateTabForm(index);
}

void Ttopwin::CreateTabForm(int index) {
  frontEnd_.helpContext = Tab(index).helpContext;
  QWidget* sheet = sheets_[static_cast<size_t>(index)];
  page_ = pages_.Make(index, PageContext{frontEnd_, *menus_}, sheet);
  sheet->layout()->addWidget(page_.get());
  page_->show();
  FitPage();
  page_->FocusFirstControl();
  frontEnd_.frameRateRequest = false;
}

void Ttopwin::FreePage() {
  if (!page_) return;
  page_->SaveSettings();
  page_.reset();
}

void Ttopwin::Tick() {
  if (const std::optional<int> request = frontEnd_.requests.Take()) CarryOut(*request);
  if (!pendingCommand_.empty()) {
    const std::string command = pendingCommand_;
    pendingCommand_.clear();
    RunCommand(frontEnd_, "", command, CommandOrigin::StartUp);
  }
}

void Ttopwin::CarryOut(int request) {
  switch (request) {
    case kRequestClose: close(); return;
    case kRequestRefreshFiles:
      if (page_) page_->RefreshFileLists();
      return;
    case kRequestHelp: ShowTabHelp(frontEnd_); return;
    default:
      if (request >= 0 && request < kTabCount) SelectMainTab(request);
  }
}

void Ttopwin::RestoreFromNotice() { frontEnd_.RestoreMainWindow(); }

void Ttopwin::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  CreateTabForm(CurrentTab());
  PlaceWindow();
  shown_ = true;
  changing_ = 0;
  frontEnd_.ShowPrompt();
}

void Ttopwin::closeEvent(QCloseEvent* event) {
  if (QApplication::activeModalWidget() != nullptr) {
    ErrorBox(frontEnd_, "Error, cannot close now.");
    event->ignore();
    return;
  }
  if (page_ && !page_->MayClose()) {
    event->ignore();
    return;
  }
  for (const auto& guard : closeGuards_) {
    if (!guard()) {
      event->ignore();
      return;
    }
  }
  timer_.stop();
  FreePage();
  frontEnd_.interpreter().CloseWindows();
  for (const auto& action : closeActions_) action();
  frontEnd_.settings.main.x = x();
  frontEnd_.settings.main.y = y();
  frontEnd_.settings.main.currentTab = CurrentTab();
  hide();
  int error = 0;
  if (!settingsPath_.empty() && !SaveSettingsFile(settingsPath_, frontEnd_.settings, &error)) {
    std::fprintf(stderr, "vantrelw: the settings could not be written to %s: %s\n", settingsPath_.c_str(),
                 std::strerror(error));
    settingsSaveFailed_ = true;
  }
  event->accept();
}

bool Ttopwin::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_F1) {
    frontEnd_.requests.Post(kRequestHelp);
    return true;
  }
  if (key >= Qt::Key_F2 && key <= Qt::Key_F9) {
    frontEnd_.requests.Post(key - Qt::Key_F2);
    return true;
  }
  return false;
}

}  // namespace frontend
