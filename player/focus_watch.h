#pragma once
// Whether playback waits for its window to get the focus back. Only a window that had the focus
// and lost it waits: some window managers never give a new window the focus at all, and a
// player that waited for it would never start.
class FocusWatch {
 public:
  bool Waits(bool focused) {
    if (focused) hadFocus_ = true;
    return hadFocus_ && !focused;
  }

 private:
  bool hadFocus_ = false;
};
