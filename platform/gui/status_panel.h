#pragma once
// The small window a tool shows while it works: its title in the caption, one line of status
// text, a version line and one button. What the user does with it is handed to the owner's
// handlers; the window never closes by itself.
#include <QPointer>
#include <memory>
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

class StatusPanel {
 public:
  // A hidden window with the button "&Cancel" and the status text "Loading...", centred on the
  // screen; null when no window can be made. The handlers must outlive the window.
  static std::unique_ptr<StatusPanel> Create(const std::string& title,
                                             const std::string& versionLine,
                                             StatusPanelEvents& events);
  // Takes the window off the screen; it is deleted once the event loop is safe to do so, so
  // this may run inside the window's own handlers.
  ~StatusPanel();
  StatusPanel(const StatusPanel&) = delete;
  StatusPanel& operator=(const StatusPanel&) = delete;

  void SetStatusText(const std::string& text);
  void SetButtonText(const std::string& text);
  // Shows the window normally, on top and active.
  void ShowNormal();
  void FocusButton();
  bool IsVisible() const;
  bool IsMinimized() const;
  std::string Caption() const;
  // The window, as owner of the dialogs that belong to it.
  QWidget* Widget() const;

  // What a person would do; used by tests.
  void ClickButton();
  void RequestClose();
  void Minimize();
  void Restore();
  std::string StatusText() const;
  std::string ButtonText() const;
  QImage Snapshot() const;

 private:
  class View;
  explicit StatusPanel(View* view);
  QPointer<View> view_;
};

// Delivers every waiting window event (and deferred deletions) without waiting.
void ProcessStatusEvents();

}  // namespace platform
