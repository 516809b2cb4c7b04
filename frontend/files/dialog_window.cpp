#include "frontend/files/dialog_window.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "frontend/core/busy_cursor.h"
#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/message_boxes.h"
#include "platform/face/frame_guard.h"
#include "platform/gui/stop_requests.h"
#include "platform/gui/window_placement.h"

namespace frontend {

DialogWindow::DialogWindow(FrontEnd& frontEnd, int helpContext, const std::string& caption)
    : QDialog(frontEnd.mainWindow), frontEnd_(frontEnd), helpContext_(helpContext) {
  setWindowTitle(ShownText(caption));
  setModal(true);
  platform::OpenCentred(*this);
}

int DialogWindow::Run() {
  ScopedHelpContext help(frontEnd_, helpContext_);
  ArrowCursor arrow;
  return exec();
}

void DialogWindow::RunWork(const std::function<void()>& work) {
  QTimer::singleShot(0, this, [this, work] {
    platform::RunGuarded(windowTitle().toStdString(), work);  // the window closes all the same
    accept();
  });
  Run();
}

QPushButton* DialogWindow::MakeHelpButton() {
  auto* button = new QPushButton(QStringLiteral("&Help"), this);
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, [this] { ShowHelp(); });
  return button;
}

QHBoxLayout* DialogWindow::ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  for (QPushButton* button : buttons) row->addWidget(button);
  row->addWidget(MakeHelpButton());
  return row;
}

void DialogWindow::ShowHelp() { ShowContextHelp(frontEnd_, helpContext_); }

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    ShowHelp();
    return;
  }
  QDialog::keyPressEvent(event);
}

WorkWindow::WorkWindow(FrontEnd& frontEnd, int helpContext, const std::string& caption,
                       const std::string& cancelQuestion)
    : DialogWindow(frontEnd, helpContext, caption),
      cancel_(new QPushButton(QStringLiteral("&Cancel"), this)),
      question_(cancelQuestion) {
  QObject::connect(cancel_, &QPushButton::clicked, [this] { AskCancel(); });
}

void WorkWindow::BeginJob() {
  running_ = true;
  cancelled_ = false;
}

bool WorkWindow::KeepGoing() {
  PumpEvents();
  return !cancelled_ && !platform::StopRequested();  // a stop signal cancels the work too
}

void WorkWindow::reject() { AskCancel(); }

void WorkWindow::AskCancel() {
  if (!running_ || cancelled_) return;
  if (YesNoBox(frontEnd(), question_, kNo)) cancelled_ = true;
}

void PumpEvents() { QCoreApplication::processEvents(); }

QString ShownText(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string TextOf(const QString& text) { return text.toStdString(); }

}  // namespace frontend
