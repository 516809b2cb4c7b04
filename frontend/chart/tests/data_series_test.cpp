#include <gtest/gtest.h>

#include <vector>

#include "frontend/chart/graph.h"

namespace chart {
namespace {

std::vector<double> Xs(const TDataSeries& s) {
  std::vector<double> xs;
  for (const TPoint* p = s.First(); p; p = p->next) xs.push_back(p->x);
  return xs;
}

TEST(DataSeries, KeepsOnePointPerXInAscendingOrder) {
  TDataSeries s;
  s.AddPoint(5, 1);
  s.AddPoint(5, 2);
  EXPECT_EQ(s.Count(), 1);
  EXPECT_EQ(s.GetValue(5), 2);

  for (double x : {1.0, 2.0, 4.0}) s.AddPoint(x, x * 10);
  s.AddPoint(3, 30);   // between 2 and 4
  s.AddPoint(2, 99);   // overwrite inside the list
  s.AddPoint(0, -1);   // new first point
  EXPECT_EQ(Xs(s), (std::vector<double>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(s.Count(), 6);
  EXPECT_EQ(s.GetValue(2), 99);
  EXPECT_EQ(s.GetValue(2.5), 0);
  EXPECT_EQ(s.Last()->x, 5);

  // Ids count new points only; an overwrite keeps the old id.
  EXPECT_EQ(s.FindPoint(1, 2).id, 3);
  EXPECT_EQ(s.FindPoint(1, 3).id, 5);
  EXPECT_FALSE(s.FindPoint(2, 3).found);  // the second point from x = 3 is x = 4
  EXPECT_TRUE(s.FindPoint(1, 0).found);
}

TEST(DataSeries, BoundsWidenWhileFillingAndAreRecomputedAfterClear) {
  TDataSeries s;
  s.AddPoint(2, 5);
  s.AddPoint(-1, 7);
  s.AddPoint(4, -3);
  EXPECT_FALSE(s.BoundsDirty());
  EXPECT_EQ(s.XMin(), -1);
  EXPECT_EQ(s.XMax(), 4);
  EXPECT_EQ(s.YMin(), -3);
  EXPECT_EQ(s.YMax(), 7);

  s.Clear();
  EXPECT_EQ(s.Count(), 0);
  EXPECT_TRUE(s.BoundsDirty());
  s.AddPoint(10, 1);
  EXPECT_EQ(s.XMin(), 10);  // the first point after clearing restarts the bounds
  EXPECT_EQ(s.FindPoint(1, 10).id, 1);
}

TEST(DataSeries, OverwritingAnExtremeNarrowsTheRecomputedBounds) {
  TxyGraph graph;
  TSeries& s = graph.GetSeries(1);
  for (double x : {1.0, 2.0, 3.0}) s.AddPoint(x, x);
  s.AddPoint(3, 0.5);  // the highest value at the end comes down
  s.AddPoint(1, 2);    // and the lowest in the middle of the list goes up
  graph.CalcSeriesBounds();
  EXPECT_EQ(graph.YAxis().DataMin(), 0.5);
  EXPECT_EQ(graph.YAxis().DataMax(), 2);
}

TEST(DataSeries, PointAboveTheLimitFiresEventsAndIsKept) {
  TxyGraph graph;
  TSeries& s = graph.GetSeries(1);
  s.PointLimit = 3;
  int graphEvents = 0, seriesEvents = 0, number = 0;
  graph.OnTooManyPoints = [&](TxyGraph&, int n) { ++graphEvents; number = n; };
  s.OnTooManyPoints = [&](TDataSeries& sender) { seriesEvents += &sender == &s; };
  for (int x = 0; x < 4; ++x) s.AddPoint(x, x);
  EXPECT_EQ(graphEvents, 1);
  EXPECT_EQ(seriesEvents, 1);
  EXPECT_EQ(number, 1);
  EXPECT_EQ(s.Count(), 4);
}

TEST(DataSeries, HugeSeriesIsFilledAndFreedWithoutTrouble) {
  TxyGraph graph;
  TSeries& s = graph.GetSeries(1);
  int events = 0;
  s.OnTooManyPoints = [&](TDataSeries&) { ++events; };
  graph.SetPlotting(false);
  for (int x = 0; x < 1000000; ++x) s.AddPoint(x, x % 7);
  EXPECT_EQ(s.Count(), 1000000);
  EXPECT_EQ(events, 1000000 - TDataSeries::kDefaultPointLimit);
  graph.CalcSeriesBounds();
  EXPECT_EQ(graph.XAxis().DataMax(), 999999);
  EXPECT_EQ(graph.YAxis().DataMax(), 6);
}  // the graph frees a million points here

}  // namespace
}  // namespace chart
