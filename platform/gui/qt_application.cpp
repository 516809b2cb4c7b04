#include "platform/gui/qt_application.h"

#include <QApplication>
#include <QString>

#include "platform/face/display_env.h"
#include "platform/gui/qt_faces.h"
#include "platform/gui/toolkit_icon.h"

namespace platform {
namespace {

QtMessageHandler previousHandler = nullptr;

void PassOnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  previousHandler(type, context, message);
}

}  // namespace

void FilterQtMessages() {
  if (previousHandler != nullptr) return;
  previousHandler = qInstallMessageHandler(PassOnQtMessage);
}

bool MakeGuiApplication() {
  UseQtFacesInProcess();  // the faces linked in here serve, not a module loaded beside them
  if (QCoreApplication::instance() != nullptr) return true;
  if (!WindowsAvailable()) return false;
  FilterQtMessages();
  // Qt keeps references to argc and argv for the life of the application.
  static int argc = 1;
  static char name[] = "vant";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the process ends
  QApplication::setWindowIcon(ToolkitIcon());  // dialogs and message boxes take it from here
  return true;
}

}  // namespace platform
