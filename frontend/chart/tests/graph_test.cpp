#include <gtest/gtest.h>

#include <vector>

#include "frontend/chart/chart_error.h"
#include "frontend/chart/graph.h"

namespace chart {
namespace {

std::vector<int> Numbers(const TxyGraph& g) {
  std::vector<int> numbers;
  for (TSeries* s = g.FirstSeries(); s; s = TxyGraph::NextSeries(*s)) numbers.push_back(s->Number());
  return numbers;
}

TEST(Graph, SeriesAreCreatedOnDemandInNumberOrder) {
  TxyGraph g;
  g.GetSeries(1);
  g.GetSeries(9);
  int created = 0;
  g.OnNewSeries = [&](TxyGraph&, int n) { created += n == 7; };
  TSeries& seven = g.GetSeries(7);
  EXPECT_EQ(&g.GetSeries(7), &seven);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(Numbers(g), (std::vector<int>{1, 7, 9}));

  EXPECT_EQ(g.GetSeries(2).LineColor(), 0xFF0000u);
  EXPECT_EQ(g.GetSeries(5).FillPoints(), false);
  EXPECT_EQ(seven.PointShape(), psCircle);
  EXPECT_EQ(seven.LineColor(), 0x008000u);
}

TEST(Graph, PointSizeIsEvenAndAtLeastTwoExceptForSteps) {
  TxyGraph g;
  TSeries& circle = g.GetSeries(2);
  circle.SetPointSize(5);
  EXPECT_EQ(circle.PointSize(), 6);
  circle.SetPointShape(psSteps);
  circle.SetPointSize(5);
  EXPECT_EQ(circle.PointSize(), 5);
  circle.SetPointShape(psSquare);  // leaving steps normalises the size kept from it
  EXPECT_EQ(circle.PointSize(), 6);
  circle.SetPointSize(1);
  EXPECT_EQ(circle.PointSize(), 2);
  circle.SetPointSize(INT16_MAX);
  EXPECT_GT(circle.PointSize(), 0);
}

TEST(Graph, ChangesRepaintOnlyWhilePlottingAndSwitchingOnRescalesOnce) {
  TxyGraph g;
  int repaints = 0, rescales = 0;
  g.RepaintRequest = [&] { ++repaints; };
  g.OnRescale = [&](TxyGraph&) { ++rescales; };
  g.SetPlotting(false);
  repaints = rescales = 0;
  for (int x = 0; x < 10; ++x) g.GetSeries(1).AddPoint(x, x);
  g.SetMark(1, 0, 1, 1, 0, 0, "a", mkVerticalLine, 0);
  EXPECT_EQ(repaints, 0);
  g.SetPlotting(true);
  EXPECT_EQ(repaints, 1);
  EXPECT_EQ(rescales, 1);
  g.GetSeries(1).SetLineColor(0x123456);
  g.GetSeries(1).SetLineColor(0x123456);  // unchanged: no repaint
  EXPECT_EQ(repaints, 2);
}

TEST(Graph, AnAutomaticRangeThatMovesFiresOnRescale) {
  TxyGraph g;
  int rescales = 0;
  g.OnRescale = [&](TxyGraph&) { ++rescales; };
  g.YAxis().SetAutoSizing(true);
  g.GetSeries(1).AddPoint(0, 3);
  g.GetSeries(1).AddPoint(1, 97);
  ASSERT_TRUE(g.PrepareScaling());
  EXPECT_EQ(rescales, 1);
  EXPECT_EQ(g.YAxis().Max(), 100);
  g.PrepareScaling();  // the same data again: nothing new to tell
  EXPECT_EQ(rescales, 1);
  g.GetSeries(1).AddPoint(2, 250);
  g.PrepareScaling();
  EXPECT_EQ(rescales, 2);
}

TEST(Graph, LookSettingsKeepTheirRules) {
  TxyGraph g;
  int repaints = 0;
  g.RepaintRequest = [&] { ++repaints; };
  TDimensions& d = g.Dimensions();
  TAppearance& look = g.Appearance();
  d.SetTickLength(0);
  EXPECT_FALSE(look.ShowTicks());
  d.SetPrintScalePct(5);
  EXPECT_EQ(d.PrintScalePct(), 20);
  d.SetPrintScalePct(150);
  EXPECT_EQ(d.PrintScalePct(), 100);
  d.SetPrintYOffsetPct(300);
  EXPECT_EQ(d.PrintYOffsetPct(), 100);

  repaints = 0;
  look.SetShowMarks(false);  // unchanged
  look.SetErrorCaption("bad");  // not shown while both ranges are usable
  EXPECT_EQ(repaints, 0);
  g.YAxis().SetMax(0);
  repaints = 0;
  look.SetErrorCaption("worse");
  EXPECT_EQ(repaints, 1);
  look.SetGraphTitle(std::string(300, 't'));
  EXPECT_EQ(look.GraphTitle().size(), 255u);
}

TEST(Graph, MarksAreKeptByIdAndOverwritten) {
  TxyGraph g;
  g.SetMark(5, 1, 0, 0, 0, 0, "five", mkSquare, 1);
  g.SetMark(2, 1, 0, 0, 0, 0, "two", mkLine, 0);
  g.SetMark(5, 2, 3, 0, 0, 0, "new five", mkVerticalLine, 0);
  ASSERT_EQ(g.Marks().size(), 2u);
  EXPECT_EQ(g.Marks().begin()->second.label, "two");
  EXPECT_EQ(g.Marks().at(5).label, "new five");
  EXPECT_EQ(g.Marks().at(5).x1, 3);
  g.ClearMarks();
  EXPECT_TRUE(g.Marks().empty());
}

TEST(Graph, DataRangeIsTheUnionOfActiveSeries) {
  TxyGraph g;
  g.GetSeries(1).AddPoint(1, 10);
  g.GetSeries(1).AddPoint(5, 20);
  g.GetSeries(2).AddPoint(-3, 15);
  g.GetSeries(3).AddPoint(100, 1000);
  g.GetSeries(3).Active = false;
  g.CalcSeriesBounds();
  EXPECT_EQ(g.XAxis().DataMin(), -3);
  EXPECT_EQ(g.XAxis().DataMax(), 5);
  EXPECT_EQ(g.YAxis().DataMin(), 10);
  EXPECT_EQ(g.YAxis().DataMax(), 20);
}

TEST(Graph, ValuesAndPixelsMapBothWays) {
  TxyGraph g;
  g.SetSize(255, 270);  // plot 200 x 200 inside the default margins
  g.XAxis().SetMin(0);
  g.XAxis().SetMax(100);
  g.YAxis().SetLogScale(true);
  g.YAxis().SetMin(1);
  g.YAxis().SetMax(100);
  g.CalcMetrics();
  EXPECT_EQ(g.XValueToPixel(0), 40);
  EXPECT_EQ(g.XValueToPixel(50), 140);
  EXPECT_DOUBLE_EQ(g.XPixelToValue(140), 50);
  EXPECT_EQ(g.YValueToPixel(100), 30);
  EXPECT_EQ(g.YValueToPixel(10), 130);
  EXPECT_NEAR(g.YPixelToValue(130), 10, 1e-9);
  // Values far off the plot, or without a logarithm, are parked at a fixed far position.
  EXPECT_EQ(g.XValueToPixel(1e9), 20000);
  EXPECT_EQ(g.XValueToPixel(-1e9), -20000);
  EXPECT_EQ(std::abs(g.YValueToPixel(0)), 20000);
  EXPECT_EQ(std::abs(g.YValueToPixel(-5)), 20000);

  g.XAxis().SetMax(0);
  EXPECT_THROW(g.CalcMetrics(), ChartError);
}

}  // namespace
}  // namespace chart
