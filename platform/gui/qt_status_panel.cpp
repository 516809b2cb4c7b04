// The status window on Qt.
#include "platform/gui/qt_faces.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include "platform/face/status_panel.h"
#include "platform/gui/qt_application.h"
#include "platform/gui/toolkit_icon.h"

namespace platform {
namespace {

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

class View : public QWidget {
 public:
  View(const std::string& title, const std::string& versionLine, StatusPanelEvents& events)
      : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                             Qt::WindowCloseButtonHint),
        events_(events),
        versionLine_(Text(versionLine)),
        status_(QStringLiteral("Loading...")) {
    setWindowTitle(Text(title));
    setWindowIcon(ToolkitIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Sized from the text height, in the proportions of a wide, low dialog.
    const int unit = QFontMetrics(font()).height();
    const int width = unit * 32;
    const int height = unit * 8;
    setFixedSize(width, height);
    button_ = new QPushButton(QStringLiteral("&Cancel"), this);
    button_->setDefault(true);
    button_->setGeometry(width * 7 / 16, height * 8 / 21, width / 8, height / 5);
    QObject::connect(button_, &QPushButton::clicked, [this] { events_.ButtonPressed(); });
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->geometry();
      move(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2);
    }
  }

  void SetStatus(const QString& text) {
    status_ = text;
    update();
  }
  QString Status() const { return status_; }
  QPushButton* Button() const { return button_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(192, 192, 192));
    painter.setPen(Qt::black);
    DrawCentred(painter, status_, height() * 8 / 27);
    DrawCentred(painter, versionLine_, height() * 11 / 12);
  }

  void closeEvent(QCloseEvent* event) override {
    event->ignore();  // the owner decides
    events_.CloseRequested();
  }

  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Escape:
      case Qt::Key_Return:
      case Qt::Key_Enter:
        events_.ButtonPressed();
        return;
      default:
        QWidget::keyPressEvent(event);
    }
  }

  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange) {
      const auto* change = static_cast<QWindowStateChangeEvent*>(event);
      if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized)) {
        events_.Restored();
      }
    }
    QWidget::changeEvent(event);
  }

 private:
  // Centred on x at the given baseline.
  void DrawCentred(QPainter& painter, const QString& text, int baseline) {
    const int textWidth = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText((width() - textWidth) / 2, baseline, text);
  }

  StatusPanelEvents& events_;
  QString versionLine_;
  QString status_;
  QPushButton* button_ = nullptr;
};

// The panel's handle; the view it drives may go first (deleted by Qt with the application).
class QtStatusPanel final : public StatusPanel {
 public:
  explicit QtStatusPanel(View* view) : view_(view) {}
  ~QtStatusPanel() override {
    if (!view_) return;
    view_->hide();
    view_->deleteLater();
  }
  QtStatusPanel(const QtStatusPanel&) = delete;
  QtStatusPanel& operator=(const QtStatusPanel&) = delete;

  void SetStatusText(const std::string& text) override {
    if (view_) view_->SetStatus(Text(text));
  }
  void SetButtonText(const std::string& text) override {
    if (view_) view_->Button()->setText(Text(text));
  }
  void ShowNormal() override {
    if (!view_) return;
    view_->showNormal();
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) return;  // nothing to raise
    view_->raise();
    view_->activateWindow();
  }
  void FocusButton() override {
    if (view_) view_->Button()->setFocus();
  }
  bool IsVisible() const override { return view_ && view_->isVisible(); }
  bool IsMinimized() const override { return view_ && view_->isMinimized(); }
  std::string Caption() const override {
    return view_ ? view_->windowTitle().toStdString() : std::string();
  }
  QWidget* Widget() const override { return view_.data(); }

  void ClickButton() override {
    if (view_) view_->Button()->click();
  }
  void RequestClose() override {
    if (view_) view_->close();
  }
  void Minimize() override {
    if (view_) view_->setWindowState(view_->windowState() | Qt::WindowMinimized);
  }
  void Restore() override {
    if (view_) view_->setWindowState(view_->windowState() & ~Qt::WindowMinimized);
  }
  std::string StatusText() const override {
    return view_ ? view_->Status().toStdString() : std::string();
  }
  std::string ButtonText() const override {
    return view_ ? view_->Button()->text().toStdString() : std::string();
  }
  QImage Snapshot() const override { return view_ ? view_->grab().toImage() : QImage(); }

 private:
  QPointer<View> view_;
};

}  // namespace

std::unique_ptr<StatusPanel> MakeQtStatusPanel(const std::string& title,
                                               const std::string& versionLine,
                                               StatusPanelEvents& events) {
  if (!MakeGuiApplication()) return nullptr;
  return std::make_unique<QtStatusPanel>(new View(title, versionLine, events));
}

void ProcessQtEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace platform
