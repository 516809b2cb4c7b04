#pragma once
// The chart's axes: range, tick step and label format, chosen from the data or set by hand.
#include <cstdint>
#include <string>
#include <vector>

namespace chart {

class TxyGraph;

enum Dateticks : uint8_t {
  dt_minute, dt_5minute, dt_halfhourly, dt_hourly, dt_daily, dt_weekly, dt_monthly,
  dt_2monthly, dt_quarterly, dt_annually, dt_decade, dt_century, dt_custom
};

struct TTick {
  double value;
  bool labelled;
  int decimals;  // the label decimals in force at this tick
};

// One axis of a graph: the visible range, the step between ticks and the label format, with the
// automatic choice of range and step from the data.
class TAxis {
 public:
  TAxis(TxyGraph& graph, std::string title);

  // Published properties.
  void SetMin(double v);
  void SetMax(double v);
  void SetStepSize(double v);
  void SetMinScaleLength(double v);
  void SetShowAsTime(bool on);
  void SetDateTimeFormat(const std::string& format);
  void SetDateTickType(Dateticks type);
  void SetLogCycleDivisions(int16_t divisions);
  void SetTitle(const std::string& title);
  void SetLabelDecimals(int32_t decimals);
  void SetLogScale(bool on);
  void SetAutoSizing(bool on);
  void SetAutoStepping(bool on);

  double Min() const { return min_; }
  double Max() const { return max_; }
  double StepSize() const { return stepSize_; }
  double MinScaleLength() const { return minScaleLength_; }
  bool ShowAsTime() const { return showAsTime_; }
  const std::string& DateTimeFormat() const { return dateTimeFormat_; }
  Dateticks DateTickType() const { return dateTickType_; }
  int16_t LogCycleDivisions() const { return logCycleDivisions_; }
  const std::string& Title() const { return title_; }
  int32_t LabelDecimals() const { return labelDecimals_; }
  bool LogScale() const { return logScale_; }
  bool AutoSizing() const { return autoSizing_; }
  bool AutoStepping() const { return autoStepping_; }
  bool LinearLog() const { return linearLog_; }
  bool LabelEveryTick() const { return labelEveryTick_; }
  const std::vector<double>& LogTicks() const { return logTicks_; }

  double DataMin() const { return dataMin_; }
  double DataMax() const { return dataMax_; }
  void SetDataRange(double dMin, double dMax) { dataMin_ = dMin; dataMax_ = dMax; }
  // Sets the range without telling anyone: for a paint that draws one axis of an unusable pair.
  void SetRangeQuietly(double min, double max) { min_ = min; max_ = max; }
  double Scale() const { return scale_; }
  void SetScale(double scale) { scale_ = scale; }

  bool IsValid() const;
  bool IsTime() const { return showAsTime_ && !logScale_; }

  // Scaling.
  double GetStep() const;
  void SetMinMax(double dMin, double dMax);
  void LogRange(double dMin, double dMax);
  void AutoLogDivisions();
  void SnapDateRange(double dMin, double dMax);
  bool CheckRange();
  bool AutoScale();
  void AutoStep();

  // Drawing support: the step a drawing uses, the ticks and the label texts.
  double DrawingStep();
  void FitDateTickType();
  std::vector<TTick> Ticks(double step);
  std::string FormatLabel(double value) const { return FormatLabel(value, labelDecimals_); }
  std::string FormatLabel(const TTick& tick) const { return FormatLabel(tick.value, tick.decimals); }
  std::string FormatLabel(double value, int decimals) const;

  static double DateTickUnit(int type);
  // The tick unit of this time axis in days, never zero.
  double TimeUnit() const;

 private:
  void BuildLogTicks();
  void Changed();
  double FloorTime(double value) const;
  double CeilTime(double value) const;
  double NextTime(double boundary) const;

  TxyGraph& graph_;
  double scale_ = 1;
  double dataMin_ = 0, dataMax_ = 1;
  double min_ = 0, max_ = 1, stepSize_ = 0.2;
  bool logScale_ = false, autoSizing_ = false, autoStepping_ = false;
  std::vector<double> logTicks_;
  int16_t logCycleDivisions_ = 2;
  bool linearLog_ = false;
  bool labelEveryTick_ = false;
  std::string title_;
  int32_t labelDecimals_ = 1;
  std::string dateTimeFormat_ = "dd-mmm";
  Dateticks dateTickType_ = dt_minute;
  bool showAsTime_ = false;
  double minScaleLength_ = 0;
};

// Decimals needed to show a value of that size: D(v) of the tick walk.
int DecimalsFor(double value);

// The number with thousands separators, rounded to 7 significant digits, with that many decimals.
std::string FormatNumber(double value, int decimals);

}  // namespace chart
