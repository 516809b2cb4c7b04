#include "frontend/chart/graph_print.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace chart {

bool PrintScaledToPage(QPrinter& printer, const QImage& image) {
  if (image.isNull()) return false;
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QSize fitted = image.size().scaled(painter.viewport().size(), Qt::KeepAspectRatio);
  painter.drawImage(QRect(QPoint(0, 0), fitted), image);
  return painter.end();
}

}  // namespace chart
