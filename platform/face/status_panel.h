#pragma once
// The small window a tool shows while it works: its title in the caption, one line of status
// text, a version line and one button. What the user does with it is handed to the owner's
// handlers; the window never closes by itself. The window is made by the Qt faces
// (platform/face/window_faces.h), so that its users need not link Qt.
#include <string>

class QImage;
class QWidget;

namespace platform {

class StatusPanelEvents {
 public:
  virtual ~StatusPanelEvents() = default;
  // The user asked to close the window (title bar, window menu).
  virtual void CloseRequested() {}
  // The button was pressed, or Esc or Enter given to the window.
  virtual void ButtonPressed() {}
  // The window came back from minimised.
  virtual void Restored() {}
};

// Made hidden, with the button "&Cancel" and the status text "Loading...", centred on the
// screen. Destroying it takes the window off the screen; the window is deleted once the event
// loop is safe to do so, so that this may happen inside the window's own handlers.
class StatusPanel {
 public:
  virtual ~StatusPanel() = default;

  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetButtonText(const std::string& text) = 0;
  // Shows the window normally, on top and active.
  virtual void ShowNormal() = 0;
  virtual void FocusButton() = 0;
  virtual bool IsVisible() const = 0;
  virtual bool IsMinimized() const = 0;
  virtual std::string Caption() const = 0;
  // The window, as owner of the dialogs that belong to it; null once it is gone.
  virtual QWidget* Widget() const = 0;

  // What a person would do; used by tests.
  virtual void ClickButton() = 0;
  virtual void RequestClose() = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;
  virtual std::string StatusText() const = 0;
  virtual std::string ButtonText() const = 0;
  virtual QImage Snapshot() const = 0;
};

}  // namespace platform
