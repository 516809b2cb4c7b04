#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frontend/chart/axis.h"
#include "frontend/chart/date_time.h"
#include "frontend/chart/graph.h"

namespace chart {

namespace {

// No axis is drawn with more ticks than this, whatever its step.
constexpr size_t kMaxTicks = 100000;

}  // namespace

int DecimalsFor(double value) {
  const double l = std::log10(value * 1.01);
  if (!std::isfinite(l)) return 0;
  return l >= 0 ? -static_cast<int>(std::trunc(l)) : 1 - static_cast<int>(std::trunc(l));
}

std::string FormatNumber(double value, int decimals) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
  decimals = std::clamp(decimals, 0, 18);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6e", value);  // 7 significant digits
  const double rounded = std::strtod(buffer, nullptr);
  const int size = std::snprintf(nullptr, 0, "%.*f", decimals, rounded);
  std::string digits(static_cast<size_t>(size), '\0');
  std::snprintf(digits.data(), digits.size() + 1, "%.*f", decimals, rounded);
  if (digits[0] == '-' && digits.find_first_not_of("-0.") == std::string::npos) digits.erase(0, 1);  // no "-0.0"
  const size_t start = digits[0] == '-' ? 1 : 0;
  size_t end = digits.find('.');
  if (end == std::string::npos) end = digits.size();
  for (size_t at = end; at > start + 3; at -= 3) digits.insert(at - 3, 1, ',');
  return digits;
}

std::string TAxis::FormatLabel(double value, int decimals) const {
  if (IsTime()) return FormatDateTime(dateTimeFormat_, value);
  const double size = std::fabs(value);
  if ((size <= 0.000999 || size >= 9999) && !(size < (max_ - min_) * 0.001)) decimals = 0;
  return FormatNumber(value, decimals);
}

double TAxis::DrawingStep() {
  if (IsTime()) {
    FitDateTickType();
    return TimeUnit();
  }
  if (logScale_ && !linearLog_) {
    BuildLogTicks();
    return stepSize_;
  }
  const double range = max_ - min_;
  if ((!(stepSize_ > 0) || range / stepSize_ > graph_.Appearance().MaxSteps()) && range > 0) return GetStep();
  return stepSize_;
}

std::vector<TTick> TAxis::Ticks(double step) {
  std::vector<TTick> ticks;
  if (!IsValid()) return ticks;
  const double end = max_ + (max_ - min_) * 0.001;

  if (IsTime()) {
    for (double tick = CeilTime(min_); tick < end && ticks.size() < kMaxTicks; tick = NextTime(tick))
      ticks.push_back({tick, true, labelDecimals_});
    return ticks;
  }

  if (logScale_ && !linearLog_) {
    std::vector<double> table = logTicks_;
    double decade = std::pow(10.0, std::floor(std::log10(min_)));
    if (decade > min_) decade /= 10;
    for (double& entry : table) entry *= decade;
    size_t index = 0;
    while (index < table.size() && table[index] < min_ * 0.999) ++index;
    bool decadeStart = true;
    while (ticks.size() < kMaxTicks) {
      if (index >= table.size()) {
        for (double& entry : table) entry *= 10;
        index = 1;  // the first entry repeats the last tick of the decade before
        decadeStart = true;
      }
      const double tick = table[index];
      if (!(tick < end)) break;
      if (decadeStart) {
        labelDecimals_ = std::max(0, DecimalsFor(tick * 1.01)) + (logCycleDivisions_ > 4 ? 1 : 0);
        decadeStart = false;
      }
      ticks.push_back({tick, labelEveryTick_ || index == 0 || index + 1 == table.size(), labelDecimals_});
      ++index;
    }
    return ticks;
  }

  // A step too small for the range would never reach the end.
  if (!(step > 0) || (max_ - min_) / step > kMaxTicks) step = GetStep();
  double first = std::trunc((min_ + step * 0.01) / step) * step;
  if (min_ < 0) first -= step;
  if (min_ > first + step * 0.01) first += step;
  labelDecimals_ = std::max(0, DecimalsFor(step * 1.01));
  for (double tick = first; tick < end && ticks.size() < kMaxTicks; tick += step)
    ticks.push_back({tick, true, labelDecimals_});
  return ticks;
}

}  // namespace chart
