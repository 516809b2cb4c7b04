#include "frontend/chart/graph.h"

#include <algorithm>
#include <cmath>

#include "frontend/chart/chart_error.h"

namespace chart {

namespace {

// Pixel offsets beyond this (and undefined ones, such as a logarithm of zero) are parked here,
// far outside any plot, so that drawing code never meets an overflowing coordinate.
constexpr double kFarOffset = 20000;

int OffsetToPixel(double offset, int margin) {
  if (std::isnan(offset)) return static_cast<int>(kFarOffset);
  if (std::fabs(offset) > kFarOffset) return static_cast<int>(offset < 0 ? -kFarOffset : kFarOffset);
  return static_cast<int>(std::nearbyint(offset)) + margin;
}

}  // namespace

TxyGraph::TxyGraph()
    : xAxis_(*this, "X axis"), yAxis_(*this, "Y axis"), dimensions_(*this), appearance_(*this) {}

TxyGraph::~TxyGraph() {
  while (firstSeries_) delete firstSeries_;  // each series unlinks itself
}

TSeries& TxyGraph::GetSeries(int16_t number) {
  for (TSeries* s = firstSeries_; s; s = s->next_)
    if (s->number_ == number) return *s;
  return AddSeries(number);
}

TSeries& TxyGraph::AddSeries(int16_t number) {
  if (OnNewSeries) OnNewSeries(*this, number);
  auto* series = new TSeries(*this, number);
  TSeries** link = &firstSeries_;
  while (*link && (*link)->number_ < number) link = &(*link)->next_;
  series->next_ = *link;
  *link = series;
  return *series;
}

void TxyGraph::UnlinkSeries(TSeries* series) {
  for (TSeries** link = &firstSeries_; *link; link = &(*link)->next_) {
    if (*link == series) {
      *link = series->next_;
      return;
    }
  }
}

bool TxyGraph::HasPoints() const {
  for (TSeries* s = firstSeries_; s; s = s->next_)
    if (s->Count() > 0) return true;
  return false;
}

void TxyGraph::SetMark(int32_t id, TColor colour, double x1, double y1, double x2, double y2,
                       const std::string& label, uint8_t kind, uint8_t layer) {
  marks_[id] = TMark{id, x1, y1, x2, y2, colour, label.substr(0, 255), kind, layer};
  Repaint();
}

void TxyGraph::ClearMarks() {
  marks_.clear();
  Repaint();
}

void TxyGraph::SetPlotting(bool on) {
  plotting_ = on;
  Repaint();
  if (on) DoRescale();
}

void TxyGraph::SetAllowDuplicates(bool on) {
  allowDuplicates_ = on;
  if (!on)
    for (TSeries* s = firstSeries_; s; s = s->next_) s->RemoveDuplicates();
  Repaint();
}

void TxyGraph::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void TxyGraph::SetColor(TColor colour) {
  color_ = colour;
  Repaint();
}

void TxyGraph::DoRescale() {
  if (plotting_ && xAxis_.IsValid() && yAxis_.IsValid() && OnRescale) OnRescale(*this);
}

void TxyGraph::Repaint() {
  if (plotting_ && RepaintRequest) RepaintRequest();
}

void TxyGraph::CalcSeriesBounds() {
  bool any = false;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  for (TSeries* s = firstSeries_; s; s = s->next_) {
    if (s->BoundsDirty()) s->CalcBounds();
    if (!s->Active || s->Count() == 0) continue;
    if (!any) {
      xMin = s->XMin(), xMax = s->XMax(), yMin = s->YMin(), yMax = s->YMax();
      any = true;
      continue;
    }
    xMin = std::min(xMin, s->XMin());
    xMax = std::max(xMax, s->XMax());
    yMin = std::min(yMin, s->YMin());
    yMax = std::max(yMax, s->YMax());
  }
  if (!any) return;
  xAxis_.SetDataRange(xMin, xMax);
  yAxis_.SetDataRange(yMin, yMax);
}

void TxyGraph::CalcMetrics() {
  const auto scale = [](const TAxis& axis, int pixels) {
    const double span = axis.LogScale() ? std::log(axis.Max()) - std::log(axis.Min()) : axis.Max() - axis.Min();
    return pixels / span;
  };
  if (xAxis_.Min() >= xAxis_.Max()) throw ChartError("CalcXMetrics: XMin>=XMax");
  xAxis_.SetScale(scale(xAxis_, width_ - dimensions_.LeftMargin() - dimensions_.RightMargin()));
  if (yAxis_.Min() >= yAxis_.Max()) throw ChartError("CalcYMetrics: YMin>=YMax");
  yAxis_.SetScale(scale(yAxis_, height_ - dimensions_.TopMargin() - dimensions_.BottomMargin()));
}

bool TxyGraph::PrepareScaling() {
  if (HasPoints()) CalcSeriesBounds();
  bool rescaled = false;
  for (TAxis* axis : {&xAxis_, &yAxis_}) {
    if (axis->AutoSizing()) {
      // Only a range that really moved is news to OnRescale; an unchanged one comes every paint.
      const double oldMin = axis->Min(), oldMax = axis->Max();
      const bool changed = axis->AutoScale();
      rescaled |= changed && (axis->Min() != oldMin || axis->Max() != oldMax);
    } else {
      axis->AutoStep();
    }
  }
  if (!xAxis_.IsValid() || !yAxis_.IsValid()) return false;
  if (rescaled) DoRescale();
  CalcMetrics();
  return true;
}

bool TxyGraph::CanPlace() const {
  for (const TAxis* axis : {&xAxis_, &yAxis_})
    if (!(axis->Scale() > 0) || !std::isfinite(axis->Scale())) return false;
  return true;
}

int TxyGraph::XValueToPixel(double x) const {
  const TAxis& a = xAxis_;
  const double offset = a.LogScale() ? (std::log(x) - std::log(a.Min())) * a.Scale() : (x - a.Min()) * a.Scale();
  return OffsetToPixel(offset, dimensions_.LeftMargin());
}

int TxyGraph::YValueToPixel(double y) const {
  const TAxis& a = yAxis_;
  const double offset = a.LogScale() ? (std::log(a.Max()) - std::log(y)) * a.Scale() : (a.Max() - y) * a.Scale();
  return OffsetToPixel(offset, dimensions_.TopMargin());
}

double TxyGraph::XPixelToValue(int px) const {
  const TAxis& a = xAxis_;
  if (a.Scale() == 0 || !std::isfinite(a.Scale())) return a.Min();  // a plot without width has one value everywhere
  const double units = (px - dimensions_.LeftMargin()) / a.Scale();
  return a.LogScale() ? a.Min() * std::exp(units) : units + a.Min();
}

double TxyGraph::YPixelToValue(int py) const {
  const TAxis& a = yAxis_;
  if (a.Scale() == 0 || !std::isfinite(a.Scale())) return a.Max();
  const double units = (py - dimensions_.TopMargin()) / a.Scale();
  return a.LogScale() ? a.Max() * std::exp(-units) : a.Max() - units;
}

}  // namespace chart
