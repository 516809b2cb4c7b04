#include "platform/gui/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QString>
#include <QWidget>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <unordered_map>

#include "platform/gui/qt_application.h"
#include "platform/gui/toolkit_icon.h"

namespace platform {
namespace {

std::unordered_map<uintptr_t, Window*>& LiveWindows() {
  static std::unordered_map<uintptr_t, Window*> windows;
  return windows;
}

uintptr_t NewHandle() {
  static uintptr_t last = 0;
  return ++last;
}

KeyEvent MakeKeyEvent(const QKeyEvent& event) {
  KeyEvent key;
  key.key = KeyCodeFromQt(event.key());
  key.shift = event.modifiers().testFlag(Qt::ShiftModifier);
  key.control = event.modifiers().testFlag(Qt::ControlModifier);
  key.alt = event.modifiers().testFlag(Qt::AltModifier);
  key.repeat = event.isAutoRepeat();
  return key;
}

}  // namespace

// The Qt side of a Window: passes Qt's events on to the Window and its owner.
class WindowWidget : public QWidget {
 public:
  explicit WindowWidget(Window& owner) : owner_(owner) {
    // The surface covers every pixel, so nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.drawImage(event->rect(), owner_.surface_, event->rect());
    if (!owner_.overlay_.isNull()) painter.drawImage(owner_.overlay_at_, owner_.overlay_);
  }

  void resizeEvent(QResizeEvent*) override { owner_.ResizeSurface(width(), height()); }

  void keyPressEvent(QKeyEvent* event) override {
    WindowEvents* events = owner_.events_;
    if (events == nullptr) return QWidget::keyPressEvent(event);
    KeyEvent key = MakeKeyEvent(*event);
    events->KeyDown(owner_, key);
    if (key.alt) return;
    for (char32_t code : event->text().toUcs4()) events->Character(owner_, code, key);
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    WindowEvents* events = owner_.events_;
    if (events == nullptr) return;
    switch (event->button()) {
      case Qt::LeftButton: events->MouseReleased(owner_, MouseButton::kLeft); break;
      case Qt::RightButton: events->MouseReleased(owner_, MouseButton::kRight); break;
      case Qt::MiddleButton: events->MouseReleased(owner_, MouseButton::kMiddle); break;
      default: break;
    }
  }

  void closeEvent(QCloseEvent* event) override {
    WindowEvents* events = owner_.events_;
    if (events != nullptr && events->CloseRequested(owner_)) {
      event->ignore();
    } else {
      event->accept();
    }
  }

  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange) {
      auto* change = static_cast<QWindowStateChangeEvent*>(event);
      if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) {
        owner_.RestoredFromMinimized();
      }
    } else if (event->type() == QEvent::ActivationChange) {
      if (owner_.events_ != nullptr) owner_.events_->Activated(owner_, isActiveWindow());
    }
    QWidget::changeEvent(event);
  }

 private:
  Window& owner_;
};

void ProcessWindowEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool MousePresent() {
  if (!MakeGuiApplication()) return false;
  for (const QInputDevice* device : QInputDevice::devices()) {
    if (device->type() == QInputDevice::DeviceType::Mouse ||
        device->type() == QInputDevice::DeviceType::TouchPad) {
      return true;
    }
  }
  return false;
}

std::unique_ptr<Window> Window::Create(std::string_view title, WindowStyle style) {
  if (!MakeGuiApplication()) return nullptr;
  return std::unique_ptr<Window>(new Window(title, style));
}

Window::Window(std::string_view title, WindowStyle style) : handle_(NewHandle()), style_(style) {
  widget_ = std::make_unique<WindowWidget>(*this);
  Qt::WindowFlags flags = Qt::Window;
  if (style.full_screen) {
    flags |= Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
  } else if (!style.caption) {
    // Customized hints without a title hint leave the window manager's border only.
    flags |= style.border ? Qt::CustomizeWindowHint : Qt::FramelessWindowHint;
  } else if (style.fixed_size) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
             Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
  }
  widget_->setWindowFlags(flags);
  widget_->setWindowIcon(ToolkitIcon());
  SetTitle(title);
  ResizeSurface(widget_->width(), widget_->height());
  LiveWindows()[handle_] = this;
}

Window::~Window() {
  LiveWindows().erase(handle_);
  widget_.reset();
}

Window* Window::FromHandle(const void* handle) {
  auto found = LiveWindows().find(reinterpret_cast<uintptr_t>(handle));
  return found != LiveWindows().end() ? found->second : nullptr;
}

