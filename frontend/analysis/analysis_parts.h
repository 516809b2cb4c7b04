#pragma once
// The small pieces of the analysis window: the legend and the clickable status bar.
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <vector>

namespace frontend {

// Bold text with a black copy one pixel down and right of it.
class ShadowLabel : public QLabel {
 public:
  ShadowLabel(const QString& text, const QColor& colour, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};

// The "Legend" box: which colour is which line, as large as its texts need. It stays at the
// top right corner of its parent (the graph) however the parent is resized.
QGroupBox* MakeLegend(QWidget* parent);

// A row of panels; a click on one reports its index.
class StatusPanels : public QWidget {
 public:
  struct Panel {
    QString text;
    int width;  // 0: takes the room the others leave
    bool button;
  };
  StatusPanels(const std::vector<Panel>& panels, QWidget* parent);
  std::function<void(int index)> OnClick;
  QLabel* PanelAt(int index) const { return labels_.at(static_cast<size_t>(index)); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<QLabel*> labels_;
};

}  // namespace frontend
