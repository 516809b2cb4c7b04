#include "frontend/chart/graph_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <exception>

#include "frontend/chart/chart_error.h"

namespace chart {

QColor ToQColor(TColor colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Qt::PenStyle PenStyleFor(uint8_t style) {
  switch (style) {
    case lsDash: return Qt::DashLine;
    case lsDot: return Qt::DotLine;
    case lsDashDot: return Qt::DashDotLine;
    case lsDashDotDot: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
  }
}

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Puts a setting back to its saved value when the scope ends.
struct SettingRestorer {
  bool& setting;
  bool saved;
  ~SettingRestorer() { setting = saved; }
};

// Gives an axis a stand-in range for one paint and puts the real one back, whatever happens.
class StandInRange {
 public:
  StandInRange(TAxis& axis, double min, double max) : axis_(axis), min_(axis.Min()), max_(axis.Max()) {
    axis.SetRangeQuietly(min, max);
  }
  ~StandInRange() { axis_.SetRangeQuietly(min_, max_); }
  StandInRange(const StandInRange&) = delete;
  StandInRange& operator=(const StandInRange&) = delete;

 private:
  TAxis& axis_;
  double min_, max_;
};

}  // namespace

GraphPainter::GraphPainter(TxyGraph& graph, QPainter& painter, const QFont& font, bool border)
    : graph_(graph), painter_(painter), font_(font), border_(border) {}

QRect GraphPainter::PlotRect() const {
  const TDimensions& d = graph_.Dimensions();
  return QRect(QPoint(d.LeftMargin(), d.TopMargin()),
               QPoint(graph_.Width() - d.RightMargin(), graph_.Height() - d.BottomMargin()));
}

void GraphPainter::ClipToPlot() { painter_.setClipRect(PlotRect()); }
void GraphPainter::ClipToControl() { painter_.setClipping(false); }

bool GraphPainter::Paint() {
  painter_.setFont(font_);
  try {
    if (graph_.PrepareScaling()) {
      PaintPanel("");
      DrawAll();
      return true;
    }
    PaintInvalid(graph_.XAxis().IsValid(), graph_.YAxis().IsValid());
  } catch (const std::exception& error) {
    // The axes keep what they reached; the message stands where the chart would be.
    ClipToControl();
    PaintPanel(error.what());
  }
  return false;
}

void GraphPainter::PaintPanel(const std::string& caption) {
  caption_ = caption;
  const QRect whole(0, 0, graph_.Width(), graph_.Height());
  painter_.fillRect(whole, ToQColor(graph_.Color()));
  if (border_) {
    painter_.setPen(Qt::black);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(whole.adjusted(0, 0, -1, -1));
  }
  if (!caption.empty()) {
    painter_.setPen(Qt::black);
    painter_.drawText(whole, Qt::AlignCenter, Text(caption));
  }
}

void GraphPainter::PaintInvalid(bool xValid, bool yValid) {
  TAppearance& look = graph_.Appearance();
  const std::string& error = look.ErrorCaption();
  if (!xValid && !yValid) {
    PaintPanel("BOTH AXES: " + error);
    if (look.ShowGraphLabels()) DrawGraphTitle();
    return;
  }
  PaintPanel((xValid ? "Y-AXIS: " : "X-AXIS: ") + error);
  const bool grid = look.showGridLines_;
  {
    // The grid stays off while the stand-in axis is drawn, and comes back however that ends.
    const SettingRestorer restorer{look.showGridLines_, grid};
    look.showGridLines_ = false;
    StandInRange standIn(xValid ? graph_.YAxis() : graph_.XAxis(), 1, 10);
    graph_.CalcMetrics();
    if (graph_.CanPlace()) {
      if (xValid) DrawXAxis();
      else DrawYAxis();
    }
  }
  if (look.ShowGraphLabels()) DrawGraphTitle();
}

void GraphPainter::DrawAll() {
  graph_.CalcMetrics();
  if (!graph_.CanPlace()) return;  // no room for a plot
  DrawFrame();
  if (!graph_.Plotting()) return;
  const bool marks = graph_.Appearance().ShowMarks();
  if (marks) DrawMarks(0);
  for (TSeries* s = graph_.FirstSeries(); s; s = TxyGraph::NextSeries(*s)) DrawSeries(*s);
  if (marks) DrawMarks(1);
}

void GraphPainter::DrawFrame() {
  DrawBackground();
  DrawXAxis();
  DrawYAxis();
  if (graph_.Appearance().ShowGraphLabels()) DrawGraphTitle();
}

void GraphPainter::DrawBackground() {
  const TColor background = graph_.Appearance().BackgroundColor();
  if (background == graph_.Color()) return;
  painter_.fillRect(QRect(QPoint(XMinColumn(), YMaxRow()), QPoint(XMaxColumn(), YMinRow())),
                    ToQColor(background));
}

void GraphPainter::DrawTextAt(int x, int top, const std::string& text) {
  painter_.drawText(QPoint(x, top + QFontMetrics(font_).ascent()), Text(text));
}

void GraphPainter::DrawXAxis() {
  TAxis& axis = graph_.XAxis();
  const TAppearance& look = graph_.Appearance();
  const TDimensions& d = graph_.Dimensions();
  const double step = axis.DrawingStep();
  graph_.CalcMetrics();  // a crowded time axis has just been snapped to a coarser unit
  const QFontMetrics metrics(font_);
  const int yMin = YMinRow(), yMax = YMaxRow();
  const double end = axis.Max() + (axis.Max() - axis.Min()) * 0.001;
  const std::vector<TTick> ticks = axis.Ticks(step);
  for (size_t i = 0; i < ticks.size(); ++i) {
    const TTick& tick = ticks[i];
    const int px = graph_.XValueToPixel(tick.value);
    if (look.ShowGridLines() && !(i == 0 && std::fabs(tick.value - axis.Min()) < step * 0.01)) {
      painter_.setPen(QPen(ToQColor(look.GridColor()), 1, PenStyleFor(look.GridStyle())));
      painter_.drawLine(px, yMin, px, yMax);
    }
    if (look.ShowTicks()) {
      painter_.setPen(ToQColor(look.AxesColor()));
      painter_.drawLine(px, yMin, px, yMin + d.TickLength());
    }
    if (look.ShowGraphLabels() && (i == 0 || tick.labelled || tick.value > end - step)) {
      const std::string label = axis.FormatLabel(tick);
      painter_.setPen(fontColor_);
      DrawTextAt(px - metrics.horizontalAdvance(Text(label)) / 2, yMin + d.TickLength() + d.XAxisLabelOffset(), label);
    }
  }
  if (look.ShowGraphLabels()) {
    const int centre = d.LeftMargin() + (graph_.Width() - d.LeftMargin() - d.RightMargin()) / 2;
    painter_.setPen(fontColor_);
    DrawTextAt(centre - metrics.horizontalAdvance(Text(axis.Title())) / 2,
               yMin + d.TickLength() + d.XAxisTitleOffset() + metrics.height(), axis.Title());
  }
  painter_.setPen(ToQColor(look.AxesColor()));
  painter_.drawLine(XMinColumn(), yMin, XMaxColumn(), yMin);
}

void GraphPainter::DrawYAxis() {
  TAxis& axis = graph_.YAxis();
  const TAppearance& look = graph_.Appearance();
  const TDimensions& d = graph_.Dimensions();
  const double step = axis.DrawingStep();
  graph_.CalcMetrics();
  const QFontMetrics metrics(font_);
  const int xMin = XMinColumn(), xMax = XMaxColumn();
  const double end = axis.Max() + (axis.Max() - axis.Min()) * 0.001;
  int lastLabelWidth = 0;
  const std::vector<TTick> ticks = axis.Ticks(step);
  for (size_t i = 0; i < ticks.size(); ++i) {
    const TTick& tick = ticks[i];
    const int py = graph_.YValueToPixel(tick.value);
    if (look.ShowGridLines() && !(i == 0 && std::fabs(tick.value - axis.Min()) < step * 0.01)) {
      painter_.setPen(QPen(ToQColor(look.GridColor()), 1, PenStyleFor(look.GridStyle())));
      painter_.drawLine(xMin, py, xMax, py);
    }
    if (look.ShowTicks()) {
      painter_.setPen(ToQColor(look.AxesColor()));
      painter_.drawLine(xMin, py, xMin - d.TickLength(), py);
    }
    if (look.ShowGraphLabels() && (i == 0 || tick.labelled || tick.value > end - step)) {
      const std::string label = axis.FormatLabel(tick);
      lastLabelWidth = metrics.horizontalAdvance(Text(label));
      painter_.setPen(fontColor_);
      DrawTextAt(xMin - d.TickLength() - d.YAxisLabelOffset() - lastLabelWidth, py - metrics.height() / 2, label);
    }
  }
  if (look.ShowGraphLabels()) {
    const int titleWidth = metrics.horizontalAdvance(Text(axis.Title()));
    const int x = std::max(0, xMin - d.TickLength() - d.YAxisTitleOffset() - lastLabelWidth - metrics.height());
    const int centre = d.TopMargin() + (graph_.Height() - d.TopMargin() - d.BottomMargin()) / 2;
    painter_.setPen(fontColor_);
    DrawRotatedText(x, centre + titleWidth / 2, M_PI / 2, axis.Title());
  }
  painter_.setPen(ToQColor(look.AxesColor()));
  painter_.drawLine(xMin, YMaxRow(), xMin, YMinRow());
}

void GraphPainter::DrawGraphTitle() {
  const TDimensions& d = graph_.Dimensions();
  const std::string& title = graph_.Appearance().GraphTitle();
  const QFontMetrics metrics(font_);
  const int centre = d.LeftMargin() + (graph_.Width() - d.LeftMargin() - d.RightMargin()) / 2;
  painter_.setPen(fontColor_);
  DrawTextAt(centre - metrics.horizontalAdvance(Text(title)) / 2, d.TopMargin() - d.GraphTitleOffset() - metrics.height(),
             title);
}

// Text whose top left corner is at (x, y) before it is turned counter-clockwise by the angle.
void GraphPainter::DrawRotatedText(double x, double y, double radians, const std::string& text) {
  if (text.empty()) return;
  // Whole tenths of a degree, as fonts take their escapement.
  const double degrees = std::trunc(radians * 1800 / M_PI) / 10;
  painter_.save();
  painter_.translate(x, y);
  painter_.rotate(-degrees);
  painter_.drawText(QPoint(0, QFontMetrics(font_).ascent()), Text(text));
  painter_.restore();
}

}  // namespace chart
