#include "frontend/chart/look.h"

#include <algorithm>

#include "frontend/chart/graph.h"

namespace chart {

void TDimensions::SetLeftMargin(int16_t v) { left_ = v; graph_.Repaint(); }
void TDimensions::SetRightMargin(int16_t v) { right_ = v; graph_.Repaint(); }
void TDimensions::SetTopMargin(int16_t v) { top_ = v; graph_.Repaint(); }
void TDimensions::SetBottomMargin(int16_t v) { bottom_ = v; graph_.Repaint(); }

void TDimensions::Store(int32_t& field, int32_t v) {
  field = v;
  graph_.Repaint();
}

void TDimensions::SetTickLength(int32_t v) {
  tickLength_ = v;
  if (v == 0) graph_.Appearance().showTicks_ = false;
  graph_.Repaint();
}

void TDimensions::SetGraphTitleOffset(int32_t v) { Store(graphTitleOffset_, v); }
void TDimensions::SetXAxisTitleOffset(int32_t v) { Store(xTitleOffset_, v); }
void TDimensions::SetXAxisLabelOffset(int32_t v) { Store(xLabelOffset_, v); }
void TDimensions::SetYAxisTitleOffset(int32_t v) { Store(yTitleOffset_, v); }
void TDimensions::SetYAxisLabelOffset(int32_t v) { Store(yLabelOffset_, v); }

void TDimensions::SetPrintScalePct(int16_t v) { printScale_ = std::clamp<int16_t>(v, 20, 100); }
void TDimensions::SetPrintXOffsetPct(int16_t v) { printXOffset_ = std::min<int16_t>(v, 100); }
void TDimensions::SetPrintYOffsetPct(int16_t v) { printYOffset_ = std::min<int16_t>(v, 100); }

namespace {

template <typename T>
void StoreAndRepaint(TxyGraph& graph, T& field, T value) {
  field = value;
  graph.Repaint();
}

}  // namespace

void TAppearance::SetAxesColor(TColor v) { StoreAndRepaint(graph_, axesColor_, v); }
void TAppearance::SetBackgroundColor(TColor v) { StoreAndRepaint(graph_, backgroundColor_, v); }
void TAppearance::SetGridColor(TColor v) { StoreAndRepaint(graph_, gridColor_, v); }
void TAppearance::SetShowGridLines(bool on) { StoreAndRepaint(graph_, showGridLines_, on); }
void TAppearance::SetGridStyle(uint8_t style) { StoreAndRepaint(graph_, gridStyle_, style); }
void TAppearance::SetShowGraphLabels(bool on) { StoreAndRepaint(graph_, showGraphLabels_, on); }
void TAppearance::SetPlotOffGraph(bool on) { StoreAndRepaint(graph_, plotOffGraph_, on); }
void TAppearance::SetShowTicks(bool on) { StoreAndRepaint(graph_, showTicks_, on); }
void TAppearance::SetShowValues(bool on) { StoreAndRepaint(graph_, showValues_, on); }

void TAppearance::SetErrorCaption(const std::string& text) {
  errorCaption_ = text;
  // The caption is only shown while a range is unusable.
  if (!graph_.XAxis().IsValid() || !graph_.YAxis().IsValid()) graph_.Repaint();
}

void TAppearance::SetShowMarks(bool on) {
  if (on == showMarks_) return;
  StoreAndRepaint(graph_, showMarks_, on);
}

void TAppearance::SetGraphTitle(const std::string& title) {
  StoreAndRepaint(graph_, graphTitle_, title.substr(0, 255));
}

void TAppearance::SetMinSteps(int16_t v) {
  // A step count below 1 would let the step finder accept any step.
  if (v <= 0 || !(v < maxSteps_ * 0.4)) return;
  minSteps_ = v;
  graph_.Repaint();
}

void TAppearance::SetMaxSteps(int16_t v) {
  if (!(v > minSteps_ * 2.5) || v > 90) return;
  maxSteps_ = v;
  graph_.Repaint();
}

}  // namespace chart
