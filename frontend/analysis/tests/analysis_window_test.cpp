// The analysis window on the offscreen platform, with scripted message boxes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "compressor/demo/demo_clip.h"
#include "frontend/analysis/analysis_window.h"
#include "frontend/analysis/tests/analysis_files.h"
#include "frontend/chart/graph_widget.h"
#include "platform/face/dialogs.h"
#include "platform/gui/qt_application.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"

namespace frontend {
namespace {

using testing::WriteAnalysisFile;

class AnalysisWindow_ : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ASSERT_TRUE(platform::MakeGuiApplication());
  }
  void TearDown() override { analysis.Close(); }

  // Opens the window on a generated video of these sizes at 15 frames per second.
  Ttunef* Open(const std::vector<uint32_t>& sizes, const std::string& name = "video.vnt") {
    WriteAnalysisFile(folder / name, -6667, sizes);
    if (!analysis.Open(folder / name)) return nullptr;
    return analysis.window();
  }

  static std::map<int32_t, double> SpeedLines(Ttunef& w) {
    std::map<int32_t, double> lines;
    for (const auto& [id, mark] : w.Graph().Graph().Marks()) lines[id] = mark.y1;
    return lines;
  }

  testsupport::ScratchDirectory folder;
  platform::ScriptedDialogs dialogs;
  AnalysisWindows analysis;
};

TEST_F(AnalysisWindow_, TheCompressorsVideoOpensWithOnePointPerFrame) {
  if (!std::getenv("VANT_BIN_DIR")) GTEST_SKIP() << "VANT_BIN_DIR is not set";
  ASSERT_TRUE(democlip::WriteAvi(folder / "clip.avi", democlip::MakeDemoClip(64, 48, 30, 15, 11025)));
  ASSERT_EQ(testsupport::RunProgram("vantcw", {folder / "clip.avi", folder / "clip.vnt"}).exitCode, 0);

  ASSERT_TRUE(analysis.Open("\"" + (folder / "clip") + "\""));  // quoted, without its extension
  Ttunef* w = analysis.window();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowTitle(), "Vant Analyze: clip.vnt");
  EXPECT_EQ(w->FileName(), folder / "clip.vnt");
  std::ifstream file(folder / "clip.vnt", std::ios::binary);
  uint8_t header[vntfile::kHeaderSize] = {};
  file.read(reinterpret_cast<char*>(header), sizeof header);
  const int32_t frames = static_cast<int32_t>(vntfile::ParseHeader(header).frames);
  EXPECT_EQ(frames, 30);
  chart::TxyGraph& g = w->Graph().Graph();
  EXPECT_EQ(g.GetSeries(2).Count(), frames);
  EXPECT_EQ(g.GetSeries(1).Count(), frames);
  EXPECT_EQ(g.GetSeries(1).First()->y, 0);  // the first frame's average
  EXPECT_EQ(g.Appearance().GraphTitle(), "clip.vnt");
  EXPECT_TRUE(g.Plotting());
  std::string caption;
  w->Graph().Render(&caption);
  EXPECT_EQ(caption, "");  // both ranges usable

  w->Action(Ttunef::miCopyValues).trigger();
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), w->Analysis().ValuesText(folder / "clip.vnt"));
  EXPECT_TRUE(dialogs.asked().empty());
}

TEST_F(AnalysisWindow_, SpeedLinesFollowTheMenuAndTheUnit) {
  Ttunef* w = Open({1000, 20000, 30000});
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(SpeedLines(*w), (std::map<int32_t, double>{{1, 240000}}));  // 2x only at first
  EXPECT_EQ(w->Graph().Graph().YAxis().Max(), 450000);  // the highest frame: 30000 bytes in 1/15 s
  w->Action(Ttunef::miShow1x).trigger();
  w->Action(Ttunef::miShow4x).trigger();
  EXPECT_EQ(SpeedLines(*w), (std::map<int32_t, double>{{1, 240000}, {2, 480000}, {3, 120000}}));
  EXPECT_EQ(w->Graph().Graph().YAxis().Max(), 480000);
  EXPECT_EQ(w->Graph().Graph().YAxis().StepSize(), 96000);

  w->Action(Ttunef::miShowAsType).trigger();
  EXPECT_EQ(w->Action(Ttunef::miShowAsType).text(), "Show as Bytes Per Second");
  EXPECT_EQ(w->Graph().Graph().YAxis().Title(), "Bytes Per Frame");
  const std::map<int32_t, double> perFrame = SpeedLines(*w);
  EXPECT_NEAR(perFrame.at(3), 6667 * 1.2, 1e-6);
  EXPECT_NEAR(perFrame.at(2), 6667 * 4.8, 1e-6);
  EXPECT_EQ(w->Graph().Graph().GetSeries(2).Last()->y, 30000);
  EXPECT_EQ(w->Graph().Graph().YAxis().Max(), 32000);

  for (auto item : {Ttunef::miShow1x, Ttunef::miShow2x, Ttunef::miShow4x}) w->Action(item).trigger();
  EXPECT_TRUE(SpeedLines(*w).empty());
  EXPECT_EQ(w->Graph().Graph().YAxis().Max(), 30000);  // the largest frame alone

  // A new window opens in the unit the last one was left in.
  analysis.Close();
  w = Open({1000, 2000});
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Graph().Graph().GetSeries(2).Last()->y, 2000);
  w->Action(Ttunef::miShowAsType).trigger();  // back to bytes per second for the other tests
  EXPECT_NEAR(w->Graph().Graph().GetSeries(2).Last()->y, 2000 * 100000.0 / 6667, 1e-6);
}

