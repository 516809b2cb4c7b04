#include "frontend/core/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace frontend {

BusyCursor::BusyCursor(bool arrow) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
  QGuiApplication::setOverrideCursor(QCursor(arrow ? Qt::ArrowCursor : Qt::WaitCursor));
  shown_ = true;
}

BusyCursor::~BusyCursor() {
  if (shown_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace frontend
