#include "frontend/core/front_end.h"

#include <QWidget>

#include "frontend/core/basic_console.h"
#include "frontend/core/text_format.h"

namespace frontend {

FrontEnd::FrontEnd(ProgramStarter& starter)
    : dialogs(ServiceDialogs(*this)),
      starter_(&starter),
      interpreter_(std::make_unique<BasicConsole>()) {}

FrontEnd::~FrontEnd() = default;

void FrontEnd::SetInterpreter(std::unique_ptr<ConsoleInterpreter> interpreter) {
  interpreter_ = interpreter ? std::move(interpreter) : std::make_unique<BasicConsole>();
}

void FrontEnd::RestoreMainWindow() {
  if (!mainWindow || (mainWindow->isVisible() && !mainWindow->isMinimized())) return;
  mainWindow->showNormal();
  mainWindow->raise();
  mainWindow->activateWindow();
}

std::string FrontEnd::ProgramDirectory() const { return WithSeparator(settings.main.directory); }

}  // namespace frontend
