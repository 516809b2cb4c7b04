// Readers called in-process (as the front end's viewers call them) tell what went wrong through
// what they return, and never show a message box or stop a tool themselves.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/face/dialogs.h"
#include "testsupport/scratch_directory.h"
#include "toolsupport/picture/graphics_output.h"
#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/sound/sound_source.h"
#include "toolsupport/ui/status_window.h"

namespace toolsupport {
namespace {

TEST(ReaderFailures, ComeBackAsTheirTextWithoutABoxOrAStop) {
  testsupport::ScratchDirectory scratch;
  const std::string missing = scratch / "missing";
  struct Case {
    const char* name;
    std::function<Status()> call;
    std::string message;
  } cases[] = {
      {"picture input", [&] { return OpenGraphicsInput({}, "", {}, missing).status(); }, "Error opening: " + missing},
      {"list of pictures", [&] { return OpenGraphicsInput({}, "", {}, scratch / "none???.bmp").status(); },
       "No files in the list file."},
      {"sound input", [&] { return OpenSoundInput({}, {}, missing + ".wav").status(); }, "Error opening the input file."},
      {"picture output", [&] { return CreateGraphicsOutput(0, {}, 100, 8, 4, 8, 1, scratch / "a.xyz").status(); },
       "Unsupported output file type."},
  };
  ResetStatusWindowForTesting();
  platform::ScriptedDialogs dialogs;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Status status = c.call();
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), c.message);
  }
  EXPECT_TRUE(dialogs.asked().empty());
  EXPECT_FALSE(StatusCancelled());
}

}  // namespace
}  // namespace toolsupport
