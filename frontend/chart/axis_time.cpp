#include <cmath>

#include "frontend/chart/axis.h"
#include "frontend/chart/date_time.h"
#include "frontend/chart/graph.h"

namespace chart {

namespace {

constexpr double kMinute = 1.0 / 1440;
// Values closer than this (about 9 ms) to a boundary count as lying on it, whatever the unit.
constexpr double kOnBoundary = 1e-7;

int MinutesPerUnit(Dateticks type) {
  switch (type) {
    case dt_minute: return 1;
    case dt_5minute: return 5;
    case dt_halfhourly: return 30;
    default: return 60;
  }
}

int MonthsPerUnit(Dateticks type) {
  switch (type) {
    case dt_monthly: return 1;
    case dt_2monthly: return 2;
    case dt_quarterly: return 3;
    case dt_annually: return 12;
    case dt_decade: return 120;
    default: return 1200;
  }
}

int FloorDiv(int value, int divisor) {
  return (value >= 0 ? value : value - divisor + 1) / divisor;
}

}  // namespace

double TAxis::DateTickUnit(int type) {
  static const double kUnits[] = {1.0 / 1440, 5.0 / 1440, 1.0 / 48, 1.0 / 24, 1, 7, 30, 61, 91, 365, 3654, 36540};
  return type >= 0 && type < 12 ? kUnits[type] : 0;
}

double TAxis::TimeUnit() const {
  if (dateTickType_ == dt_custom) return stepSize_ > 0 ? stepSize_ : kMinute;
  const double unit = DateTickUnit(dateTickType_);
  return unit > 0 ? unit : kMinute;
}

// The last boundary of the tick unit at or before the value.
double TAxis::FloorTime(double value) const {
  switch (dateTickType_) {
    case dt_minute: case dt_5minute: case dt_halfhourly: case dt_hourly: {
      const double unit = MinutesPerUnit(dateTickType_);
      return std::floor((value + kOnBoundary) * 1440 / unit) * unit / 1440;
    }
    case dt_daily:
      return std::floor(value + kOnBoundary);
    case dt_weekly: {
      const double day = std::floor(value + kOnBoundary);
      return day - (DecodeDateTime(day).dayOfWeek - 1);  // back to Sunday
    }
    case dt_custom:
      return std::floor((value + kOnBoundary) / TimeUnit()) * TimeUnit();
    default: {
      const CivilDateTime t = DecodeDateTime(value + kOnBoundary);
      const int months = MonthsPerUnit(dateTickType_);
      if (months < 12) return EncodeDate(t.year, t.month - (t.month - 1) % months, 1);
      const int years = months / 12;
      return EncodeDate(FloorDiv(t.year, years) * years, 1, 1);
    }
  }
}

double TAxis::NextTime(double boundary) const {
  switch (dateTickType_) {
    case dt_minute: case dt_5minute: case dt_halfhourly: case dt_hourly:
      return boundary + MinutesPerUnit(dateTickType_) * kMinute;
    case dt_daily: return boundary + 1;
    case dt_weekly: return boundary + 7;
    case dt_custom: return boundary + TimeUnit();
    default: {
      const CivilDateTime t = DecodeDateTime(boundary + kOnBoundary);
      return EncodeDate(t.year, t.month + MonthsPerUnit(dateTickType_), 1);
    }
  }
}

double TAxis::CeilTime(double value) const {
  const double floor = FloorTime(value);
  return std::fabs(value - floor) < kOnBoundary ? floor : NextTime(floor);
}

void TAxis::SnapDateRange(double dMin, double dMax) {
  min_ = FloorTime(dMin);
  max_ = CeilTime(dMax);
  if (max_ <= min_) max_ = NextTime(min_);
}

void TAxis::FitDateTickType() {
  if (!IsTime() || !IsValid()) return;
  const int maxSteps = graph_.Appearance().MaxSteps();
  // Snapping to a coarser unit widens the range, which may then hold too many steps again.
  while (dateTickType_ < dt_century && (max_ - min_) / TimeUnit() > maxSteps) {
    dateTickType_ = static_cast<Dateticks>(dateTickType_ + 1);
    SnapDateRange(min_, max_);
  }
}

}  // namespace chart
