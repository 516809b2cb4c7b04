// The chart widget painted into images and driven with the mouse on the offscreen platform.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "frontend/chart/graph_painter.h"
#include "frontend/chart/graph_widget.h"
#include "platform/gui/qt_application.h"
#include "testsupport/scratch_directory.h"

namespace chart {
namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

// Made before any widget of a test; windows go to the offscreen platform, run as the test may.
struct GuiApplication {
  GuiApplication() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    made = platform::MakeGuiApplication();
  }
  bool made;
};

class GraphPainting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(application.made);
    widget.resize(255, 270);  // a 200 x 200 plot inside the default margins
  }

  TxyGraph& graph() { return widget.Graph(); }

  void SetRanges(double xMin, double xMax, double yMin, double yMax) {
    graph().XAxis().SetMin(xMin);
    graph().XAxis().SetMax(xMax);
    graph().YAxis().SetMin(yMin);
    graph().YAxis().SetMax(yMax);
  }

  // A series that shows only its points, in its own colour.
  TSeries& PointSeries(int number, TColor colour, uint8_t shape) {
    TSeries& s = graph().GetSeries(static_cast<int16_t>(number));
    s.SetDrawLine(false);
    s.SetPointShape(shape);
    s.SetPointSize(8);
    s.SetPointColor(colour);
    return s;
  }

  QColor PixelAt(const QImage& image, double x, double y) {
    return image.pixelColor(graph().XValueToPixel(x), graph().YValueToPixel(y));
  }

  GuiApplication application;
  TxyGraphWidget widget;
};

TEST_F(GraphPainting, EveryPointShapeIsDrawnInItsColourAtItsPixel) {
  struct Case {
    uint8_t shape;
    double probeDx;  // steps show their value to the right of the point
  } cases[] = {{psSquare, 0}, {psCircle, 0}, {psDiamond, 0}, {psCross, 0}, {psSteps, 0.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.shape));
    TSeries& s = PointSeries(1, kRed, c.shape);
    s.Clear();
    s.AddPoint(3, 7);
    s.AddPoint(6, 2);
    SetRanges(0, 10, 0, 10);
    const QImage image = widget.Render();
    EXPECT_EQ(PixelAt(image, 3 + c.probeDx, 7), ToQColor(kRed));
    EXPECT_EQ(PixelAt(image, 6 + c.probeDx, 2), ToQColor(kRed));
    EXPECT_NE(PixelAt(image, 4.5, 4.5), ToQColor(kRed));
  }
}

TEST_F(GraphPainting, StepsRunFromPointToPointAndOnToTheEndOfTheAxis) {
  TSeries& s = PointSeries(1, kRed, psSteps);
  for (double x : {2.0, 4.0, 6.0}) s.AddPoint(x, x);
  SetRanges(0, 10, 0, 10);
  const QImage image = widget.Render();
  EXPECT_EQ(PixelAt(image, 3, 2), ToQColor(kRed));
  EXPECT_EQ(PixelAt(image, 5, 4), ToQColor(kRed));
  EXPECT_EQ(PixelAt(image, 9.5, 6), ToQColor(kRed));  // the last one reaches x Max
  EXPECT_NE(PixelAt(image, 1, 2), ToQColor(kRed));    // nothing before the first point
}

TEST_F(GraphPainting, AnUnusableAxisShowsItsCaptionWhileTheOtherIsDrawn) {
  struct Case {
    double xMin, xMax, yMin, yMax;
    const char* caption;
    bool xLine, yLine;
  } cases[] = {
      {0, 10, 5, 5, "Y-AXIS: MAX/MIN VALUES INCONSISTENT", true, false},
      {3, 1, 0, 10, "X-AXIS: MAX/MIN VALUES INCONSISTENT", false, true},
      {3, 1, 5, 5, "BOTH AXES: MAX/MIN VALUES INCONSISTENT", false, false},
      {0, 10, 0, 10, "", true, true},
  };
  PointSeries(1, kRed, psSquare).AddPoint(5, 5);
  const TDimensions& d = graph().Dimensions();
  const int bottom = widget.height() - d.BottomMargin(), right = widget.width() - d.RightMargin();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    SetRanges(c.xMin, c.xMax, c.yMin, c.yMax);
    std::string caption;
    const QImage image = widget.Render(&caption);
    EXPECT_EQ(caption, c.caption);
    // The axis lines, away from the caption in the middle.
    EXPECT_EQ(image.pixelColor(right - 5, bottom) == Qt::black, c.xLine);
    EXPECT_EQ(image.pixelColor(d.LeftMargin(), d.TopMargin() + 5) == Qt::black, c.yLine);
  }
}

TEST_F(GraphPainting, ASeriesWithoutALogarithmIsReportedAndTheOthersAreDrawn) {
  PointSeries(1, kRed, psSquare).AddPoint(5, 0);
  PointSeries(2, kBlue, psSquare).AddPoint(5, 10);
  SetRanges(0, 10, 1, 100);
  graph().YAxis().SetLogScale(true);
  std::vector<int> reported;
  graph().OnLogError = [&](TSeries&, int number) { reported.push_back(number); };
  const QImage image = widget.Render();
  EXPECT_EQ(reported, std::vector<int>{1});
  EXPECT_EQ(PixelAt(image, 5, 10), ToQColor(kBlue));
}

