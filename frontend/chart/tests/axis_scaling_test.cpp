#include <gtest/gtest.h>

#include "frontend/chart/chart_error.h"
#include "frontend/chart/graph.h"

namespace chart {
namespace {

// A graph whose y axis scales itself to one series holding the given values.
struct AutoAxis {
  TxyGraph graph;
  TAxis& axis = graph.YAxis();
  explicit AutoAxis(std::initializer_list<double> values, bool log = false) {
    axis.SetLogScale(log);
    axis.SetAutoSizing(true);
    double x = 0;
    for (double v : values) graph.GetSeries(1).AddPoint(x++, v);
    graph.CalcSeriesBounds();
    axis.AutoScale();
  }
};

TEST(AxisScaling, StepIsTheCoarsestRoundStepGivingMinSteps) {
  TxyGraph g;
  TAxis& a = g.XAxis();
  const auto step = [&](double min, double max) {
    a.SetMin(min);
    a.SetMax(max);
    return a.GetStep();
  };
  EXPECT_DOUBLE_EQ(step(0, 950), 100);
  EXPECT_DOUBLE_EQ(step(0, 1), 0.2);
  EXPECT_DOUBLE_EQ(step(0, 0.5), 0.1);
  EXPECT_DOUBLE_EQ(step(-3, 3), 1);
  EXPECT_THROW(step(2, 2), ChartError);
  EXPECT_THROW(step(-1e308, 1e308), ChartError);  // the range overflows
}

TEST(AxisScaling, LinearRangesEncloseTheDataOnWholeSteps) {
  AutoAxis spread({3, 97});
  EXPECT_DOUBLE_EQ(spread.axis.StepSize(), 10);
  EXPECT_DOUBLE_EQ(spread.axis.Min(), 0);
  EXPECT_DOUBLE_EQ(spread.axis.Max(), 100);

  AutoAxis fives({5, 5, 5});
  EXPECT_DOUBLE_EQ(fives.axis.Min(), 0);
  EXPECT_DOUBLE_EQ(fives.axis.Max(), 6);
  EXPECT_DOUBLE_EQ(fives.axis.StepSize(), 1);

  AutoAxis zeros({0, 0});
  EXPECT_EQ(zeros.axis.Min(), -1);
  EXPECT_EQ(zeros.axis.Max(), 1);

  AutoAxis negative({-97, -3});
  EXPECT_DOUBLE_EQ(negative.axis.Min(), -100);
  EXPECT_DOUBLE_EQ(negative.axis.Max(), 0);

  AutoAxis onTicks({10, 50});  // data on a tick gets one step of room
  EXPECT_LT(onTicks.axis.Min(), 10);
  EXPECT_GT(onTicks.axis.Max(), 50);

  AutoAxis half({0.5, 0.5});  // rounding the top down must not cut the value off
  EXPECT_GE(half.axis.Max(), 0.5);
}

TEST(AxisScaling, RangeWithoutDataIsMadeUsable) {
  TxyGraph g;
  TAxis& a = g.YAxis();
  a.SetMin(-5);
  a.SetMax(-5);
  EXPECT_TRUE(a.CheckRange());  // a single negative value used to become 0..-5
  EXPECT_EQ(a.Min(), -5);
  EXPECT_EQ(a.Max(), 0);
  a.SetMin(7);
  a.SetMax(2);
  a.CheckRange();
  EXPECT_EQ(a.Min(), 2);
  EXPECT_EQ(a.Max(), 7);

  a.SetLogScale(true);
  a.SetMin(-4);
  a.SetMax(50);
  a.CheckRange();
  EXPECT_DOUBLE_EQ(a.Min(), 5);
  a.SetMin(-3);
  a.SetMax(-1);
  a.CheckRange();
  EXPECT_EQ(a.Min(), 1);
  EXPECT_EQ(a.Max(), 10);
  EXPECT_TRUE(a.IsValid());
}

TEST(AxisScaling, LogarithmicRanges) {
  AutoAxis wide({0.5, 500}, true);
  EXPECT_FALSE(wide.axis.LinearLog());
  EXPECT_DOUBLE_EQ(wide.axis.Min(), 0.1);
  EXPECT_DOUBLE_EQ(wide.axis.Max(), 1000);

  AutoAxis narrow({2, 5}, true);  // less than a factor 4: linear ticks
  EXPECT_TRUE(narrow.axis.LinearLog());
  EXPECT_TRUE(narrow.axis.LabelEveryTick());
  EXPECT_GT(narrow.axis.Min(), 0);
  EXPECT_GE(narrow.axis.Max(), 5);

  AutoAxis middle({3, 40}, true);  // below 30: snapped to the tick table (1, 2, 5)
  EXPECT_DOUBLE_EQ(middle.axis.Min(), 2);
  EXPECT_DOUBLE_EQ(middle.axis.Max(), 50);

  // A coarse user step must not push a linear-log range to zero or below.
  TxyGraph g;
  TAxis& a = g.YAxis();
  a.SetLogScale(true);
  a.SetStepSize(100);
  g.GetSeries(1).AddPoint(0, 2);
  g.GetSeries(1).AddPoint(1, 5);
  g.CalcSeriesBounds();
  a.SetAutoSizing(true);
  a.AutoScale();
  EXPECT_TRUE(a.IsValid());

  AutoAxis nonPositive({-1, 10}, true);  // no log range holds it: the range is left alone
  EXPECT_EQ(nonPositive.axis.Min(), 0);
  EXPECT_EQ(nonPositive.axis.Max(), 1);
  EXPECT_FALSE(nonPositive.axis.IsValid());
}

TEST(AxisScaling, LogDivisionsAreNormalisedAndChosenFromTheRange) {
  TxyGraph g;
  TAxis& a = g.XAxis();
  a.SetLogCycleDivisions(4);
  EXPECT_EQ(a.LogCycleDivisions(), 5);
  EXPECT_EQ(a.LogTicks(), (std::vector<double>{1, 1.5, 2, 3, 5, 7, 10}));
  a.SetLogCycleDivisions(30);
  EXPECT_EQ(a.LogTicks().size(), 11u);
  a.SetLogCycleDivisions(-3);
  EXPECT_EQ(a.LogTicks(), (std::vector<double>{1, 10}));

  a.SetLogScale(true);
  a.SetMin(1);
  a.SetMax(10);
  a.AutoLogDivisions();  // 5 steps in one decade
  EXPECT_EQ(a.LogCycleDivisions(), 2);
  a.SetMax(1e6);
  a.AutoLogDivisions();
  EXPECT_EQ(a.LogCycleDivisions(), 0);
}

TEST(AxisScaling, Validity) {
  TxyGraph g;
  TAxis& a = g.XAxis();
  EXPECT_TRUE(a.IsValid());
  a.SetLogScale(true);
  EXPECT_FALSE(a.IsValid());  // 0..1
  a.SetLogScale(false);
  a.SetShowAsTime(true);
  a.SetMin(0.5);
  a.SetMax(3);
  EXPECT_FALSE(a.IsValid());
  a.SetMin(1);
  EXPECT_TRUE(a.IsValid());
}

TEST(AxisScaling, StepLimitsRejectContradictions) {
  TxyGraph g;
  TAppearance& look = g.Appearance();
  look.SetMinSteps(0);
  look.SetMinSteps(20);  // not below 50 * 0.4
  look.SetMaxSteps(91);
  look.SetMaxSteps(12);  // not above 5 * 2.5
  EXPECT_EQ(look.MinSteps(), 5);
  EXPECT_EQ(look.MaxSteps(), 50);
  look.SetMaxSteps(90);
  look.SetMinSteps(20);
  EXPECT_EQ(look.MinSteps(), 20);
}

}  // namespace
}  // namespace chart
