// The faces module: the Qt faces of platform/gui, for programs that load Qt only when they show a
// window (platform/face/window_faces.h). Only the entry below is exported.
#include "platform/face/window_faces.h"
#include "platform/gui/qt_faces.h"

extern "C" __attribute__((visibility("default"))) platform::WindowFaces* vant_window_faces_2() {
  return &platform::QtWindowFaces();
}
