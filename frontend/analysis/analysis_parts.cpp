#include "frontend/analysis/analysis_parts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/face/frame_guard.h"

namespace frontend {

namespace {

// The legend's place: this far from its parent's right edge and top.
constexpr int kLegendRight = 17;
constexpr int kLegendTop = 7;
// The least size of the legend and of the status bar.
constexpr QSize kLegendSize(116, 103);
constexpr int kStatusHeight = 20;

// Moves its widget back to the top right corner each time the widget's parent changes size.
class KeepAtTopRight : public QObject {
 public:
  explicit KeepAtTopRight(QWidget* widget) : QObject(widget), widget_(widget) {
    widget->parentWidget()->installEventFilter(this);
    Place();
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) Place();
    return false;
  }

 private:
  void Place() {
    const QWidget* parent = widget_->parentWidget();
    widget_->move(std::max(0, parent->width() - widget_->width() - kLegendRight), kLegendTop);
  }

  QWidget* widget_;
};

}  // namespace

ShadowLabel::ShadowLabel(const QString& text, const QColor& colour, QWidget* parent)
    : QLabel(text, parent), colour_(colour) {
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);
}

QSize ShadowLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  return QSize(metrics.horizontalAdvance(text()) + 2, metrics.height() + 1);
}

void ShadowLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int baseline = QFontMetrics(font()).ascent();
  painter.setPen(Qt::black);
  painter.drawText(1, baseline + 1, text());
  painter.setPen(colour_);
  painter.drawText(0, baseline, text());
}

QGroupBox* MakeLegend(QWidget* parent) {
  auto* legend = new QGroupBox("Legend", parent);
  legend->setObjectName(QStringLiteral("legend"));
  auto* layout = new QVBoxLayout(legend);
  layout->setSpacing(2);
  const std::pair<const char*, QColor> entries[] = {
      {"Animation", Qt::red},     {"1 second average", Qt::yellow}, {"2x CD-ROM", Qt::blue},
      {"4x CD-ROM", QColor(0, 255, 0)}, {"1x CD-ROM", Qt::cyan},
  };
  for (const auto& [text, colour] : entries) layout->addWidget(new ShadowLabel(text, colour, legend));
  // Opaque, so that no line of the graph runs through its texts.
  legend->setAutoFillBackground(true);
  legend->setFixedSize(legend->sizeHint().expandedTo(kLegendSize));
  legend->hide();
  new KeepAtTopRight(legend);
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
    // A panel is at least as wide as its text needs.
    if (panel.width > 0) label->setFixedWidth(std::max(panel.width, label->sizeHint().width()));
    label->installEventFilter(this);
    layout->addWidget(label, panel.width > 0 ? 0 : 1);
    labels_.push_back(label);
  }
  int height = kStatusHeight;
  for (const QLabel* label : labels_) height = std::max(height, label->sizeHint().height());
  setFixedHeight(height);
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
