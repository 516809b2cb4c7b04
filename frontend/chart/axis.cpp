#include "frontend/chart/axis.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "frontend/chart/chart_error.h"
#include "frontend/chart/date_time.h"
#include "frontend/chart/graph.h"

namespace chart {

TAxis::TAxis(TxyGraph& graph, std::string title) : graph_(graph), title_(std::move(title)) {
  BuildLogTicks();
}

void TAxis::Changed() { graph_.Repaint(); }

void TAxis::SetMin(double v) {
  autoSizing_ = false;
  if (v == min_) return;
  min_ = v;
  if (IsTime() && !graph_.HasPoints()) dataMin_ = v;
  graph_.DoRescale();
  Changed();
}

void TAxis::SetMax(double v) {
  autoSizing_ = false;
  if (v == max_) return;
  max_ = v;
  if (IsTime() && !graph_.HasPoints()) dataMax_ = v;
  graph_.DoRescale();
  Changed();
}

void TAxis::SetStepSize(double v) {
  autoStepping_ = false;
  if (v == stepSize_) return;
  stepSize_ = v;
  graph_.DoRescale();
  Changed();
}

void TAxis::SetMinScaleLength(double v) {
  minScaleLength_ = v;
  if (max_ - min_ < v) Changed();
}

void TAxis::SetShowAsTime(bool on) {
  if (on == showAsTime_) return;
  showAsTime_ = on;
  if (on && !graph_.HasPoints()) SetDataRange(min_, max_);
  Changed();
}

void TAxis::SetDateTimeFormat(const std::string& format) {
  if (format == dateTimeFormat_) return;
  dateTimeFormat_ = format;
  Changed();
}

void TAxis::SetDateTickType(Dateticks type) {
  if (type == dateTickType_) return;
  dateTickType_ = type;
  Changed();
}

void TAxis::SetLogCycleDivisions(int16_t divisions) {
  logCycleDivisions_ = divisions;
  BuildLogTicks();
  Changed();
}

void TAxis::SetTitle(const std::string& title) { title_ = title.substr(0, 255); Changed(); }
void TAxis::SetLabelDecimals(int32_t decimals) { labelDecimals_ = decimals; Changed(); }
void TAxis::SetLogScale(bool on) { logScale_ = on; Changed(); }
void TAxis::SetAutoSizing(bool on) { autoSizing_ = on; Changed(); }
void TAxis::SetAutoStepping(bool on) { autoStepping_ = on; Changed(); }

void TAxis::BuildLogTicks() {
  int divisions = std::clamp<int>(logCycleDivisions_, 0, 9);
  if (divisions == 3) divisions = 2;
  else if (divisions == 4 || divisions == 6) divisions = 5;
  else if (divisions == 8) divisions = 7;
  logCycleDivisions_ = static_cast<int16_t>(divisions);
  switch (divisions) {
    case 0: logTicks_ = {1, 10}; break;
    case 1: logTicks_ = {1, 5, 10}; break;
    case 2: logTicks_ = {1, 2, 5, 10}; break;
    case 5: logTicks_ = {1, 1.5, 2, 3, 5, 7, 10}; break;
    case 7: logTicks_ = {1, 1.5, 2, 3, 4, 5, 6, 8, 10}; break;
    default: logTicks_ = {1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10}; break;
  }
}

bool TAxis::IsValid() const {
  if (!(min_ < max_)) return false;
  if (logScale_ && !(min_ > 0)) return false;
  if (IsTime() && !(min_ >= 1)) return false;
  return std::isfinite(min_) && std::isfinite(max_);
}

double TAxis::GetStep() const {
  const double range = max_ - min_;
  if (!(range > 0) || !std::isfinite(range)) throw ChartError("GetStep entered with bad range");
  double l = std::log10(range);
  if (l < 0) l -= 1;
  const double f = std::pow(10.0, std::trunc(l * 1.001));
  const int minSteps = graph_.Appearance().MinSteps();
  for (double factor : {1.0, 0.5, 0.2, 0.1, 0.05, 0.02})
    if (range / (f * factor) >= minSteps) return f * factor;
  return f * 0.01;
}

void TAxis::SetMinMax(double dMin, double dMax) {
  if (dMin > dMax) throw ChartError("Impossible: oMin > oMax in SetMinMax!");
  if (!std::isfinite(dMin) || !std::isfinite(dMax)) throw ChartError("SetMinMax failed");
  if (dMin == dMax) {
    if (dMax == 0) {
      min_ = -1;
      max_ = 1;
      stepSize_ = GetStep();
      return;
    }
    if (dMax > 0) {
      min_ = 0;
      max_ = dMax * 1.2;
    } else {
      min_ = dMin * 1.2;
      max_ = 0;
    }
    stepSize_ = GetStep();
    max_ = std::trunc(max_ / stepSize_) * stepSize_;
    if (max_ < dMax) max_ += stepSize_;  // rounding must not cut the data off
    return;
  }
  min_ = dMin;
  max_ = dMax;
  const int maxSteps = graph_.Appearance().MaxSteps();
  if (autoStepping_ || !(stepSize_ > 0) || 1.0 / maxSteps > stepSize_ / (dMax - dMin)) stepSize_ = GetStep();
  const double step = stepSize_;
  min_ = std::trunc(min_ / step) * step;
  if (dMin < 0) min_ -= step;
  if (dMin - step * 0.01 < min_) min_ -= step;
  max_ = (std::trunc(max_ / step) + 1) * step;
  if (dMax < 0) max_ -= step;
  if (dMax + step * 0.01 > max_) max_ += step;
  if (dMin > 0 && dMin / (max_ - min_) < 0.25) min_ = 0;
  else if (dMax < 0 && -dMax / (max_ - min_) < 0.25) max_ = 0;
  if (min_ >= max_) throw ChartError("SetMinMax failed");
}

void TAxis::AutoLogDivisions() {
  const double q = graph_.Appearance().MinSteps() / std::log10(max_ / min_);
  int divisions = 0;
  if (q > 10) divisions = 9;
  else if (q > 8) divisions = 7;
  else if (q > 6) divisions = 5;
  else if (q > 3) divisions = 2;
  else if (q > 2) divisions = 1;
  logCycleDivisions_ = static_cast<int16_t>(divisions);
  BuildLogTicks();
}

void TAxis::LogRange(double dMin, double dMax) {
  if (!(dMin > 0) || !(dMax >= dMin)) return;  // no logarithmic range holds such data
  min_ = dMin == dMax ? dMax * 0.5 : dMin;
  max_ = dMax;
  const double lo = std::log10(min_);
  const double hi = std::log10(max_);
  const double dm = std::floor(lo);
  const double mm = std::pow(10.0, lo - dm);
  double dx = std::trunc(hi);
  if ((hi < 0 && hi != dx) || hi == 0) dx -= 1;
  const double mx = std::pow(10.0, hi - dx);
  if (autoStepping_) AutoLogDivisions();

  const double ratio = max_ / min_;
  if (ratio >= 4) {
    linearLog_ = false;
    if (ratio >= 30) {
      min_ = std::pow(10.0, dm);
      max_ = std::pow(10.0, dx) * 10;
    } else {
      // A small tolerance keeps a mantissa such as 1.9999999 on the entry 2.
      double low = logTicks_.front(), high = logTicks_.back();
      for (double entry : logTicks_)
        if (entry <= mm * (1 + 1e-9)) low = entry;
      for (auto it = logTicks_.rbegin(); it != logTicks_.rend(); ++it)
        if (*it >= mx * (1 - 1e-9)) high = *it;
      min_ = std::pow(10.0, dm) * low;
      max_ = std::pow(10.0, dx) * high;
    }
  } else {
    linearLog_ = true;
    const double low = min_;
    SetMinMax(min_, max_);
    // A linear range below zero cannot be shown on a logarithmic axis.
    if (min_ <= 0) {
      min_ = std::floor(low / stepSize_) * stepSize_;
      if (min_ <= 0) min_ = low;
    }
  }
  labelEveryTick_ = linearLog_ || std::log10(max_ / min_) * logCycleDivisions_ < 10;
}

bool TAxis::CheckRange() {
  const double oldMin = min_, oldMax = max_;
  if (logScale_) {
    if (min_ > max_) std::swap(min_, max_);
    if (max_ > 0 && min_ <= 0) min_ = max_ * 0.1;
    if (max_ <= 0) {
      min_ = 1;
      max_ = 10;
    }
    if (min_ == max_) min_ = max_ * 0.1;  // an empty range is no range
    return min_ != oldMin || max_ != oldMax;
  }
  if (IsTime()) {
    max_ = NowAsDateTime();
    min_ = max_ - 5 * TimeUnit();
    return true;
  }
  if (min_ > max_) std::swap(min_, max_);
  if (min_ == max_) {
    if (max_ == 0) {
      min_ = -1;
      max_ = 1;
    } else if (max_ > 0) {
      min_ = 0;
    } else {
      max_ = 0;  // a single negative value: zero becomes the top, not the bottom
    }
  }
  stepSize_ = GetStep();
  return min_ != oldMin || max_ != oldMax;
}

bool TAxis::AutoScale() {
  double dMin = dataMin_, dMax = dataMax_;
  if (dMax - dMin < minScaleLength_) dMax = dMin + minScaleLength_;
  if (!graph_.HasPoints()) {
    const bool changed = CheckRange();
    if (logScale_) labelEveryTick_ = std::log10(max_ / min_) * logCycleDivisions_ < 10;
    return changed;
  }
  if (logScale_) {
    if (dMin <= 0) return false;
    LogRange(dMin, dMax);
    if (autoStepping_ && !linearLog_) {
      AutoLogDivisions();
      const bool keep = autoStepping_;
      autoStepping_ = false;  // the second pass keeps the divisions just chosen
      LogRange(dMin, dMax);
      autoStepping_ = keep;
    }
  } else if (IsTime() && dMin >= 1 && dMax >= dMin && (dMax == dMin || dateTickType_ != dt_custom)) {
    // Data all at one moment get the unit around it; a linear range from 0 is no date range.
    SnapDateRange(dMin, dMax);
  } else {
    SetMinMax(dMin, dMax);
    if (autoStepping_ && dMin < dMax) {
      stepSize_ = GetStep();
      SetMinMax(dMin, dMax);
    }
  }
  return min_ != dMin || max_ != dMax;
}

void TAxis::AutoStep() {
  if (!autoStepping_ || !IsValid()) return;
  if (logScale_) {
    AutoLogDivisions();
    labelEveryTick_ = linearLog_ || std::log10(max_ / min_) * logCycleDivisions_ < 10;
  } else if (!IsTime()) {
    stepSize_ = GetStep();
  }
}

}  // namespace chart