TEST_F(GraphPainting, ValuesWithoutAPlaceAreLeftOutNotStrokedToFarAway) {
  TSeries& s = graph().GetSeries(1);
  s.SetDrawPoints(false);
  s.SetLineColor(kRed);
  s.AddPoint(0, 9);
  s.AddPoint(5, std::numeric_limits<double>::quiet_NaN());
  s.AddPoint(10, 9);
  SetRanges(0, 10, 0, 10);
  const QImage image = widget.Render();
  for (int px = graph().XValueToPixel(0); px <= graph().XValueToPixel(10); ++px)
    for (int py = graph().YValueToPixel(8); py < graph().YValueToPixel(0); ++py)
      ASSERT_NE(image.pixelColor(px, py), ToQColor(kRed)) << px << "," << py;

  // Smaller than the margins: no room for a plot, so nothing is drawn, even off the plot.
  s.SetLineColor(kBlue);
  s.AddPoint(5, 5);
  graph().Appearance().SetPlotOffGraph(true);
  widget.resize(30, 30);
  const QImage tiny = widget.Render();
  for (int px = 0; px < tiny.width(); ++px)
    for (int py = 0; py < tiny.height(); ++py) ASSERT_NE(tiny.pixelColor(px, py), ToQColor(kBlue)) << px << "," << py;
}

TEST_F(GraphPainting, DraggingTheCornersMovesAndSizesTheControlWhenAllowed) {
  QWidget parent;
  parent.resize(600, 600);
  widget.setParent(&parent);
  widget.move(10, 10);
  parent.show();
  const auto drag = [&](QPoint from, QPoint by) {
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&widget, from + by);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, from + by);
  };
  drag(QPoint(widget.width() - 3, widget.height() - 3), QPoint(20, 30));
  EXPECT_EQ(widget.size(), QSize(275, 300));
  drag(QPoint(3, 3), QPoint(40, 50));
  EXPECT_EQ(widget.pos(), QPoint(50, 60));
  graph().DragAllowed = false;
  drag(QPoint(3, 3), QPoint(40, 50));
  EXPECT_EQ(widget.pos(), QPoint(50, 60));
  widget.setParent(nullptr);
}

TEST_F(GraphPainting, MarksAreDrawnInTheirLayerWhenShown) {
  PointSeries(1, kRed, psSquare).AddPoint(5, 5);
  SetRanges(0, 10, 0, 10);
  graph().SetMark(1, kBlue, 0, 2, 0, 0, "", mkHorizontalLine, 0);
  graph().SetMark(2, kBlue, 5, 0, 0, 0, "", mkVerticalLine, 0);  // behind the point
  EXPECT_NE(PixelAt(widget.Render(), 2, 2), ToQColor(kBlue));
  graph().Appearance().SetShowMarks(true);
  const QImage image = widget.Render();
  EXPECT_EQ(PixelAt(image, 8, 2), ToQColor(kBlue));
  EXPECT_EQ(PixelAt(image, 5, 8), ToQColor(kBlue));
  EXPECT_EQ(PixelAt(image, 5, 5), ToQColor(kRed));
}

TEST_F(GraphPainting, ShiftDragZoomsAndASmallDragRestoresTheFirstRange) {
  widget.show();
  SetRanges(0, 10, 0, 10);
  graph().CalcMetrics();
  const auto drag = [&](QPoint from, QPoint to) {
    QTest::mousePress(&widget, Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseMove(&widget, to);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::ShiftModifier, to);
  };
  const auto at = [&](double x, double y) { return QPoint(graph().XValueToPixel(x), graph().YValueToPixel(y)); };

  drag(at(2, 8), at(6, 4));
  EXPECT_NEAR(graph().XAxis().Min(), 2, 1e-9);
  EXPECT_NEAR(graph().XAxis().Max(), 6, 1e-9);
  EXPECT_NEAR(graph().YAxis().Min(), 4, 1e-9);
  EXPECT_NEAR(graph().YAxis().Max(), 8, 1e-9);

  graph().CalcMetrics();
  drag(at(3, 7), at(5, 5));  // a second zoom narrows further
  EXPECT_NEAR(graph().XAxis().Max(), 5, 1e-9);

  graph().CalcMetrics();
  const QPoint start = at(4, 6);
  drag(start, start + QPoint(3, 3));
  EXPECT_EQ(graph().XAxis().Min(), 0);
  EXPECT_EQ(graph().XAxis().Max(), 10);
  EXPECT_EQ(graph().YAxis().Max(), 10);

  graph().CalcMetrics();
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, at(2, 8));  // no Shift: no band
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, at(6, 4));
  EXPECT_EQ(graph().XAxis().Max(), 10);
}

TEST_F(GraphPainting, PrintsToAFile) {
  PointSeries(1, kRed, psSquare).AddPoint(5, 5);
  SetRanges(0, 10, 0, 10);
  testsupport::ScratchDirectory folder;
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(folder / "graph.pdf"));
  ASSERT_TRUE(widget.Print(printer));
  QFile file(QString::fromStdString(folder / "graph.pdf"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(4) == "%PDF");
  EXPECT_GT(file.size(), 1000);
}

}  // namespace
}  // namespace chart
