#pragma once
// What the toolkit's windows need from Qt, behind one small interface: programs that often run
// without a display (the command-line tools) reach Qt through it and load it only when a window
// is to be shown. Programs with windows put their own, linked-in faces in place
// (platform/gui/qt_faces.h); the others load them from the faces module that is installed with
// the toolkit's libraries.
#include <memory>
#include <string>

#include "platform/face/dialogs.h"
#include "platform/face/status_panel.h"

namespace platform {

class WindowFaces {
 public:
  virtual ~WindowFaces() = default;
  // Runs a dialog for a person to answer.
  virtual DialogResult RunDialog(const DialogRequest& request) = 0;
  // A hidden status window; null when no window can be made. The handlers must outlive it.
  virtual std::unique_ptr<StatusPanel> CreateStatusPanel(const std::string& title,
                                                         const std::string& versionLine,
                                                         StatusPanelEvents& events) = 0;
  // Delivers every waiting window event (and deferred deletions) without waiting.
  virtual void ProcessEvents() = 0;
  // The program's stop request (platform/system/stop_signals.h): once the descriptor is readable
  // a dialog that waits ends with its escape answer and no later one waits. Faces linked into the
  // program watch its descriptor by themselves; the module's are given it when loaded.
  virtual void WatchStopDescriptor(int descriptor) = 0;
};

// The name of the function the faces module exports: `WindowFaces* (*)()`. It names the
// interface's revision, so that a module of another revision is not taken.
inline constexpr const char* kWindowFacesEntry = "vant_window_faces_2";

// Puts linked-in faces in place of the module for the rest of the process.
void UseWindowFaces(WindowFaces& faces);

// The faces in place, else those of the module, loaded on the first call from the library folder
// beside the program (../lib from its own folder). Null when the module cannot be loaded: the
// reason is noted on standard error once, and callers take their console faces.
WindowFaces* QtFaces();

// The faces in place or loaded already, without loading anything; null otherwise.
WindowFaces* QtFacesIfLoaded();

// Loads a faces module from a file; null with the reason in `error` when that fails.
WindowFaces* LoadWindowFacesModule(const std::string& path, std::string& error);

// Where QtFaces() looks for the module.
std::string WindowFacesModulePath();

}  // namespace platform
