// vantrelw_tour: the front end on the display it is started on, with screenshots of the whole
// screen as a person sees it: every page, the sub-pages of the compress page and the Mixer, the
// executable builder, the analysis window, the list editor and the two "Save As" dialogs. Each caption shown
// less than whole and each window past the screen's available area is listed on standard
// output; the exit code is 1 when there was any. scripts/desktop-screenshots.sh runs it under
// Xvfb.
//
// Usage: vantrelw_tour MEDIA_DIRECTORY OUTPUT_DIRECTORY
// MEDIA_DIRECTORY holds demo.vnt and the files the pages list; the settings are read from and
// written to $XDG_CONFIG_HOME/vant/Vantrel.INI.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "frontend/analysis/analysis_window.h"
#include "frontend/console/console.h"
#include "frontend/console/console_windows.h"
#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/files/output_name_dialog.h"
#include "frontend/shell/page_registry.h"
#include "frontend/shell/start_up.h"
#include "frontend/shell/tests/caption_check.h"
#include "frontend/shell/topwin.h"
#include "platform/gui/qt_faces.h"
#include "platform/gui/window_placement.h"
#include "platform/system/program_start.h"

namespace {

using frontend::FrontEnd;
using frontend::Ttopwin;

// One step after another, each a little after the one before, so that the windows are painted
// by the time the screen is taken; a step that waits for a modal window goes on inside its loop.
class Tour {
 public:
  Tour(Ttopwin& topwin, FrontEnd& frontEnd, std::string media, std::string output)
      : topwin_(topwin), frontEnd_(frontEnd), media_(std::move(media)), output_(std::move(output)) {}

  void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }
  void Start() { QTimer::singleShot(kPauseMs, [this] { Next(); }); }
  int faults() const { return faults_; }

  // Saves the screen as NAME.png and looks at the windows on it.
  void Shoot(const std::string& name) {
    const std::string file = output_ + "/" + name + ".png";
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(file))) {
      std::printf("%s: could not be saved\n", file.c_str());
      ++faults_;
    }
    const QRect available = platform::AvailableArea(&topwin_);
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible() || window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip) continue;
      const std::string title = window->windowTitle().toStdString();
      for (const std::string& line : frontend_testing::ClippedCaptions(*window)) {
        std::printf("%s: %s: %s\n", name.c_str(), title.c_str(), line.c_str());
        ++faults_;
      }
      if (!available.contains(window->frameGeometry())) {
        const QRect frame = window->frameGeometry();
        std::printf("%s: %s: the window (%d,%d %dx%d) passes the screen's available area (%dx%d)\n", name.c_str(),
                    title.c_str(), frame.x(), frame.y(), frame.width(), frame.height(), available.width(),
                    available.height());
        ++faults_;
      }
    }
    std::printf("%s saved (the main window %dx%d)\n", file.c_str(), topwin_.frameGeometry().width(),
                topwin_.frameGeometry().height());
  }

  // Runs `step` once a modal window with this title is open (inside its loop).
  void WhenModal(const QString& title, std::function<void(QWidget&)> step) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->windowTitle() == title) {
      QTimer::singleShot(kPauseMs, modal, [modal, step] { step(*modal); });
      return;
    }
    QTimer::singleShot(50, [this, title, step] { WhenModal(title, step); });
  }

  Ttopwin& topwin() { return topwin_; }
  FrontEnd& frontEnd() { return frontEnd_; }
  const std::string& media() const { return media_; }

 private:
  static constexpr int kPauseMs = 400;

  void Next() {
    if (steps_.empty()) {
      topwin_.close();
      return;
    }
    std::function<void()> step = std::move(steps_.front());
    steps_.pop_front();
    step();  // a step that opens a modal window returns once it is closed
    QTimer::singleShot(kPauseMs, [this] { Next(); });
  }

  Ttopwin& topwin_;
  FrontEnd& frontEnd_;
  std::string media_;
  std::string output_;
  std::deque<std::function<void()>> steps_;
  int faults_ = 0;
};

std::string FileName(const std::string& text) {
  std::string name;
  for (char c : text) name += (c == ' ' || c == '/' || c == '&' || c == ':') ? '_' : c;
  return name;
}

QPushButton* ButtonCalled(QWidget& window, const char* caption) {
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (button->text() == QString::fromUtf8(caption)) return button;
  }
  return nullptr;
}

QTabWidget* Notebook(Tour& tour, const char* name) {
  QWidget* page = tour.topwin().currentPage();
  return page ? page->findChild<QTabWidget*>(QString::fromUtf8(name)) : nullptr;
}

