#include "platform/gui/qt_application.h"

#include <QApplication>

#include "platform/face/display_env.h"
#include "platform/gui/qt_faces.h"
#include "platform/gui/toolkit_icon.h"

namespace platform {

bool MakeGuiApplication() {
  UseQtFacesInProcess();  // the faces linked in here serve, not a module loaded beside them
  if (QCoreApplication::instance() != nullptr) return true;
  if (!WindowsAvailable()) return false;
  // Qt keeps references to argc and argv for the life of the application.
  static int argc = 1;
  static char name[] = "vant";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the process ends
  QApplication::setWindowIcon(ToolkitIcon());  // dialogs and message boxes take it from here
  return true;
}

}  // namespace platform
