#include "frontend/chart/series.h"

#include "frontend/chart/graph.h"

namespace chart {

namespace {

struct SeriesLook {
  TColor colour;
  uint8_t shape;
  uint8_t style;
  bool fill;
};

SeriesLook DefaultLook(int number) {
  switch (number) {
    case 1: return {0x008000, psSquare, lsSolid, true};
    case 2: return {0xFF0000, psCircle, lsDash, true};
    case 3: return {0x0000FF, psDiamond, lsDot, true};
    case 4: return {0x808080, psCross, lsDashDot, true};
    case 5: return {0x000080, psSquare, lsDashDotDot, false};
    default: return {0x008000, psCircle, lsSolid, number < 5};
  }
}

}  // namespace

TSeries::TSeries(TxyGraph& owner, int16_t number) : owner_(owner), number_(number) {
  const SeriesLook look = DefaultLook(number);
  lineColor_ = pointColor_ = look.colour;
  pointShape_ = look.shape;
  lineStyle_ = look.style;
  fillPoints_ = look.fill;
}

TSeries::~TSeries() { owner_.UnlinkSeries(this); }

void TSeries::Changed() {
  if (owner_.Plotting()) owner_.Repaint();
}

void TSeries::TooManyPoints() {
  if (owner_.OnTooManyPoints) owner_.OnTooManyPoints(owner_, number_);
  TDataSeries::TooManyPoints();
}

template <typename T>
static bool Store(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

void TSeries::SetDrawLine(bool on) { if (Store(drawLine_, on)) Changed(); }
void TSeries::SetDrawPoints(bool on) { if (Store(drawPoints_, on)) Changed(); }
void TSeries::SetFillPoints(bool on) { if (Store(fillPoints_, on)) Changed(); }
void TSeries::SetLineColor(TColor colour) { if (Store(lineColor_, colour)) Changed(); }
void TSeries::SetPointColor(TColor colour) { if (Store(pointColor_, colour)) Changed(); }
void TSeries::SetLineStyle(uint8_t style) { if (Store(lineStyle_, style)) Changed(); }

// Symmetric shapes need an even size of at least 2 to be centred on the point.
void TSeries::NormalisePointSize() {
  if (pointShape_ == psSteps) return;
  if (pointSize_ < 2) pointSize_ = 2;
  if (pointSize_ % 2 != 0) ++pointSize_;
}

void TSeries::SetPointShape(uint8_t shape) {
  if (!Store(pointShape_, shape)) return;
  NormalisePointSize();
  Changed();
}

void TSeries::SetPointSize(int16_t size) {
  if (size == INT16_MAX) size = INT16_MAX - 1;  // rounding up to even must not overflow
  if (!Store(pointSize_, size)) return;
  NormalisePointSize();
  Changed();
}

}  // namespace chart
