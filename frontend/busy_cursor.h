#pragma once
// The hourglass while it lives (nothing without a GUI application).

namespace frontend {

class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool shown_ = false;
};

}  // namespace frontend
