#include "frontend/chart/graph_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <cstdlib>

#include "frontend/chart/graph_painter.h"
#include "frontend/chart/graph_print.h"
#include "platform/face/frame_guard.h"

namespace chart {

namespace {

// A band narrower or lower than this is a click: it undoes the zoom.
constexpr int kSmallestBand = 5;

constexpr const char* kMouseWhere = "The chart's mouse handler";

}  // namespace

TxyGraphWidget::TxyGraphWidget(QWidget* parent) : QWidget(parent) {
  QFont font("Arial");
  font.setPixelSize(9);
  setFont(font);
  resize(200, 200);
  graph_.SetSize(200, 200);
  graph_.RepaintRequest = [this] { update(); };
}

TxyGraphWidget::~TxyGraphWidget() { graph_.RepaintRequest = nullptr; }

void TxyGraphWidget::SetBorder(bool on) {
  border_ = on;
  update();
}

std::string TxyGraphWidget::PaintTo(QPainter& painter) {
  graph_.SetSize(width(), height());  // a hidden control gets its resize event only when shown
  GraphPainter graphPainter(graph_, painter, font(), border_);
  if (graphPainter.Paint() && OnPaintEnd) OnPaintEnd(graph_, painter);
  return graphPainter.Caption();
}

void TxyGraphWidget::paintEvent(QPaintEvent*) {
  // A paint event handler that fails leaves the old picture; the next change paints again.
  platform::RunGuarded("Painting the chart", [this] {
    QPainter painter(this);
    PaintTo(painter);
  }, platform::CaughtReport::StandardError);
}

QImage TxyGraphWidget::Render(std::string* caption) {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  std::string shown;
  // What a paint event handler would have shown; OnPaintEnd's failure is its own.
  platform::RunGuarded("Painting the chart", [&] { shown = PaintTo(painter); }, platform::CaughtReport::StandardError);
  if (caption) *caption = shown;
  return image;
}

bool TxyGraphWidget::Print(QPrinter& printer) { return PrintScaledToPage(printer, Render()); }

void TxyGraphWidget::resizeEvent(QResizeEvent* event) {
  graph_.SetSize(width(), height());
  QWidget::resizeEvent(event);
}

bool TxyGraphWidget::InsidePlot(const QPoint& at) const {
  const TDimensions& d = graph_.Dimensions();
  return at.x() > d.LeftMargin() && at.x() < width() - d.RightMargin() && at.y() > d.TopMargin() &&
         at.y() < height() - d.BottomMargin();
}

void TxyGraphWidget::StartDrag(QMouseEvent& event) {
  const QPoint at = event.position().toPoint();
  const TDimensions& d = graph_.Dimensions();
  const bool canDrag = graph_.DragAllowed && parentWidget() != nullptr;
  if (canDrag && at.x() >= width() - d.RightMargin() && at.y() >= height() - d.BottomMargin()) {
    drag_ = Drag::Size;
    setCursor(Qt::SizeFDiagCursor);
  } else if (canDrag && at.x() < d.LeftMargin() && at.y() < d.TopMargin()) {
    drag_ = Drag::Move;
    setCursor(Qt::SizeAllCursor);
  } else if ((event.modifiers() & Qt::ShiftModifier) && InsidePlot(at)) {
    drag_ = Drag::Band;
    dragStart_ = at;
    setCursor(Qt::CrossCursor);
    if (!zoomSaved_) SaveZoom();
    if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, this);
    band_->setGeometry(QRect(at, QSize()));
    band_->show();
    return;
  } else {
    return;
  }
  dragOrigin_ = event.globalPosition().toPoint();
  geometryAtStart_ = geometry();
}

void TxyGraphWidget::mousePressEvent(QMouseEvent* event) {
  platform::RunGuarded(kMouseWhere, [&] {
    if (event->button() == Qt::LeftButton) StartDrag(*event);
  });
  QWidget::mousePressEvent(event);
  if (drag_ != Drag::None) event->accept();
}

void TxyGraphWidget::mouseMoveEvent(QMouseEvent* event) {
  platform::RunGuarded(kMouseWhere, [&] {
    const QPoint moved = event->globalPosition().toPoint() - dragOrigin_;
    switch (drag_) {
      case Drag::Band:
        band_->setGeometry(QRect(dragStart_, event->position().toPoint()).normalized());
        break;
      case Drag::Move:
        move(geometryAtStart_.topLeft() + moved);
        break;
      case Drag::Size:
        resize(std::max(1, geometryAtStart_.width() + moved.x()), std::max(1, geometryAtStart_.height() + moved.y()));
        break;
      case Drag::None:
        break;
    }
  });
  QWidget::mouseMoveEvent(event);
}

void TxyGraphWidget::mouseReleaseEvent(QMouseEvent* event) {
  const bool dragged = event->button() == Qt::LeftButton && drag_ != Drag::None;
  platform::RunGuarded(kMouseWhere, [&] {
    if (dragged) {
      const Drag ended = drag_;
      drag_ = Drag::None;
      unsetCursor();
      if (ended == Drag::Band) EndBand(event->position().toPoint());
    }
  });
  QWidget::mouseReleaseEvent(event);
  platform::RunGuarded(kMouseWhere, [&] {
    if (OnMouseUp) OnMouseUp(*event);
  });
  if (dragged) event->accept();
}

void TxyGraphWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  platform::RunGuarded(kMouseWhere, [&] {
    if (OnDblClick) OnDblClick();
  });
  QWidget::mouseDoubleClickEvent(event);
}

void TxyGraphWidget::SaveZoom() {
  savedX_ = {graph_.XAxis().AutoSizing(), graph_.XAxis().Min(), graph_.XAxis().Max()};
  savedY_ = {graph_.YAxis().AutoSizing(), graph_.YAxis().Min(), graph_.YAxis().Max()};
  zoomSaved_ = true;
}

void TxyGraphWidget::RestoreZoom() {
  if (!zoomSaved_) return;
  graph_.SetPlotting(false);
  for (auto [axis, saved] : {std::pair{&graph_.XAxis(), savedX_}, std::pair{&graph_.YAxis(), savedY_}}) {
    if (saved.autoSizing) {
      axis->SetAutoSizing(true);
    } else {
      axis->SetMin(saved.min);
      axis->SetMax(saved.max);
    }
  }
  zoomSaved_ = false;
}

void TxyGraphWidget::ZoomTo(const QRect& band) {
  // All four values come from the range the band was drawn on, before any of them changes it.
  const double xMin = graph_.XPixelToValue(band.left()), xMax = graph_.XPixelToValue(band.right());
  const double yMin = graph_.YPixelToValue(band.bottom()), yMax = graph_.YPixelToValue(band.top());
  graph_.SetPlotting(false);
  graph_.XAxis().SetMin(xMin);
  graph_.XAxis().SetMax(xMax);
  graph_.YAxis().SetMin(yMin);
  graph_.YAxis().SetMax(yMax);
}

void TxyGraphWidget::EndBand(const QPoint& at) {
  if (band_) band_->hide();
  const QRect band = QRect(dragStart_, at).normalized();
  if (std::abs(at.x() - dragStart_.x()) < kSmallestBand || std::abs(at.y() - dragStart_.y()) < kSmallestBand)
    RestoreZoom();
  else
    ZoomTo(band);
  graph_.SetPlotting(true);
}

}  // namespace chart
