#pragma once
// The chart's model: its series, marks, axes and look, and the mapping of values to pixels.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "frontend/chart/axis.h"
#include "frontend/chart/look.h"
#include "frontend/chart/series.h"

namespace chart {

enum TMarkKind : uint8_t { mkVerticalLine = 0, mkHorizontalLine = 1, mkSquare = 2, mkLine = 3 };

// An annotation drawn before (layer 0) or after (layer 1) the series.
struct TMark {
  int32_t id = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  TColor colour = 0;
  std::string label;
  uint8_t kind = mkVerticalLine;
  uint8_t layer = 0;
};

class TxyGraph;
using TSeriesEvent = std::function<void(TxyGraph& sender, int number)>;
using TLogErrorEvent = std::function<void(TSeries& sender, int number)>;
using TNotifyEvent = std::function<void(TxyGraph& sender)>;

// The chart's model: series, marks, axes and look, with the value/pixel mapping. Painting is
// done by a widget on top of it, which sets RepaintRequest to schedule itself.
class TxyGraph {
 public:
  TxyGraph();
  TxyGraph(const TxyGraph&) = delete;
  TxyGraph& operator=(const TxyGraph&) = delete;
  ~TxyGraph();

  TSeries& GetSeries(int16_t number);
  TSeries& AddSeries(int16_t number);
  TSeries* FirstSeries() const { return firstSeries_; }
  static TSeries* NextSeries(const TSeries& series) { return series.next_; }
  bool HasPoints() const;

  void SetMark(int32_t id, TColor colour, double x1, double y1, double x2, double y2, const std::string& label,
               uint8_t kind, uint8_t layer);
  void ClearMarks();
  const std::map<int32_t, TMark>& Marks() const { return marks_; }

  void SetPlotting(bool on);
  bool Plotting() const { return plotting_; }
  void SetAllowDuplicates(bool on);
  bool AllowDuplicates() const { return allowDuplicates_; }
  bool DragAllowed = true;

  TAxis& XAxis() { return xAxis_; }
  TAxis& YAxis() { return yAxis_; }
  TDimensions& Dimensions() { return dimensions_; }
  TAppearance& Appearance() { return appearance_; }
  const TAxis& XAxis() const { return xAxis_; }
  const TAxis& YAxis() const { return yAxis_; }
  const TDimensions& Dimensions() const { return dimensions_; }
  const TAppearance& Appearance() const { return appearance_; }

  void SetSize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The control's own colour; the plot is filled only when the background colour differs.
  void SetColor(TColor colour);
  TColor Color() const { return color_; }

  void DoRescale();
  void Repaint();
  void CalcSeriesBounds();
  void CalcMetrics();
  // Everything a paint does before drawing: data ranges, automatic ranges and steps, metrics,
  // and OnRescale when an automatic range moved. Returns whether both axes have a usable range.
  bool PrepareScaling();
  // Both scales are positive and finite, so values can be placed on the plot at all.
  bool CanPlace() const;

  int XValueToPixel(double x) const;
  int YValueToPixel(double y) const;
  double XPixelToValue(int px) const;
  double YPixelToValue(int py) const;

  TSeriesEvent OnNewSeries;
  TSeriesEvent OnTooManyPoints;
  TLogErrorEvent OnLogError;
  TNotifyEvent OnRescale;
  TNotifyEvent OnScaleError;
  std::function<void()> RepaintRequest;

 private:
  friend class TSeries;
  void UnlinkSeries(TSeries* series);

  TAxis xAxis_;
  TAxis yAxis_;
  TDimensions dimensions_;
  TAppearance appearance_;
  TSeries* firstSeries_ = nullptr;
  std::map<int32_t, TMark> marks_;
  bool plotting_ = true;
  bool allowDuplicates_ = false;
  int width_ = 200;
  int height_ = 200;
  TColor color_ = 0xFFFFFF;
};

}  // namespace chart
