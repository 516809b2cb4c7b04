// The example presentation of examples/, run as a user runs it from the directory that holds
// demo.vnt (made by the demo clip maker and the compressor), on the offscreen platform; its
// choices are made through the key queue, the keys after the video queued once it has ended.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "player/player_window.h"
#include "script/screen/animation_player.h"
#include "script/tests/script_runner.h"
#include "testsupport/run_program.h"

namespace {

constexpr int kEscape = 27;
constexpr uint8_t kTitleBand = 216;

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~CurrentDirectory() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

void Type(const std::string& keys) {
  for (char key : keys) QueuePlayerKey(static_cast<unsigned char>(key));
}

TEST(ExamplePresentation, RunsToItsCleanEndChosenByKeys) {
  const char* source = std::getenv("VANT_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const std::string presentation = std::string(source) + "/examples/presentation.ss";
  ASSERT_TRUE(std::filesystem::exists(presentation));

  struct RunCase {
    const char* name;
    bool withVideo;
    const char* keys;         // queued before the run
    const char* afterVideo;   // queued when the video has ended
    const char* frames;       // shown, one digit each; Escape follows the third
    const char* played;
  };
  const RunCase cases[] = {
      // The video stopped by Escape, the picture and a key back, the fade, then the end (the
      // last keys are spares, so that a key taken by mistake shows as a wrong variable, not a
      // hang).
      {"every choice", true, "1", "2 3444", "123", "1"},
      {"without the video", false, "14", "", "", "0"},
      {"Escape ends it", true, "\x1b", "", "", ""},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptRunner runner;
    if (c.withVideo) {
      const auto clip = testsupport::RunProgram("vantcw_demo_clip", {runner.File("demo.avi"), "160", "120", "20", "15"});
      ASSERT_EQ(clip.exitCode, 0) << clip.errors;
      const auto video = testsupport::RunProgram("vantcw", {runner.File("demo.avi"), runner.File("demo.vnt"), "/O", "/#"});
      ASSERT_EQ(video.exitCode, 0) << video.errors;
    }
    const CurrentDirectory here(runner.File(""));

    ScriptRun run;
    run.context = ScriptRunner::NewContext();
    std::string frames;
    uint8_t aroundTheVideo = 0;
    std::string areaOfTheFirstBox;
    runner.playbackHook = [&](VantVideo& video, bool ended) {
      if (!ended) {
        frames += std::to_string(video.currentFrame + 1);
        if (frames.size() == 3) QueuePlayerKey(kEscape);
        return;
      }
      // The video is centred over the menu, which is still shown around it.
      aroundTheVideo = script::GetPixel(run.context->screen.window.Canvas(), 0, 0);
      const script::MouseArea* box = run.context->screen.mouseAreas.Find(160, 66);
      areaOfTheFirstBox = box != nullptr ? box->name : "";
      Type(c.afterVideo);
    };
    ClearPlayerKeys();
    Type(c.keys);
    runner.RunFileIn(run, presentation);
    ClearPlayerKeys();

    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_TRUE(run.boxes.empty()) << run.LastBox();
    EXPECT_EQ(frames, c.frames);
    EXPECT_EQ(run.Variable("PLAYED"), c.played);
    if (c.frames[0] != '\0') {
      EXPECT_EQ(aroundTheVideo, kTitleBand);
      EXPECT_EQ(areaOfTheFirstBox, "1");
      EXPECT_EQ(run.Variable("BACK"), "SPACE");  // the key that left the picture
    }
    if (!c.withVideo) {
      EXPECT_EQ(run.Variable("LINE"), "demo.vnt is not in this directory.");
    }
    // A clean end: the window closed, the bitmaps freed, the mouse areas gone.
    EXPECT_FALSE(run.context->screen.window.Exists());
    for (int slot = 0; slot < script::kBitmapSlotCount; ++slot) EXPECT_EQ(run.context->screen.bitmaps.Get(slot), nullptr);
    EXPECT_EQ(run.context->screen.mouseAreas.Count(), 0u);
    EXPECT_TRUE(run.context->screen.palette.Colors() == script::Palette{});  // faded out
  }
}

}  // namespace
