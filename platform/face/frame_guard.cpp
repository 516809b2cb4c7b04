#include "platform/face/frame_guard.h"

#include <errno.h>

#include <cstdio>

#include "platform/face/dialogs.h"

namespace platform {
namespace {

void WriteToStandardError(const std::string& text) noexcept {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, text.c_str());
  std::fflush(stderr);
}

}  // namespace

std::string CaughtText(const std::string& where, std::exception_ptr caught) {
  std::string what = "an unknown error";
  try {
    if (caught) std::rethrow_exception(caught);
  } catch (const std::exception& error) {
    what = error.what();
  } catch (...) {
    // Not an exception of the standard kind: nothing more to say about it.
  }
  return where + " failed: " + what;
}

void ReportCaught(const std::string& where, std::exception_ptr caught, CaughtReport report) noexcept {
  try {
    const std::string text = CaughtText(where, caught);
    if (report == CaughtReport::StandardError) {
      WriteToStandardError(text);
      return;
    }
    try {
      ShowMessageBox(program_invocation_short_name, text, DialogIcon::Error);
    } catch (...) {
      WriteToStandardError(text);  // the box itself failed: the text still gets out
    }
  } catch (...) {
    std::fputs("an error was caught and could not be described\n", stderr);
  }
}

}  // namespace platform
