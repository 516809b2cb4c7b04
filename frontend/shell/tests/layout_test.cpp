// Every page, sub-page and dialog of the front end as a person sees it: whole captions at the
// desktop's font, windows inside the screen and centred on what they belong to, and the
// toolkit's icon on each.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTabWidget>

#include <functional>
#include <memory>

#include "frontend/analysis/analysis_window.h"
#include "frontend/analysis/tests/analysis_files.h"
#include "frontend/chart/graph_widget.h"
#include "frontend/console/batch_window.h"
#include "frontend/console/console_windows.h"
#include "frontend/core/front_end.h"
#include "frontend/core/tests/frontend_test_support.h"
#include "frontend/editors/image_viewer.h"
#include "frontend/editors/list_editor.h"
#include "frontend/editors/text_editor.h"
#include "frontend/files/dialogs_attributes.h"
#include "frontend/files/dialogs_open.h"
#include "frontend/files/dialogs_pick.h"
#include "frontend/files/dialogs_prompt.h"
#include "frontend/files/file_copy.h"
#include "frontend/files/file_finder.h"
#include "frontend/files/output_name_dialog.h"
#include "frontend/pages/executable_builder.h"
#include "frontend/shell/about_box.h"
#include "frontend/shell/page_registry.h"
#include "frontend/shell/tests/caption_check.h"
#include "frontend/shell/topwin.h"
#include "platform/gui/toolkit_icon.h"
#include "platform/gui/window_placement.h"
#include "testsupport/scratch_directory.h"

using namespace frontend;
using frontend_testing::ClippedCaptions;
using frontend_testing::Listed;

namespace {

void Settle() {
  for (int round = 0; round < 3; ++round) QCoreApplication::processEvents();
}

bool CarriesToolkitIcon(const QWidget& window) {
  return window.testAttribute(Qt::WA_SetWindowIcon) &&
         window.windowIcon().cacheKey() == platform::ToolkitIcon().cacheKey();
}

// The captions a window shows clipped or with a stray ampersand, each line after the name of
// what was open.
std::vector<std::string> ClippedIn(const QWidget& window, const std::string& where) {
  std::vector<std::string> lines;
  for (const std::string& line : ClippedCaptions(window)) lines.push_back(where + ": " + line);
  for (const std::string& line : frontend_testing::StrayAmpersands(window)) lines.push_back(where + ": " + line);
  return lines;
}

class Layout : public ::testing::Test {
 protected:
  Layout() : frontEnd_(starter_) {
    frontEnd_.settings.command.directory = scratch_.path();
    frontEnd_.settings.main.directory = scratch_.path();
  }
  void SetUp() override {
    ASSERT_TRUE(frontend_testing::EnsureApplication());
    InstallConsoleWindows(frontEnd_);
  }

