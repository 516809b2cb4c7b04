#include "frontend/pages/page_widgets.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/tab_page.h"
#include "frontend/core/text_format.h"
#include "frontend/pages/page_utilities.h"

namespace frontend {
namespace {

class CtrlPageDownIsEnd : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_PageDown || !(key->modifiers() & Qt::ControlModifier)) return false;
    if (auto* memo = qobject_cast<QPlainTextEdit*>(watched)) memo->moveCursor(QTextCursor::EndOfLine);
    return true;
  }
};

class FocusLeft : public QObject {
 public:
  FocusLeft(QObject* parent, std::function<void()> left) : QObject(parent), left_(std::move(left)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    // A list or menu that opens over the widget leaves the focus where it is.
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      left_();
    }
    return false;
  }

 private:
  std::function<void()> left_;
};

}  // namespace

QPushButton* Button(QWidget* parent, const char* caption, std::function<void()> pressed) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  QObject::connect(button, &QPushButton::clicked, Guarded(std::move(pressed)));
  return button;
}

std::vector<QPushButton*> HelpAndBackButtons(QWidget* parent, FrontEnd& frontEnd) {
  FrontEnd* shared = &frontEnd;
  // Made in the order shown, which is the order the focus moves in.
  QPushButton* help = Button(parent, "&Help", [shared] { ShowTabHelp(*shared); });
  QPushButton* howDoI = Button(parent, "Ho&w do I...?", [shared] { ShowHowDoIHelp(*shared); });
  QPushButton* back = Button(parent, "Back to &Main", [shared] { shared->requests.Post(kMainTab); });
  SetCancelButton(*parent, *back);
  return {help, howDoI, back};
}

void LayOutPage(QWidget* page, QLayout* body, const std::vector<QPushButton*>& buttons, QWidget* left) {
  auto* row = new QHBoxLayout;
  if (left) row->addWidget(left);
  row->addStretch();
  for (QPushButton* button : buttons) row->addWidget(button);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(body, 1);
  layout->addLayout(row);
}

std::function<void(const std::string& path)> OpenByType(FrontEnd& frontEnd) {
  FrontEnd* shared = &frontEnd;
  return [shared](const std::string& path) {
    platform::RunGuarded("Opening " + path, [&] { OpenFileByType(*shared, path); });
  };
}

QComboBox* Choice(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromUtf8(name));
  for (const char* item : items) box->addItem(QString::fromUtf8(item));
  return box;
}

QLineEdit* NumberEdit(QWidget* parent, const char* name, int length, bool signAllowed) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setMaxLength(length);
  edit->setMinimumWidth(70);
  edit->setMaximumWidth(100);
  const QString pattern = QString(signAllowed ? "-?" : "") + "[0-9]*";
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
  return edit;
}

void EndOnCtrlPageDown(QPlainTextEdit& memo) { memo.installEventFilter(new CtrlPageDownIsEnd(&memo)); }

void CallWhenFocusLeaves(QWidget* widget, std::function<void()> left) {
  widget->installEventFilter(new FocusLeft(widget, std::move(left)));
}

QComboBox* SoundRateBox(QWidget* parent, const char* name) {
  return Choice(parent, name,
                {"Copy the input playback rate.", "Output as 11,025 hz.", "Output as 22,050 hz.",
                 "Output as 44,100 hz.", "Let me enter a specific rate."});
}

QComboBox* SoundBitsBox(QWidget* parent, const char* name) {
  return Choice(parent, name, {"Copy the input sound quality.", "Output as 8 bit sound.", "Output as 16 bit sound."});
}

QComboBox* SoundChannelsBox(QWidget* parent, const char* name) {
  return Choice(parent, name,
                {"Copy the input sound channels.", "Output as mono sound.", "Output as stereo sound."});
}

QScrollBar* LossyBar(QWidget* parent, QLabel*& label) {
  label = new QLabel(QStringLiteral("Lossy (0): "), parent);
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setObjectName(QStringLiteral("mixlossy"));
  bar->setRange(0, 9);
  bar->setPageStep(1);
  bar->setToolTip(QStringLiteral("All the way left is lossless (0), and all the way right is highest lossy (9)."));
  QLabel* shown = label;
  QObject::connect(bar, &QScrollBar::valueChanged,
                   [shown](int value) { shown->setText(QString("Lossy (%1):").arg(value)); });
  return bar;
}

}  // namespace frontend
