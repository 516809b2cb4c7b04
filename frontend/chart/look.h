#pragma once
// The chart's look: the margins and distances of its parts, grid styles and colours.
#include <cstdint>
#include <string>

namespace chart {

class TxyGraph;
using TColor = uint32_t;  // 0x00BBGGRR

// Margins around the plot rectangle and the distances of ticks, labels and titles, in pixels.
class TDimensions {
 public:
  explicit TDimensions(TxyGraph& graph) : graph_(graph) {}
  void SetLeftMargin(int16_t v);
  void SetRightMargin(int16_t v);
  void SetTopMargin(int16_t v);
  void SetBottomMargin(int16_t v);
  void SetTickLength(int32_t v);
  void SetGraphTitleOffset(int32_t v);
  void SetXAxisTitleOffset(int32_t v);
  void SetXAxisLabelOffset(int32_t v);
  void SetYAxisTitleOffset(int32_t v);
  void SetYAxisLabelOffset(int32_t v);
  void SetPrintScalePct(int16_t v);
  void SetPrintXOffsetPct(int16_t v);
  void SetPrintYOffsetPct(int16_t v);

  int16_t LeftMargin() const { return left_; }
  int16_t RightMargin() const { return right_; }
  int16_t TopMargin() const { return top_; }
  int16_t BottomMargin() const { return bottom_; }
  int32_t TickLength() const { return tickLength_; }
  int32_t GraphTitleOffset() const { return graphTitleOffset_; }
  int32_t XAxisTitleOffset() const { return xTitleOffset_; }
  int32_t XAxisLabelOffset() const { return xLabelOffset_; }
  int32_t YAxisTitleOffset() const { return yTitleOffset_; }
  int32_t YAxisLabelOffset() const { return yLabelOffset_; }
  int16_t PrintScalePct() const { return printScale_; }
  int16_t PrintXOffsetPct() const { return printXOffset_; }
  int16_t PrintYOffsetPct() const { return printYOffset_; }

 private:
  void Store(int32_t& field, int32_t v);

  TxyGraph& graph_;
  int16_t left_ = 40, right_ = 15, top_ = 30, bottom_ = 40;
  int32_t tickLength_ = 4;
  int32_t graphTitleOffset_ = 7;
  int32_t xTitleOffset_ = 4, xLabelOffset_ = 2;
  int32_t yTitleOffset_ = 4, yLabelOffset_ = 2;
  int16_t printScale_ = 90, printXOffset_ = 5, printYOffset_ = 20;
};

enum TGridStyle : uint8_t { gsSolid = 0, gsDash = 1, gsDot = 2, gsDashDot = 3, gsDashDotDot = 4 };

// Look settings of the graph; the step limits are used by the axis scaling.
class TAppearance {
 public:
  static constexpr const char* kDefaultErrorCaption = "MAX/MIN VALUES INCONSISTENT";
  static constexpr const char* kDefaultGraphTitle = "xyGraph 2.00";

  explicit TAppearance(TxyGraph& graph) : graph_(graph) {}
  void SetAxesColor(TColor v);
  void SetBackgroundColor(TColor v);
  void SetPrintBkgndColor(bool on) { printBkgndColor_ = on; }
  void SetErrorCaption(const std::string& text);
  void SetGridColor(TColor v);
  void SetShowGridLines(bool on);
  void SetGridStyle(uint8_t style);
  void SetShowGraphLabels(bool on);
  void SetPlotOffGraph(bool on);
  void SetShowMarks(bool on);
  void SetShowTicks(bool on);
  void SetGraphTitle(const std::string& title);
  void SetMinSteps(int16_t v);
  void SetMaxSteps(int16_t v);
  void SetShowValues(bool on);

  TColor AxesColor() const { return axesColor_; }
  TColor BackgroundColor() const { return backgroundColor_; }
  bool PrintBkgndColor() const { return printBkgndColor_; }
  const std::string& ErrorCaption() const { return errorCaption_; }
  TColor GridColor() const { return gridColor_; }
  bool ShowGridLines() const { return showGridLines_; }
  uint8_t GridStyle() const { return gridStyle_; }
  bool ShowGraphLabels() const { return showGraphLabels_; }
  bool PlotOffGraph() const { return plotOffGraph_; }
  bool ShowMarks() const { return showMarks_; }
  bool ShowTicks() const { return showTicks_; }
  const std::string& GraphTitle() const { return graphTitle_; }
  int16_t MinSteps() const { return minSteps_; }
  int16_t MaxSteps() const { return maxSteps_; }
  bool ShowValues() const { return showValues_; }

 private:
  friend class TDimensions;  // a tick length of 0 switches the ticks off
  friend class GraphPainter;  // an invalid range hides the grid for one paint

  TxyGraph& graph_;
  TColor axesColor_ = 0;
  TColor backgroundColor_ = 0xFFFFFF;
  bool printBkgndColor_ = false;
  std::string errorCaption_ = kDefaultErrorCaption;
  TColor gridColor_ = 0xC0C0C0;
  bool showGridLines_ = true;
  uint8_t gridStyle_ = gsDot;
  bool showGraphLabels_ = true;
  bool plotOffGraph_ = false;
  bool showMarks_ = false;
  bool showTicks_ = true;
  std::string graphTitle_ = kDefaultGraphTitle;
  int16_t minSteps_ = 5;
  int16_t maxSteps_ = 50;
  bool showValues_ = false;
};

}  // namespace chart
