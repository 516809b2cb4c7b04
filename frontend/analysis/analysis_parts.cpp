#include "frontend/analysis/analysis_parts.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "platform/face/frame_guard.h"

namespace frontend {

ShadowLabel::ShadowLabel(const QString& text, const QColor& colour, QWidget* parent)
    : QWidget(parent), text_(text), colour_(colour) {
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);
}

QSize ShadowLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  return QSize(metrics.horizontalAdvance(text_) + 2, metrics.height() + 1);
}

void ShadowLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int baseline = QFontMetrics(font()).ascent();
  painter.setPen(Qt::black);
  painter.drawText(1, baseline + 1, text_);
  painter.setPen(colour_);
  painter.drawText(0, baseline, text_);
}

QGroupBox* MakeLegend(QWidget* parent) {
  auto* legend = new QGroupBox("Legend", parent);
  auto* layout = new QVBoxLayout(legend);
  layout->setSpacing(2);
  const std::pair<const char*, QColor> entries[] = {
      {"Animation", Qt::red},     {"1 second average", Qt::yellow}, {"2x CD-ROM", Qt::blue},
      {"4x CD-ROM", QColor(0, 255, 0)}, {"1x CD-ROM", Qt::cyan},
  };
  for (const auto& [text, colour] : entries) layout->addWidget(new ShadowLabel(text, colour, legend));
  legend->setFixedSize(116, 103);
  legend->hide();
  return legend;
}

StatusPanels::StatusPanels(const std::vector<Panel>& panels, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (const Panel& panel : panels) {
    auto* label = new QLabel(panel.text, this);
    label->setFrameStyle(QFrame::Panel | (panel.button ? QFrame::Raised : QFrame::Sunken));
    if (panel.button) label->setAlignment(Qt::AlignCenter);
    if (panel.width > 0) label->setFixedWidth(panel.width);
    label->installEventFilter(this);
    layout->addWidget(label, panel.width > 0 ? 0 : 1);
    labels_.push_back(label);
  }
  setFixedHeight(20);
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    for (size_t i = 0; i < labels_.size(); ++i) {
      if (labels_[i] != watched || !OnClick) continue;
      platform::RunGuarded("The analysis window's status panel", [&] { OnClick(static_cast<int>(i)); });
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace frontend
