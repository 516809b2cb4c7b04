#pragma once
// The chart control: the model painted in a widget, with zoom by dragging and moving and sizing.
#include <QWidget>
#include <functional>

#include "frontend/chart/graph.h"

class QImage;
class QPainter;
class QPrinter;
class QRubberBand;

namespace chart {

// The chart control: a graph model painted by GraphPainter, with Shift-drag zoom and, when
// DragAllowed, moving and sizing by its corners. Model changes ask for a repaint; nothing thrown
// leaves a paint or mouse handler.
class TxyGraphWidget : public QWidget {
 public:
  explicit TxyGraphWidget(QWidget* parent = nullptr);
  ~TxyGraphWidget() override;

  TxyGraph& Graph() { return graph_; }
  // A single black border (the start value) or none.
  void SetBorder(bool on);
  bool Border() const { return border_; }

  // What a paint shows, as an image of the control's size; the caption it showed, if any.
  QImage Render(std::string* caption = nullptr);
  // The control's image scaled to fit the printer's page; false when the printer would not start.
  bool Print(QPrinter& printer);

  std::function<void(TxyGraph& sender, QPainter& canvas)> OnPaintEnd;
  std::function<void(QMouseEvent& event)> OnMouseUp;
  std::function<void()> OnDblClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  enum class Drag { None, Band, Move, Size };
  struct SavedAxis {
    bool autoSizing = false;
    double min = 0, max = 1;
  };

  std::string PaintTo(QPainter& painter);
  bool InsidePlot(const QPoint& at) const;
  void StartDrag(QMouseEvent& event);
  void EndBand(const QPoint& at);
  void SaveZoom();
  void RestoreZoom();
  void ZoomTo(const QRect& band);

  TxyGraph graph_;
  bool border_ = true;
  Drag drag_ = Drag::None;
  QPoint dragStart_;         // where the band started, in the control
  QPoint dragOrigin_;        // the pointer on the screen when a move or size began
  QRect geometryAtStart_;    // the control's place when a move or size began
  QRubberBand* band_ = nullptr;
  bool zoomSaved_ = false;
  SavedAxis savedX_, savedY_;
};

}  // namespace chart
