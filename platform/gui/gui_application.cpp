#include "gui_application.h"

#include <QApplication>

namespace platform {

void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  // Qt keeps references to argc and argv for the life of the application.
  static int argc = 1;
  static char name[] = "vant";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the process ends
}

void ProcessWindowEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace platform
