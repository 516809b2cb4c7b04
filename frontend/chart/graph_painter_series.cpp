#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <vector>

#include "frontend/chart/graph_painter.h"

namespace chart {

namespace {

// Points go to the painter in runs of this many.
constexpr size_t kRunLength = 15000;

bool Finite(const TPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

void GraphPainter::DrawSeries(TSeries& series) {
  if (!series.Active || series.Count() == 0) return;
  const bool xLog = graph_.XAxis().LogScale(), yLog = graph_.YAxis().LogScale();
  if (xLog || yLog) {
    if (series.BoundsDirty()) series.CalcBounds();
    if ((xLog && series.XMin() <= 0) || (yLog && series.YMin() <= 0)) {
      if (graph_.OnLogError) graph_.OnLogError(series, series.Number());
      return;
    }
  }
  if (!graph_.Appearance().PlotOffGraph()) ClipToPlot();
  if (series.DrawLine()) DrawLines(series);
  if (series.DrawPoints()) DrawPoints(series);
  ClipToControl();
}

void GraphPainter::DrawLines(const TSeries& series) {
  const double xMin = graph_.XAxis().Min(), xMax = graph_.XAxis().Max();
  const QColor colour = ToQColor(series.LineColor());
  painter_.setPen(QPen(colour, 1, PenStyleFor(series.LineStyle())));
  painter_.setBrush(Qt::NoBrush);
  std::vector<QPoint> run;
  run.reserve(std::min<size_t>(kRunLength, static_cast<size_t>(series.Count())));
  const auto flush = [&] {
    if (run.size() >= 2) painter_.drawPolyline(run.data(), static_cast<int>(run.size()));
  };
  for (const TPoint* p = series.First(); p; p = p->next) {
    if (p->x < xMin) continue;
    if (p->x > xMax) break;
    if (!Finite(*p)) {  // a gap in the line, not a stroke to far away
      flush();
      run.clear();
      continue;
    }
    run.emplace_back(graph_.XValueToPixel(p->x), graph_.YValueToPixel(p->y));
    if (run.size() == kRunLength) {
      flush();
      const QPoint last = run.back();  // the next run starts where this one ended
      run.clear();
      run.push_back(last);
    }
  }
  flush();

  if (!graph_.Appearance().ShowValues()) return;
  const QFontMetrics metrics(font_);
  painter_.setPen(colour);
  for (const TPoint* p = series.First(); p; p = p->next) {
    if (p->x < xMin) continue;
    if (p->x > xMax) break;
    if (!Finite(*p)) continue;
    const std::string text = FormatNumber(p->y, 0);
    const int width = metrics.horizontalAdvance(QString::fromStdString(text));
    DrawTextAt(graph_.XValueToPixel(p->x) - width / 2, graph_.YValueToPixel(p->y) - (metrics.height() + 5), text);
  }
}

void GraphPainter::DrawPoints(const TSeries& series) {
  const QColor colour = ToQColor(series.PointColor());
  painter_.setPen(QPen(colour, 1, Qt::SolidLine));
  painter_.setBrush(series.FillPoints() ? colour : ToQColor(graph_.Color()));
  const int h = series.PointSize() / 2;
  if (series.PointShape() == psSteps) {
    DrawSteps(series, h);
  } else {
    const bool all = graph_.Appearance().PlotOffGraph();
    const TAxis& x = graph_.XAxis();
    const TAxis& y = graph_.YAxis();
    for (const TPoint* p = series.First(); p; p = p->next) {
      if (!all) {
        if (p->x < x.Min()) continue;
        if (p->x > x.Max()) break;
        if (p->y > y.Max() || p->y < y.Min()) continue;
      }
      if (!Finite(*p)) continue;
      const int px = graph_.XValueToPixel(p->x), py = graph_.YValueToPixel(p->y);
      switch (series.PointShape()) {
        case psCircle:
          painter_.drawEllipse(QRect(QPoint(px - h, py - h), QPoint(px + h, py + h)));
          break;
        case psDiamond: {
          const QPoint corners[] = {{px, py - h}, {px + h, py}, {px, py + h}, {px - h, py}};
          painter_.drawPolygon(corners, 4);
          break;
        }
        case psCross:
          painter_.drawLine(px - h, py, px + h, py);
          painter_.drawLine(px, py - h, px, py + h);
          break;
        default: {
          const QPoint corners[] = {{px - h, py - h}, {px + h, py - h}, {px + h, py + h}, {px - h, py + h}};
          painter_.drawPolygon(corners, 4);
          break;
        }
      }
    }
  }
  painter_.setBrush(Qt::NoBrush);
}

// Each point holds its value up to the next point's x; the last one up to the end of the axis.
void GraphPainter::DrawSteps(const TSeries& series, int halfSize) {
  const bool all = graph_.Appearance().PlotOffGraph();
  const double xMin = graph_.XAxis().Min(), xMax = graph_.XAxis().Max();
  QPen pen = painter_.pen();
  pen.setWidth(halfSize);
  painter_.setPen(pen);
  const TPoint* p = series.First();
  if (!all)
    while (p && p->x < xMin) p = p->next;
  for (; p; p = p->next) {
    if (!all && p->x >= xMax) break;
    const TPoint* next = p->next;
    double endX = 0;
    bool last = false;
    if (!next || (!all && next->x >= xMax)) {
      if (!(p->x < xMax)) break;
      endX = xMax;
      last = true;
    } else {
      endX = next->x;
    }
    if (Finite(*p) && std::isfinite(endX)) {
      const int py = graph_.YValueToPixel(p->y);
      painter_.drawLine(graph_.XValueToPixel(p->x), py, graph_.XValueToPixel(endX), py);
    }
    if (last) break;
  }
  pen.setWidth(1);
  painter_.setPen(pen);
}

void GraphPainter::DrawMarks(uint8_t layer) {
  if (!graph_.Appearance().PlotOffGraph()) ClipToPlot();
  painter_.setBrush(Qt::NoBrush);
  for (const auto& [id, mark] : graph_.Marks())
    if (mark.layer == layer) DrawMark(mark);
  ClipToControl();
}

void GraphPainter::DrawMark(const TMark& mark) {
  painter_.setPen(ToQColor(mark.colour));
  const QFontMetrics metrics(font_);
  // Rotated labels stand off their line by the font's size.
  const double d = QFontInfo(font_).pointSizeF() + 5;
  const auto rotatedLabel = [&](int x, int y, double angle) {
    DrawRotatedText(x - std::round(std::sin(angle) * d), y - std::round(std::cos(angle) * d), angle, mark.label);
  };
  switch (mark.kind) {
    case mkVerticalLine: {
      const int x = graph_.XValueToPixel(mark.x1);
      painter_.drawLine(x, YMinRow(), x, YMaxRow());
      rotatedLabel(x, YMinRow() - 3, M_PI / 2);
      break;
    }
    case mkHorizontalLine: {
      const int y = graph_.YValueToPixel(mark.y1);
      painter_.drawLine(XMinColumn(), y, XMaxColumn(), y);
      if (!mark.label.empty())
        DrawTextAt(graph_.Dimensions().LeftMargin() + 10, y - 2 - metrics.height(), mark.label);
      break;
    }
    case mkSquare: {
      const int a = std::isfinite(mark.x2) ? static_cast<int>(std::clamp(mark.x2, -20000.0, 20000.0)) : 0;
      const int x = graph_.XValueToPixel(mark.x1), y = graph_.YValueToPixel(mark.y1);
      painter_.drawRect(QRect(QPoint(x - a, y - a), QPoint(x + a, y + a)));
      if (!mark.label.empty()) DrawTextAt(x - a, y + a, mark.label);
      break;
    }
    case mkLine: {
      QPoint from(graph_.XValueToPixel(mark.x1), graph_.YValueToPixel(mark.y1));
      QPoint to(graph_.XValueToPixel(mark.x2), graph_.YValueToPixel(mark.y2));
      if (to.x() < from.x()) std::swap(from, to);
      painter_.drawLine(from, to);
      const double angle = from.x() == to.x()
                               ? M_PI / 2
                               : -std::atan(double(to.y() - from.y()) / double(to.x() - from.x()));
      rotatedLabel(from.x(), from.y(), angle);
      break;
    }
    default:
      break;
  }
}

}  // namespace chart
