#pragma once
// Painting a chart model: panel, frame, grid, ticks, labels, titles, series and marks.
#include <QColor>
#include <QFont>
#include <QRect>
#include <string>

#include "frontend/chart/graph.h"

class QPainter;

namespace chart {

QColor ToQColor(TColor colour);
// Line and grid styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot.
Qt::PenStyle PenStyleFor(uint8_t style);

// Paints a graph model on a painter the size of the control: the panel, the frame with grid,
// ticks, labels and titles, the series and marks, or the caption of an unusable range.
class GraphPainter {
 public:
  GraphPainter(TxyGraph& graph, QPainter& painter, const QFont& font, bool border);

  // The whole control. Scaling errors end up in the caption; nothing is thrown. True when the
  // chart was drawn in full (both ranges usable).
  bool Paint();
  // The caption the last Paint showed: empty, the error caption of an unusable range, or a
  // scaling error.
  const std::string& Caption() const { return caption_; }

  // Parts of a paint, each for an axis pair with usable ranges and computed metrics.
  void DrawFrame();
  void DrawSeries(TSeries& series);
  void DrawMarks(uint8_t layer);

 private:
  void PaintPanel(const std::string& caption);
  void PaintValid();
  void PaintInvalid(bool xValid, bool yValid);
  void DrawAll();
  void DrawBackground();
  void DrawXAxis();
  void DrawYAxis();
  void DrawGraphTitle();
  void DrawLines(const TSeries& series);
  void DrawPoints(const TSeries& series);
  void DrawSteps(const TSeries& series, int halfSize);
  void DrawMark(const TMark& mark);
  void DrawTextAt(int x, int top, const std::string& text);
  void DrawRotatedText(double x, double y, double radians, const std::string& text);
  void ClipToPlot();
  void ClipToControl();

  QRect PlotRect() const;
  int XMinColumn() const { return graph_.XValueToPixel(graph_.XAxis().Min()); }
  int XMaxColumn() const { return graph_.XValueToPixel(graph_.XAxis().Max()); }
  int YMinRow() const { return graph_.YValueToPixel(graph_.YAxis().Min()); }
  int YMaxRow() const { return graph_.YValueToPixel(graph_.YAxis().Max()); }

  TxyGraph& graph_;
  QPainter& painter_;
  QFont font_;
  QColor fontColor_ = Qt::black;
  bool border_;
  std::string caption_;
};

}  // namespace chart
