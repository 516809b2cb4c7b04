#include "platform/gui/toolkit_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace platform {

// A strip of film in blue with a light "V" across it.
QImage DrawToolkitIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 16.0;
  QLinearGradient sky(0, 0, 0, size);
  sky.setColorAt(0, QColor(40, 90, 200));
  sky.setColorAt(1, QColor(10, 30, 90));
  painter.setPen(Qt::NoPen);
  painter.setBrush(sky);
  painter.drawRoundedRect(QRectF(0, 0, size, size), 2 * unit, 2 * unit);
  painter.setBrush(QColor(235, 240, 255));
  for (int hole = 0; hole < 4; ++hole) {  // the film's sprocket holes
    const qreal x = (1 + hole * 4) * unit;
    painter.drawRect(QRectF(x, 0.8 * unit, 2 * unit, 1.4 * unit));
    painter.drawRect(QRectF(x, 13.8 * unit, 2 * unit, 1.4 * unit));
  }
  QPainterPath v;
  v.moveTo(3 * unit, 3.5 * unit);
  v.lineTo(6 * unit, 3.5 * unit);
  v.lineTo(8 * unit, 9.5 * unit);
  v.lineTo(10 * unit, 3.5 * unit);
  v.lineTo(13 * unit, 3.5 * unit);
  v.lineTo(9.5 * unit, 12.5 * unit);
  v.lineTo(6.5 * unit, 12.5 * unit);
  v.closeSubpath();
  painter.setBrush(QColor(255, 210, 60));
  painter.drawPath(v);
  painter.end();
  return image;
}

const QIcon& ToolkitIcon() {
  static const QIcon icon = [] {
    QIcon drawn;
    for (int size : {16, 32, 48}) drawn.addPixmap(QPixmap::fromImage(DrawToolkitIcon(size)));
    return drawn;
  }();
  return icon;
}

}  // namespace platform
