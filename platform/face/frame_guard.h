#pragma once
// The one guard at the frames where nothing thrown may pass: Qt's event handlers, slots and
// timers, SDL's callbacks and the C interface's entry points. What the work throws stops at the
// guard and is said with where it was caught: in an error box through the dialog service where a
// person can answer (on a console run the service prints it), or on standard error alone where
// no box may open (paint events, threads other than the GUI's, library calls).
#include <exception>
#include <string>
#include <utility>

namespace platform {

enum class CaughtReport { MessageBox, StandardError };

// "<where> failed: <what>", what being the exception's own text or "an unknown error".
std::string CaughtText(const std::string& where, std::exception_ptr caught);

// Says what was caught; never throws.
void ReportCaught(const std::string& where, std::exception_ptr caught, CaughtReport report) noexcept;

// Runs the work; true when it returned, false when it threw and that was said.
template <typename Work>
bool RunGuarded(const std::string& where, Work&& work, CaughtReport report = CaughtReport::MessageBox) noexcept {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (...) {
    ReportCaught(where, std::current_exception(), report);
    return false;
  }
}

// A handler for a signal or callback, whatever it carries, that runs the work through the guard.
template <typename Work>
auto Guarded(std::string where, Work work) {
  return [where = std::move(where), work = std::move(work)](auto&&...) { RunGuarded(where, work); };
}

}  // namespace platform
