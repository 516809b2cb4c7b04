#include "frontend/executable_builder.h"

#include "frontend/front_end.h"

namespace frontend {

// The builder's window is not part of this build yet; the console says so, as it does for the
// other windows that are missing.
void OpenExecutableBuilder(FrontEnd& frontEnd, const std::string&, const std::string&, QWidget*) {
  frontEnd.console.Append("  The executable builder is not available.");
  frontEnd.ShowPrompt();
}

}  // namespace frontend
