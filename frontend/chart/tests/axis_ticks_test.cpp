#include <gtest/gtest.h>

#include "frontend/chart/date_time.h"
#include "frontend/chart/graph.h"

namespace chart {
namespace {

std::vector<double> Values(const std::vector<TTick>& ticks) {
  std::vector<double> values;
  for (const TTick& t : ticks) values.push_back(t.value);
  return values;
}

TEST(AxisTicks, LinearTicksStartOnAStepAndSetTheDecimals) {
  TxyGraph g;
  TAxis& a = g.XAxis();
  a.SetMin(-15);
  a.SetMax(25);
  EXPECT_EQ(Values(a.Ticks(10)), (std::vector<double>{-10, 0, 10, 20}));
  EXPECT_EQ(a.LabelDecimals(), 0);
  EXPECT_EQ(a.FormatLabel(a.Ticks(10)[1]), "0");
  a.SetMin(0);
  a.SetMax(1);
  const auto ticks = a.Ticks(0.25);
  ASSERT_EQ(ticks.size(), 5u);
  EXPECT_DOUBLE_EQ(ticks.back().value, 1);
  EXPECT_EQ(a.LabelDecimals(), 1);
  a.Ticks(0.05);
  EXPECT_EQ(a.LabelDecimals(), 2);
}

TEST(AxisTicks, UnusableStepsNeverHangTheWalk) {
  TxyGraph g;
  TAxis& a = g.XAxis();
  a.SetMin(0);
  a.SetMax(1e6);
  EXPECT_EQ(a.Ticks(0).size(), 6u);      // replaced by a found step
  EXPECT_LT(a.Ticks(1e-9).size(), 100u);
  a.SetStepSize(0);
  EXPECT_DOUBLE_EQ(a.DrawingStep(), 200000);
  EXPECT_EQ(a.StepSize(), 0);  // the drawing step is not stored
  a.SetLogScale(true);
  EXPECT_TRUE(a.Ticks(1).empty());  // no logarithm of 0
}

TEST(AxisTicks, LogTicksFollowTheTableThroughTheDecades) {
  TxyGraph g;
  TAxis& a = g.YAxis();
  a.SetLogScale(true);
  a.SetMin(1);
  a.SetMax(100);
  const auto ticks = a.Ticks(1);
  EXPECT_EQ(Values(ticks), (std::vector<double>{1, 2, 5, 10, 20, 50, 100}));
  a.SetMin(0.03);
  a.SetMax(0.3);
  const auto small = a.Ticks(1);
  EXPECT_EQ(small.front().value, 0.05);
  EXPECT_EQ(small.front().decimals, 2);  // each decade brings its own decimals
  EXPECT_EQ(small.back().decimals, 1);

  // With many divisions over many decades only the decade ends are labelled.
  a.SetLogCycleDivisions(9);
  a.SetMin(1);
  a.SetMax(1e4);
  a.AutoScale();  // sets the label flag for this range
  int labelled = 0;
  for (const TTick& t : a.Ticks(1)) labelled += t.labelled;
  EXPECT_EQ(labelled, 5);
}

TEST(AxisTicks, LabelsUseSeparatorsAndDropDecimalsOnLargeValues) {
  TxyGraph g;
  TAxis& a = g.XAxis();
  a.SetLabelDecimals(2);
  EXPECT_EQ(a.FormatLabel(1234.5), "1,234.50");
  EXPECT_EQ(a.FormatLabel(-1234567), "-1,234,567");
  EXPECT_EQ(a.FormatLabel(12345.6), "12,346");
  EXPECT_EQ(a.FormatLabel(0.0), "0.00");  // below a thousandth of the range
  EXPECT_EQ(FormatNumber(123456789, 0), "123,456,800");  // 7 significant digits
  EXPECT_EQ(FormatNumber(-0.001, 1), "0.0");
}

TEST(AxisTicks, DateFormatsAndDayNumbers) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(2000, 13, 1), EncodeDate(2001, 1, 1));
  const double t = EncodeDateTime(2024, 3, 9, 14, 5);
  EXPECT_EQ(FormatDateTime("dd-mmm", t), "09-Mar");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:mm", t), "2024-03-09 14:05");
  EXPECT_EQ(FormatDateTime("ddd d/m/yy h:nn am/pm", t), "Sat 9/3/24 2:05 pm");  // a 12-hour clock
  EXPECT_EQ(FormatDateTime("hh:nn AM/PM", EncodeDateTime(2024, 3, 9, 0, 7)), "12:07 AM");
  EXPECT_EQ(FormatDateTime("hh:nn 'am/pm'", t), "14:05 am/pm");  // quoted text is no marker
  EXPECT_EQ(FormatDateTime("'at' hh", t), "at 14");
}