void PlanPages(Tour& tour) {
  for (int tab = 0; tab < frontend::kTabCount; ++tab) {
    const std::string page = std::to_string(tab) + "-" + FileName(frontend::Tab(tab).caption);
    tour.Then([&tour, tab] { tour.topwin().SelectMainTab(tab); });
    tour.Then([&tour, page] { tour.Shoot(page); });
    // The sub-pages of the compress page and the Mixer, each on a screenshot of its own.
    const char* notebook = tab == frontend::kVantTab ? "vanttab" : tab == frontend::kMixerTab ? "mixtab" : nullptr;
    if (!notebook) continue;
    const int count = tab == frontend::kVantTab ? 5 : 3;
    for (int index = 1; index <= count; ++index) {
      tour.Then([&tour, notebook, index, count] {
        if (QTabWidget* pages = Notebook(tour, notebook)) pages->setCurrentIndex(index % count);
      });
      if (index == count) continue;
      tour.Then([&tour, notebook, index, page] {
        if (QTabWidget* pages = Notebook(tour, notebook)) {
          tour.Shoot(page + "-" + std::to_string(index) + "-" + FileName(pages->tabText(index).toStdString()));
        }
      });
    }
  }
}

void PlanWindows(Tour& tour) {
  // The executable builder, over the Player page with the video highlighted.
  tour.Then([&tour] { tour.topwin().SelectMainTab(frontend::kPlayerTab); });
  tour.Then([&tour] {
    tour.WhenModal(QStringLiteral("Compile Vantrel Executable"), [&tour](QWidget& builder) {
      tour.Shoot("10-executable-builder");
      builder.close();
    });
    if (QPushButton* compile = ButtonCalled(*tour.topwin().currentPage(), "&Compile to Exe")) compile->click();
  });
  // The analysis window, as the console's command opens it.
  tour.Then([&tour] {
    frontend::RunCommand(tour.frontEnd(), tour.media(), "VntTune demo.vnt");
    if (frontend::Ttunef* window = static_cast<frontend::Console&>(tour.frontEnd().interpreter()).analysis().window()) {
      window->Action(frontend::Ttunef::miShowLegend).trigger();
    }
  });
  tour.Then([&tour] { tour.Shoot("11-analysis-window"); });
  tour.Then([&tour] { static_cast<frontend::Console&>(tour.frontEnd().interpreter()).analysis().Close(); });
  // "Save As List:", from the list editor's "Save &As".
  tour.Then([&tour] {
    tour.WhenModal(QStringLiteral("List File Editor - clips.lst"), [&tour](QWidget& editor) {
      tour.Shoot("12-list-editor");
      tour.WhenModal(QStringLiteral("Save As List:"), [&tour, &editor](QWidget& dialog) {
        tour.Shoot("13-save-as-list");
        dialog.close();
        QTimer::singleShot(300, &editor, [&editor] { editor.close(); });
      });
      if (QPushButton* saveAs = ButtonCalled(editor, "Save &As")) saveAs->click();
    });
    tour.frontEnd().dialogs.editListFile(tour.media() + "/clips.lst");
  });
  // "Save As Filename:", from the Scriptor's "Save &As" on its editing page.
  tour.Then([&tour] { tour.topwin().SelectMainTab(frontend::kScriptorTab); });
  tour.Then([&tour] {
    if (QTabWidget* pages = Notebook(tour, "scripttab")) pages->setCurrentIndex(1);
  });
  tour.Then([&tour] {
    tour.WhenModal(QStringLiteral("Save As Filename:"), [&tour](QWidget& dialog) {
      tour.Shoot("14-save-as-filename");
      dialog.close();
    });
    if (QPushButton* saveAs = ButtonCalled(*tour.topwin().currentPage(), "Save &As")) saveAs->click();
  });
  tour.Then([&tour] {
    if (QTabWidget* pages = Notebook(tour, "scripttab")) pages->setCurrentIndex(0);
    tour.topwin().SelectMainTab(frontend::kMainTab);
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: vantrelw_tour MEDIA_DIRECTORY OUTPUT_DIRECTORY\n", stderr);
    return 1;
  }
  QApplication application(argc, argv);
  platform::UseQtFacesInProcess();
  const std::string media = argv[1];
  const std::string output = argv[2];
  QDir().mkpath(QString::fromStdString(output));

  frontend::SystemProgramStarter starter;
  FrontEnd frontEnd(starter);
  frontend::InstallConsoleWindows(frontEnd);
  const frontend::StartUpArguments startUp = frontend::ScanStartUpArguments({});
  frontEnd.settings = frontend::LoadStartUpSettings(startUp, platform::OwnProgramDirectory(), media);
  frontend::Settings& settings = frontEnd.settings;
  settings.compress.directory = settings.mix.vantDirectory = settings.mix.waveDirectory = media;
  settings.play.directory = settings.script.directory = settings.graphics.directory = media;
  settings.sound.directory = settings.command.directory = media;
  settings.play.filename = "demo.vnt";

  Ttopwin topwin(frontEnd, frontend::StandardPages());
  frontend::InstallOutputNameDialog(frontEnd, &topwin.menus());
  topwin.show();

  Tour tour(topwin, frontEnd, media, output);
  PlanPages(tour);
  PlanWindows(tour);
  tour.Start();
  application.exec();
  std::printf("%d faults\n", tour.faults());
  return tour.faults() == 0 ? 0 : 1;
}
