#pragma once
// The error and progress contract of the libraries. A call that can fail returns a Status, or a
// Result that holds its value, carrying the user-facing text of what went wrong; it never shows
// a message itself. Long work reports what it does through a Progress and asks it whether the
// user wants to stop. Only the program frame (RunTool) and the GUI turn a Status into message
// boxes, so that in-process callers (the front end's viewers) decide for themselves.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace toolsupport {

class [[nodiscard]] Status {
 public:
  Status() = default;  // success

  static Status Error(std::string message) {
    Status status;
    status.kind_ = Kind::Error;
    if (!message.empty()) status.messages_.push_back(std::move(message));
    return status;
  }
  // Stopped at the user's request (a refused question, a cancel): nothing to tell.
  static Status Stopped() {
    Status status;
    status.kind_ = Kind::Stopped;
    return status;
  }

  bool ok() const { return kind_ == Kind::Ok; }
  explicit operator bool() const { return ok(); }
  bool stopped() const { return kind_ == Kind::Stopped; }
  // An error that follows from this one adds its text after it; both are shown.
  Status& Then(std::string message) {
    kind_ = Kind::Error;
    messages_.push_back(std::move(message));
    return *this;
  }
  // Every text in the order it is to be shown; empty for success and a stop.
  const std::vector<std::string>& messages() const { return messages_; }
  // The last (most general) text, or "".
  std::string message() const { return messages_.empty() ? std::string() : messages_.back(); }

 private:
  enum class Kind { Ok, Error, Stopped };
  Kind kind_ = Kind::Ok;
  std::vector<std::string> messages_;
};

// A value, or the Status of why there is none.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: a value converts to its result
  Result(Status status) : status_(std::move(status)) {
    if (status_.ok()) status_ = Status::Error("");  // a result without a value is never ok
  }

  bool ok() const { return status_.ok(); }
  explicit operator bool() const { return ok(); }
  const Status& status() const { return status_; }
  T& value() { return value_; }
  const T& value() const { return value_; }
  T Take() { return std::move(value_); }

 private:
  T value_{};
  Status status_;
};

enum class ProgressKind {
  Status,     // status text, shown at most every quarter second
  StatusNow,  // status text shown at once (a new phase of the work)
};

// Where long work shows its status text and learns that the user asked to stop. A default
// Progress shows nothing and is never cancelled.
class Progress {
 public:
  using ShowFunction = std::function<void(ProgressKind kind, const std::string& text)>;
  using CancelQuery = std::function<bool()>;

  Progress() = default;
  Progress(ShowFunction show, CancelQuery cancelled) : show_(std::move(show)), cancelled_(std::move(cancelled)) {}

  void Show(ProgressKind kind, const std::string& text) const {
    if (show_) show_(kind, text);
  }
  // True once the user asked to stop; work then ends and returns Status::Stopped().
  bool Cancelled() const { return cancelled_ && cancelled_(); }

  // Shows the text and then asks: the usual step of a loop. True when the work is to stop.
  bool ShowAndCheck(ProgressKind kind, const std::string& text) const {
    Show(kind, text);
    return Cancelled();
  }

 private:
  ShowFunction show_;
  CancelQuery cancelled_;
};

}  // namespace toolsupport