TEST_F(AnalysisWindow_, FilesThatDoNotLoadSayWhyAndLeaveNoWindow) {
  struct Case {
    const char* what;
    int32_t frameRate;
    int64_t declared;
    const char* message;
  } cases[] = {
      {"table cut short", -6667, 100, "Error loading Vantrel file."},
      {"no frame rate", 0, -1,
       "This video has no frame rate: it plays as fast as it can, so it has no data rate to chart."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAnalysisFile(folder / "bad.vnt", c.frameRate, {1, 2, 3}, c.declared);
    const size_t asked = dialogs.asked().size();
    EXPECT_FALSE(analysis.Open(folder / "bad.vnt"));
    EXPECT_EQ(analysis.window(), nullptr);
    ASSERT_EQ(dialogs.asked().size(), asked + 1);
    EXPECT_EQ(dialogs.asked().back().text, c.message);
  }
  EXPECT_FALSE(analysis.Open(folder / "missing"));
  EXPECT_EQ(dialogs.asked().back().text, "Error loading Vantrel file.");
}

TEST_F(AnalysisWindow_, AFailedReloadShowsItsErrorAndAnEmptyLiveChart) {
  Ttunef* w = Open({1000, 2000, 3000});
  ASSERT_NE(w, nullptr);
  WriteAnalysisFile(folder / "video.vnt", -6667, {1000}, 3);  // the file is cut short meanwhile
  w->Action(Ttunef::miShowAsType).trigger();
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_EQ(dialogs.asked()[0].text, "Error loading Vantrel file.");
  EXPECT_TRUE(w->Graph().Graph().Plotting());
  EXPECT_EQ(w->Graph().Graph().GetSeries(2).Count(), 0);
  w->Action(Ttunef::miShowAsType).trigger();  // the unit back, and the error again
  EXPECT_EQ(dialogs.asked().size(), 2u);
}

TEST_F(AnalysisWindow_, ShortAndEmptyVideosGiveUsableAxes) {
  for (const std::vector<uint32_t>& sizes : {std::vector<uint32_t>{}, {500}, {0, 0, 0}}) {
    SCOPED_TRACE(sizes.size());
    Ttunef* w = Open(sizes);
    ASSERT_NE(w, nullptr);
    const chart::TxyGraph& g = w->Graph().Graph();
    EXPECT_TRUE(g.XAxis().IsValid());
    EXPECT_TRUE(g.YAxis().IsValid());
    EXPECT_EQ(g.XAxis().Min(), 1);
    if (sizes.size() > 1) {
      EXPECT_EQ(g.XAxis().Max(), sizes.size());
    }
    w->Action(Ttunef::miShow2x).trigger();  // no speed line: the frames alone set the top
    EXPECT_TRUE(g.YAxis().IsValid());
    analysis.Close();
  }
}

TEST_F(AnalysisWindow_, ZoomScrollAndKeys) {
  Ttunef* w = Open(std::vector<uint32_t>(1000, 5000));
  ASSERT_NE(w, nullptr);
  chart::TxyGraph& g = w->Graph().Graph();
  EXPECT_EQ(w->VisibleFrameCount(), w->frameGeometry().width() / 35);
  for (int i = 0; i < 10; ++i) w->Action(Ttunef::miZoomIn).trigger();
  EXPECT_EQ(w->VisibleFrameCount(), 2);  // never fewer than 2
  w->Action(Ttunef::miZoomOut).trigger();
  EXPECT_EQ(w->VisibleFrameCount(), 3);

  w->ScrollBar().setValue(100);
  EXPECT_EQ(g.XAxis().Min(), 100);
  EXPECT_EQ(g.XAxis().Max(), 103);
  w->Action(Ttunef::miZoomDefault).trigger();
  EXPECT_EQ(g.XAxis().Min(), 100);
  EXPECT_EQ(w->VisibleFrameCount(), w->frameGeometry().width() / 35);

  // Twice as wide: twice the frames, as many per pixel.
  const int64_t before = w->VisibleFrameCount();
  w->resize(w->width() * 2, w->height());
  QApplication::processEvents();
  EXPECT_NEAR(double(w->VisibleFrameCount()), 2.0 * before, 1);

  QTest::keyClick(w, Qt::Key_Space);
  EXPECT_TRUE(w->PopupMenu().isVisible());
  w->PopupMenu().hide();
  std::string help;
  analysis.SetHelp([&](const std::string& keyword) { help = keyword; });
  QTest::keyClick(w, Qt::Key_F1);
  analysis.SetHelp(nullptr);
  EXPECT_EQ(help, "Analysis Window");
  QTest::keyClick(w, Qt::Key_Escape);
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(analysis.window(), nullptr);
}

TEST_F(AnalysisWindow_, DoubleClickShowsTheStoredSizeOfTheFrame) {
  WriteAnalysisFile(folder / "v.vnt", -4167, {4000, 111, 3000, 2000});
  ASSERT_TRUE(analysis.Open(folder / "v.vnt"));
  Ttunef* w = analysis.window();
  chart::TxyGraphWidget& graph = w->Graph();
  graph.Render();  // the metrics of the chart as shown
  const QPoint frame2(graph.Graph().XValueToPixel(2.2) - 5, graph.height() / 2);
  QTest::mouseClick(&graph, Qt::LeftButton, Qt::NoModifier, frame2);  // a double click begins as a click
  QTest::mouseDClick(&graph, Qt::LeftButton, Qt::NoModifier, frame2);
  ASSERT_FALSE(dialogs.asked().empty());
  EXPECT_EQ(dialogs.asked().back().text, "Frame: 2  Size: 111  Bytes per second: 2663");
}

}  // namespace
}  // namespace frontend