void Window::SetTitle(std::string_view title) {
  widget_->setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void Window::Place(int x, int y, int outer_width, int outer_height) {
  QRect frame = widget_->frameGeometry();
  QRect client = widget_->geometry();
  int extra_width = frame.width() - client.width();
  int extra_height = frame.height() - client.height();
  widget_->move(x, y);
  const QSize size(std::max(0, outer_width - extra_width), std::max(0, outer_height - extra_height));
  if (style_.fixed_size) {
    widget_->setFixedSize(size);
  } else {
    widget_->resize(size);
  }
}

QRect Window::ClientRect() const { return widget_->geometry(); }

QRect Window::FrameRect() const { return widget_->frameGeometry(); }

void Window::Show() {
  if (style_.full_screen) {
    widget_->showFullScreen();
  } else {
    widget_->show();
  }
}

void Window::Hide() { widget_->hide(); }

void Window::ShowMinimized() { widget_->showMinimized(); }

void Window::ShowNormal() {
  if (style_.full_screen) {
    widget_->showFullScreen();
  } else {
    widget_->showNormal();
  }
}

bool Window::IsVisible() const { return widget_->isVisible(); }

bool Window::IsMinimized() const { return widget_->isMinimized(); }

bool Window::IsActive() const { return widget_->isVisible() && widget_->isActiveWindow(); }

void Window::Activate() {
  widget_->raise();
  widget_->activateWindow();
}

void Window::SetRestoreTarget(Window* target) {
  restore_target_ = target != nullptr ? target->Handle() : nullptr;
}

void Window::ShowSurface(const QRect& area) {
  QRect visible = area.intersected(surface_.rect());
  if (!visible.isEmpty()) widget_->update(visible);
}

void Window::Invalidate() {
  if (paint_pending_) return;
  paint_pending_ = true;
  // The widget is the context: when it goes away first, the request goes with it.
  QMetaObject::invokeMethod(
      widget_.get(), [this] { DeliverPaint(); }, Qt::QueuedConnection);
}

void Window::UpdateNow() {
  DeliverPaint();
  widget_->repaint();
}

QImage Window::Grab() { return widget_->grab().toImage(); }

QWidget* Window::Widget() { return widget_.get(); }

void Window::SetOverlay(const QImage& image, QPoint at) {
  const QRect before = overlay_.isNull() ? QRect() : QRect(overlay_at_, overlay_.size());
  overlay_ = image;
  overlay_at_ = at;
  widget_->update(before.united(QRect(at, image.size())));
}

void Window::ClearOverlay() {
  if (overlay_.isNull()) return;
  widget_->update(QRect(overlay_at_, overlay_.size()));
  overlay_ = QImage();
}

void Window::SetPointerHidden(bool hidden) {
  if (hidden) {
    widget_->setCursor(Qt::BlankCursor);
  } else {
    widget_->unsetCursor();
  }
}

std::optional<QPoint> Window::PointerPosition() const {
  const QPoint global = QCursor::pos();
  if (QApplication::topLevelAt(global) != widget_.get()) return std::nullopt;
  const QPoint local = widget_->mapFromGlobal(global);
  if (!widget_->rect().contains(local)) return std::nullopt;
  return local;
}

void Window::MovePointer(QPoint at) { QCursor::setPos(widget_->mapToGlobal(at)); }

void Window::ResizeSurface(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (surface_.width() == width && surface_.height() == height) return;
  QImage grown(width, height, QImage::Format_RGB32);
  grown.fill(Qt::black);
  if (!surface_.isNull()) {
    QPainter painter(&grown);
    painter.drawImage(0, 0, surface_);
  }
  surface_ = std::move(grown);
  Invalidate();
}

void Window::DeliverPaint() {
  if (!paint_pending_) return;
  paint_pending_ = false;
  if (events_ != nullptr) events_->Paint(*this);
  widget_->update();
}

void Window::RestoredFromMinimized() {
  Window* target = FromHandle(restore_target_);
  if (target == nullptr) return;
  // Qt reports the restore after it happened; undo it once the state change is over.
  void* target_handle = restore_target_;
  QMetaObject::invokeMethod(
      widget_.get(),
      [this, target_handle] {
        Window* still_there = FromHandle(target_handle);
        if (still_there == nullptr || restore_target_ != target_handle) return;
        widget_->showMinimized();
        still_there->Activate();
      },
      Qt::QueuedConnection);
}

}  // namespace platform