TEST(AxisTicks, TimeAxesSnapToTheirUnitAndCoarsenWhenCrowded) {
  TxyGraph g;
  TAxis& a = g.XAxis();
  a.SetShowAsTime(true);
  g.GetSeries(1).AddPoint(EncodeDateTime(2024, 3, 9, 10, 7), 1);
  g.GetSeries(1).AddPoint(EncodeDateTime(2024, 3, 9, 13, 52), 2);
  g.CalcSeriesBounds();
  a.SetAutoSizing(true);
  a.AutoScale();
  EXPECT_NEAR(a.Min(), EncodeDateTime(2024, 3, 9, 10, 7), 1e-9);

  // 225 minutes exceed 50 steps: 5 minutes (45 steps) fit.
  a.DrawingStep();
  EXPECT_EQ(a.DateTickType(), dt_5minute);
  EXPECT_NEAR(a.Min(), EncodeDateTime(2024, 3, 9, 10, 5), 1e-9);
  EXPECT_NEAR(a.Max(), EncodeDateTime(2024, 3, 9, 13, 55), 1e-9);

  a.SetDateTickType(dt_quarterly);
  g.GetSeries(1).AddPoint(EncodeDate(2024, 11, 20), 3);
  g.CalcSeriesBounds();
  a.AutoScale();
  EXPECT_EQ(a.Min(), EncodeDate(2024, 1, 1));
  EXPECT_EQ(a.Max(), EncodeDate(2025, 1, 1));
  std::vector<double> quarters;
  for (int m : {1, 4, 7, 10}) quarters.push_back(EncodeDate(2024, m, 1));
  quarters.push_back(EncodeDate(2025, 1, 1));
  EXPECT_EQ(Values(a.Ticks(a.DrawingStep())), quarters);

  a.SetDateTickType(dt_weekly);
  a.AutoScale();
  EXPECT_EQ(DecodeDateTime(a.Min()).dayOfWeek, 1);  // weeks start on Sunday
  EXPECT_EQ(DecodeDateTime(a.Max()).dayOfWeek, 1);

  a.SetDateTickType(dt_decade);
  a.AutoScale();
  EXPECT_EQ(a.Min(), EncodeDate(2020, 1, 1));
  EXPECT_EQ(a.Max(), EncodeDate(2030, 1, 1));
}

// Whatever the data, an automatic time axis is usable, holds every value and, once drawn, has
// no more than MaxSteps intervals.
TEST(AxisTicks, AutomaticTimeRangesHoldTheirDataWithinTheStepLimit) {
  const double second = 1.0 / 86400;
  struct Case {
    const char* what;
    Dateticks type;
    double first, last;
  } cases[] = {
      {"one moment", dt_minute, EncodeDateTime(2024, 3, 9, 10, 7) + 13 * second,
       EncodeDateTime(2024, 3, 9, 10, 7) + 13 * second},
      {"one moment on a boundary", dt_hourly, EncodeDateTime(2024, 3, 9, 10, 0), EncodeDateTime(2024, 3, 9, 10, 0)},
      {"just before the hour", dt_hourly, EncodeDateTime(2024, 3, 9, 10, 0) - 0.3 * second,
       EncodeDateTime(2024, 3, 9, 12, 0)},
      {"just before the day", dt_daily, EncodeDate(2024, 3, 9) - 0.3 * second, EncodeDate(2024, 3, 12)},
      {"snapping widens past the limit", dt_minute, EncodeDateTime(2024, 3, 9, 10, 2),
       EncodeDateTime(2024, 3, 9, 14, 11)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TxyGraph g;
    TAxis& a = g.XAxis();
    a.SetShowAsTime(true);
    a.SetDateTickType(c.type);
    g.GetSeries(1).AddPoint(c.first, 1);
    g.GetSeries(1).AddPoint(c.last, 2);
    g.CalcSeriesBounds();
    a.SetAutoSizing(true);
    a.AutoScale();
    a.DrawingStep();
    EXPECT_TRUE(a.IsValid());
    EXPECT_LE(a.Min(), c.first);
    EXPECT_GE(a.Max(), c.last);
    EXPECT_LE((a.Max() - a.Min()) / a.TimeUnit(), g.Appearance().MaxSteps() + 1e-9);
  }
}

}  // namespace
}  // namespace chart
