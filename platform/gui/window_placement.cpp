#include "platform/gui/window_placement.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/gui/toolkit_icon.h"

namespace platform {
namespace {

// Places its window each time the window is about to be shown (not when the window system
// shows it again after a minimise).
class PlaceWhenShown : public QObject {
 public:
  PlaceWhenShown(QWidget& window, Centre centre) : QObject(&window), window_(window), centre_(centre) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Show && !event->spontaneous()) Place();
    return false;
  }

 private:
  void Place() {
    const QWidget* owner = window_.parentWidget();
    const QWidget* over = centre_ == Centre::kOnOwner && owner ? owner->window() : nullptr;
    if (over && !over->isVisible()) over = nullptr;
    const QRect available = AvailableArea(over ? over : &window_);
    QSize frame = window_.frameGeometry().size();
    // Until the window manager has framed the window, its frame is taken to be its owner's.
    if (over && window_.frameGeometry() == window_.geometry()) {
      frame += over->frameGeometry().size() - over->geometry().size();
    }
    window_.move(CentredFrame(over ? over->frameGeometry() : available, frame, available).topLeft());
  }

  QWidget& window_;
  Centre centre_;
};

}  // namespace

QRect FrameInside(const QRect& frame, const QRect& available) {
  QRect inside = frame;
  if (inside.right() > available.right()) inside.moveRight(available.right());
  if (inside.bottom() > available.bottom()) inside.moveBottom(available.bottom());
  if (inside.left() < available.left()) inside.moveLeft(available.left());
  if (inside.top() < available.top()) inside.moveTop(available.top());
  return inside;
}

QRect CentredFrame(const QRect& over, const QSize& frameSize, const QRect& available) {
  QRect frame(QPoint(0, 0), frameSize);
  frame.moveCenter(over.center());
  return FrameInside(frame, available);
}

QSize ScaledForFont(const QSize& designed, const QFontMetrics& metrics) {
  // The design font's letters are 6 pixels wide on average and its lines 13 pixels high.
  constexpr double kDesignLetter = 6.0;
  constexpr double kDesignLine = 13.0;
  const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
  const double letter = metrics.horizontalAdvance(alphabet) / double(alphabet.size());
  return QSize(qRound(designed.width() * letter / kDesignLetter), qRound(designed.height() * metrics.height() / kDesignLine));
}

QRect AvailableArea(const QWidget* widget) {
  const QScreen* screen = widget ? widget->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void OpenCentred(QWidget& window, Centre centre) {
  window.setWindowIcon(ToolkitIcon());
  window.installEventFilter(new PlaceWhenShown(window, centre));
}

}  // namespace platform