  testsupport::ScratchDirectory scratch_;
  frontend_testing::FakeStarter starter_;
  FrontEnd frontEnd_;
};

TEST_F(Layout, EveryPageAndSubPageShowsItsCaptionsWholeInAWindowThatFitsASmallScreen) {
  Ttopwin topwin(frontEnd_, StandardPages());
  topwin.show();
  Settle();
  std::vector<std::string> clipped;
  for (int tab = 0; tab < kTabCount; ++tab) {
    topwin.SelectMainTab(tab);
    Settle();
    const std::string page = Tab(tab).caption;
    ASSERT_NE(topwin.currentPage(), nullptr) << page;
    const QList<QTabWidget*> notebooks = topwin.currentPage()->findChildren<QTabWidget*>();
    if (notebooks.isEmpty()) {
      for (const std::string& line : ClippedIn(topwin, page)) clipped.push_back(line);
    }
    for (QTabWidget* notebook : notebooks) {
      for (int index = 0; index < notebook->count(); ++index) {
        notebook->setCurrentIndex(index);
        Settle();
        const std::string where = page + " / " + notebook->tabText(index).toStdString();
        for (const std::string& line : ClippedIn(topwin, where)) clipped.push_back(line);
      }
    }
  }
  EXPECT_TRUE(clipped.empty()) << Listed(clipped);
  EXPECT_TRUE(CarriesToolkitIcon(topwin));
  // The largest page still fits a 1024 x 768 screen with a panel on it.
  EXPECT_LE(topwin.frameGeometry().width(), 1024);
  EXPECT_LE(topwin.frameGeometry().height(), 720);
  // Resizing by any means keeps the size the pages need.
  const QSize size = topwin.size();
  topwin.resize(size.width() + 60, size.height() + 60);
  EXPECT_EQ(topwin.size(), size);
}

// A dialog made over the main window, by name.
struct DialogCase {
  const char* name;
  std::function<std::unique_ptr<QWidget>(FrontEnd&, Ttopwin&, const std::string& scratch)> make;
};

OutputNameRequest SaveAs(const char* caption, const std::string& proposal, const char* filter) {
  OutputNameRequest request;
  request.caption = caption;
  request.prompt = " Save your file as: ";
  request.button = "&Save";
  request.proposal = proposal;
  request.filter = filter;
  return request;
}

const DialogCase kDialogs[] = {
    {"about box", [](FrontEnd&, Ttopwin& main, const std::string&) { return std::make_unique<Taboutwin>(&main); }},
    {"Save As List:",
     [](FrontEnd& fe, Ttopwin& main, const std::string& scratch) {
       return std::make_unique<Toutwin>(fe, SaveAs("Save As List:", scratch + "/untitled.lst", kListFileFilter),
                                        &main.menus(), &main);
     }},
    {"Save As Filename:",
     [](FrontEnd& fe, Ttopwin& main, const std::string& scratch) {
       return std::make_unique<Toutwin>(
           fe, SaveAs("Save As Filename:", scratch + "/untitled.ss", "VantScript files (*.ss)|*.ss|All files (*.*)|*.*"),
           &main.menus(), &main);
     }},
    {"open dialog",
     [](FrontEnd& fe, Ttopwin&, const std::string& scratch) {
       OpenRequest request;
       request.caption = "Insert files:";
       request.prompt = " Highlight files to insert: ";
       request.button = "&Insert";
       request.filter = kGraphicsFilter;
       request.multiSelect = true;
       request.startFile = scratch + "/untitled";
       return std::make_unique<Topenform>(fe, request);
     }},
    {"pick list",
     [](FrontEnd& fe, Ttopwin&, const std::string& scratch) {
       return std::make_unique<Tlistwin>(
           fe, PickRequest{"List of Recent Files:", " Select a recently used file: ", {scratch + "/clip.vnt"}, 1101});
     }},
    {"prompt",
     [](FrontEnd& fe, Ttopwin&, const std::string& scratch) {
       return std::make_unique<Tstrwin>(
           fe, TextRequest{"Make New Directory:", "Make in " + scratch + ":", "&Make Dir.", "", 1096});
     }},
    {"attributes", [](FrontEnd& fe, Ttopwin&, const std::string&) { return std::make_unique<Tattrform>(fe, 0x21u); }},
    {"file finder", [](FrontEnd& fe, Ttopwin&, const std::string&) { return std::make_unique<Tfindform>(fe); }},
    {"copy window", [](FrontEnd& fe, Ttopwin&, const std::string&) { return std::make_unique<Tcopyform>(fe); }},
    {"list editor",
     [](FrontEnd& fe, Ttopwin&, const std::string& scratch) {
       return std::make_unique<Tlistedit>(fe, scratch + "/clips.lst",
                                          std::vector<std::string>{"intro_sequence_part_one.flc /s10 /e20"}, false);
     }},
    {"text editor", [](FrontEnd& fe, Ttopwin&, const std::string&) { return std::make_unique<Teditform>(fe, ""); }},
    {"picture viewer",
     [](FrontEnd& fe, Ttopwin&, const std::string& scratch) {
       QImage picture(160, 120, QImage::Format_RGB32);
       picture.fill(Qt::darkCyan);
       return std::make_unique<ImageViewer>(fe, scratch + "/picture.bmp", picture);
     }},
    {"executable builder",
     [](FrontEnd& fe, Ttopwin& main, const std::string& scratch) {
       return std::make_unique<Tselff>(fe, scratch + "/intro.vnt", "/L/S", main.currentPage());
     }},
    {"batch runner",
     [](FrontEnd& fe, Ttopwin&, const std::string& scratch) {
       return std::make_unique<Tbatchform>(fe, scratch + "/jobs.sbt", std::vector<std::string>{"vantc a.flc b.vnt"});
     }},
};

TEST_F(Layout, EveryDialogShowsItsCaptionsWholeCentredOnItsOwnerInsideTheScreenWithTheIcon) {
  Ttopwin topwin(frontEnd_, StandardPages());
  topwin.show();
  Settle();
  const QRect available = platform::AvailableArea(&topwin);
  for (const DialogCase& dialogCase : kDialogs) {
    SCOPED_TRACE(dialogCase.name);
    std::unique_ptr<QWidget> dialog = dialogCase.make(frontEnd_, topwin, scratch_.path());
    dialog->show();
    Settle();
    const std::vector<std::string> clipped = ClippedIn(*dialog, dialogCase.name);
    EXPECT_TRUE(clipped.empty()) << Listed(clipped);
    EXPECT_TRUE(CarriesToolkitIcon(*dialog));
    const QRect frame = dialog->frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                           << frame.height();
    if (frame.width() <= available.width() && frame.height() <= available.height() &&
        available.contains(topwin.frameGeometry())) {
      EXPECT_LE((frame.center() - topwin.frameGeometry().center()).manhattanLength(), 2);
    }
    dialog->close();
  }
}

TEST_F(Layout, TheAnalysisWindowOpensCentredOnTheScreenWithItsLegendAtTheRight) {
  const std::string video = scratch_.File("video.vnt");
  frontend::testing::WriteAnalysisFile(video, -6667, std::vector<uint32_t>(300, 9000));
  AnalysisWindows windows;
  ASSERT_TRUE(windows.Open(video));
  Ttunef& window = *windows.window();
  Settle();
  EXPECT_TRUE(ClippedIn(window, "analysis window").empty()) << Listed(ClippedIn(window, "analysis window"));
  EXPECT_TRUE(CarriesToolkitIcon(window));
  const QRect available = platform::AvailableArea(&window);
  EXPECT_TRUE(available.contains(window.frameGeometry()));
  EXPECT_LE((window.frameGeometry().center() - available.center()).manhattanLength(), 2);
  window.Action(Ttunef::miShowLegend).trigger();
  Settle();
  const QWidget* legend = window.findChild<QWidget*>(QStringLiteral("legend"));
  ASSERT_NE(legend, nullptr);
  ASSERT_TRUE(legend->isVisible());
  const QWidget& graph = window.Graph();
  // Right of the y axis's labels and inside the graph, from the first showing on.
  const QRect placed(legend->mapTo(&graph, QPoint(0, 0)), legend->size());
  EXPECT_TRUE(graph.rect().contains(placed));
  EXPECT_GT(placed.left(), graph.width() / 2);
  windows.Close();
}

}  // namespace
