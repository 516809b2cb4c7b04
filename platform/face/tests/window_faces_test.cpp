#include "platform/face/window_faces.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <thread>

#include "platform/system/stop_signals.h"

namespace {

class NoEvents : public platform::StatusPanelEvents {};

TEST(WindowFacesModule, LoadsOnlyAModuleOfThisRevision) {
  struct Case {
    std::string path;
    bool loads;
    std::string reason;  // a part of the error when it does not load
  };
  const Case cases[] = {
      {platform::WindowFacesModulePath(), true, ""},
      {"/nonexistent/libvant_window_faces.so", false, "/nonexistent/libvant_window_faces.so"},
      {"libc.so.6", false, "holds no window faces"},  // a library, but not one of ours
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string error;
    platform::WindowFaces* faces = platform::LoadWindowFacesModule(c.path, error);
    EXPECT_EQ(faces != nullptr, c.loads) << error;
    if (!c.loads) {
      EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
  }
}

// The module brings Qt with it: this test links none, and works its window through the faces.
TEST(WindowFacesModule, MakesAStatusWindowOnTheOffscreenPlatform) {
  platform::WindowFaces* faces = platform::QtFaces();
  ASSERT_NE(faces, nullptr);
  EXPECT_EQ(platform::QtFacesIfLoaded(), faces);
  NoEvents events;
  std::unique_ptr<platform::StatusPanel> panel =
      faces->CreateStatusPanel("VantC", "V3.0k test", events);
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(panel->IsVisible());
  EXPECT_EQ(panel->Caption(), "VantC");
  EXPECT_EQ(panel->StatusText(), "Loading...");
  panel->ShowNormal();
  panel->SetStatusText("Frame 1");
  faces->ProcessEvents();
  EXPECT_TRUE(panel->IsVisible());
  EXPECT_EQ(panel->StatusText(), "Frame 1");
  EXPECT_EQ(panel->ButtonText(), "&Cancel");
  panel.reset();
  faces->ProcessEvents();  // the window's deferred deletion
}

// The module holds a copy of the signal handling of its own; the program's stop signal ends a
// box of its faces all the same, with the answer Escape gives. (Were it not heard, the box would
// wait for ever: the alarm ends the test instead.)
TEST(WindowFacesModule, TheProgramsStopSignalEndsABoxThatWaits) {
  platform::WindowFaces* faces = platform::QtFaces();
  ASSERT_NE(faces, nullptr);
  platform::InstallStopSignals();
  alarm(60);
  std::thread signaller([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(getpid(), SIGTERM);
  });
  platform::DialogRequest request;
  request.caption = "VantC";
  request.text = "File out.vnt exists, overwrite?";
  request.buttons = platform::DialogButtons::YesNo;
  request.defaultAnswer = platform::DialogAnswer::Yes;
  const platform::DialogResult result = faces->RunDialog(request);
  signaller.join();
  alarm(0);
  EXPECT_EQ(result.answer, platform::DialogAnswer::No);
  platform::RemoveStopSignals();
}

}  // namespace
