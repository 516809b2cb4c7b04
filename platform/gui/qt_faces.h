#pragma once
// The Qt faces of the dialogs and the status window, linked into programs with windows and built
// into the faces module that the command-line tools load when they show a window.
#include <memory>
#include <string>

#include "platform/face/dialogs.h"
#include "platform/face/status_panel.h"
#include "platform/face/window_faces.h"

namespace platform {

// Qt's message boxes, file and input dialogs.
std::unique_ptr<DialogFace> MakeQtDialogFace();

// A hidden status window; null when no window can be made (no display).
std::unique_ptr<StatusPanel> MakeQtStatusPanel(const std::string& title,
                                               const std::string& versionLine,
                                               StatusPanelEvents& events);

// Delivers every waiting window event (and deferred deletions) without waiting.
void ProcessQtEvents();

// All of the above behind the window faces' interface.
WindowFaces& QtWindowFaces();

// Puts the linked-in faces in place, so that this process never loads the module.
void UseQtFacesInProcess();

}  // namespace platform
