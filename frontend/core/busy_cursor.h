#pragma once
// The hourglass, or the plain arrow that message boxes and dialogs show, while it lives
// (nothing without a GUI application).

namespace frontend {

class BusyCursor {
 public:
  BusyCursor() : BusyCursor(false) {}
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 protected:
  explicit BusyCursor(bool arrow);

 private:
  bool shown_ = false;
};

class ArrowCursor : public BusyCursor {
 public:
  ArrowCursor() : BusyCursor(true) {}
};

}  // namespace frontend
