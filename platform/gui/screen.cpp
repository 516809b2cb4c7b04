#include "platform/gui/screen.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/gui/qt_application.h"

namespace platform {
namespace {

std::optional<ScreenInfo>& TestScreen() {
  static std::optional<ScreenInfo> screen;
  return screen;
}

}  // namespace

ScreenInfo QueryScreen() {
  if (TestScreen()) return *TestScreen();
  ScreenInfo info;
  if (!MakeGuiApplication()) return info;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    info.width = screen->geometry().width();
    info.height = screen->geometry().height();
    info.bits_per_pixel = screen->depth();
  }
  return info;
}

void SetScreenForTesting(std::optional<ScreenInfo> screen) { TestScreen() = std::move(screen); }

}  // namespace platform
