#include "frontend/shell/about_box.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/gui/window_placement.h"

namespace frontend {
namespace {

constexpr const char* kDescription =
    "Vantrel is a compressor for 8-bit video and animation data. It turns flics, AVI videos, "
    "pictures, numbered picture series and list files into compact .vnt videos with up to seven "
    "sound tracks, plays them in a window or on the full screen, runs presentations written as "
    "VantScript scripts and binds videos into programs that play themselves.\n\n"
    "The tabs of the main window lead to each tool of the toolkit; the Command tab runs them by "
    "hand and batches of them.";

constexpr const char* kAddress =
    "Vantrel Software\n"
    "Web: https://vantrel.example.com/\n"
    "Mail: support@vantrel.example.com";

QPlainTextEdit* Memo(const char* text, QWidget* parent) {
  auto* memo = new QPlainTextEdit(QString::fromUtf8(text), parent);
  memo->setReadOnly(true);
  return memo;
}

}  // namespace

Taboutwin::Taboutwin(QWidget* owner)
    : QDialog(owner),
      description_(Memo(kDescription, this)),
      address_(Memo(kAddress, this)),
      close_(new QPushButton(QStringLiteral("&Close"), this)) {
  setObjectName(QStringLiteral("Taboutwin"));
  setWindowTitle(QString::fromUtf8(kAboutCaption));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8(kVersionLine), this));
  layout->addWidget(description_, 3);
  layout->addWidget(address_, 1);
  layout->addWidget(close_, 0, Qt::AlignHCenter);
  resize(platform::ScaledForFont(QSize(420, 320), fontMetrics()));
  close_->setDefault(true);
  QObject::connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  // Clicking into a memo is no place to stay: the focus goes to the button.
  for (QPlainTextEdit* memo : {description_, address_}) memo->installEventFilter(this);
  platform::OpenCentred(*this);
}

bool Taboutwin::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && (watched == description_ || watched == address_)) {
    close_->setFocus();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace frontend
