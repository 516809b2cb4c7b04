// Videos in scripts, run in this process on the offscreen platform: stepping them into the
// window and into bitmaps of any size and place, loading frames into bitmaps, and playing them
// whole with the options of ANIMATIONPLAY. The frames a playback shows are counted by its hook.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/system/tests/fake_clock.h"
#include "playback/tests/coded_video.h"
#include "playback/tests/sound_test_support.h"
#include "playback/video_file_format.h"
#include "player/player_window.h"
#include "script/screen/animation_player.h"
#include "script/tests/script_runner.h"

namespace {

constexpr uint8_t kBackground = 9;

// 16 x 8 frames, a millisecond apart, that bring one palette: "three" shows colours 1, 2 and 3,
// "pattern" x + 16 y at (x, y), "holes" the text transparent colour (128) left and 5 right.
void WriteVideos(const ScriptRunner& runner) {
  std::map<std::string, std::vector<Picture>> videos;
  for (uint8_t color : {1, 2, 3}) videos["three"].emplace_back(16, 8, color);
  Picture& pattern = videos["pattern"].emplace_back(16, 8);
  for (uint32_t i = 0; i < 128; ++i) pattern.pixels[i] = static_cast<uint8_t>(i);
  videos["holes"].emplace_back(16, 8, 5).Fill(0, 0, 8, 8, 128);
  for (auto& [name, pictures] : videos) {
    CodedVideoSpec spec{pictures, std::vector<ColorTable>(pictures.size(), TestPalette()), -100};
    WriteCodedVideo(runner.File(name + ".vnt"), spec);
  }
}

script::Palette AsPalette(const ColorTable& table) {
  script::Palette palette;
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = table[i / 3][i % 3];
  return palette;
}

// Runs the script with each name written "@name" in the scratch directory.
std::string Here(const ScriptRunner& runner, std::string script) {
  for (size_t at = script.find("\"@"); at != std::string::npos; at = script.find("\"@", at)) {
    script.replace(at + 1, 1, runner.File(""));
  }
  return script;
}
ScriptRun RunHere(const ScriptRunner& runner, const std::string& script) { return runner.Run(Here(runner, script)); }

uint8_t WindowPixel(const ScriptRun& run, int32_t x, int32_t y) {
  return script::GetPixel(run.context->screen.window.Canvas(), x, y);
}
uint8_t BitmapPixel(const ScriptRun& run, int number, int32_t x, int32_t y) {
  const script::Bitmap* bitmap = run.context->screen.bitmaps.Get(number - script::kBitmapNumberBase);
  return bitmap != nullptr ? script::GetPixel(bitmap->Canvas(), x, y) : 0;
}

// The frames that playbacks show, 1-based, one digit each; a key is queued after the nth frame.
struct ShownFrames {
  explicit ShownFrames(ScriptRunner& runner, std::map<size_t, int> keys = {}) : runner_(runner) {
    ClearPlayerKeys();
    runner.playbackHook = [this, keys](VantVideo& video, bool ended) {
      if (ended) return;
      frames += std::to_string(video.currentFrame + 1);
      if (auto key = keys.find(frames.size()); key != keys.end()) QueuePlayerKey(key->second);
    };
  }
  ~ShownFrames() {
    runner_.playbackHook = nullptr;
    ClearPlayerKeys();
  }
  std::string frames;

 private:
  ScriptRunner& runner_;
};

TEST(ScriptAnimations, PlayingWithEachOption) {
  ScriptRunner runner;
  WriteVideos(runner);
  const script::Palette video = AsPalette(TestPalette());
  const script::Palette start = script::StartPalette();
  const script::Palette black{};
  struct PlayCase {
    const char* name;
    std::string play;
    std::map<size_t, int> keys;
    const char* frames;
    const char* result;
    std::vector<std::pair<int, int>> video;  // window pixels the last frame shows (colour 3)
    std::vector<std::pair<int, int>> kept;   // window pixels still in the background colour
    const script::Palette* palette;
  };
  const std::vector<PlayCase> cases = {
      {"twice through", "animationplay r 8 4 2 0 \"@three\"", {}, "123123", "1", {{8, 4}, {23, 11}},
       {{7, 4}, {24, 11}, {8, 12}}, &video},
      {"a count of 0 plays nothing", "animationplay r 8 4 0 0 \"@three\"", {}, "", "1", {}, {{8, 4}}, &start},
      {"a missing file", "animationplay r 8 4 1 0 \"@missing\"", {}, "", "0", {}, {{8, 4}}, &start},
      {"until Escape; other keys are dropped", "animationplay r 8 4 -1 128 \"@three\"", {{2, 'a'}, {5, 27}},
       "12312", "1", {}, {{7, 4}}, &video},
      {"Escape, then the area and palette back", "animationplay r 8 4 1 144 \"@three\"", {{2, 27}}, "12", "1",
       {}, {{8, 4}, {23, 11}}, &start},
      {"the area and palette back", "animationplay r 8 4 1 16 \"@three\"", {}, "123", "1", {}, {{8, 4}}, &start},
      {"fading in", "animationplay r 8 4 1 32 \"@three\"", {}, "123", "1", {{8, 4}}, {}, &video},
      {"fading out", "animationplay r 8 4 1 64 \"@three\"", {}, "123", "1", {{8, 4}}, {}, &black},
      {"without the video's palette", "animationplay r 8 4 1 516 \"@three\"", {}, "123", "1", {{8, 4}}, {}, &start},
      {"centred, offsets added", "screenadjustxy 8 4\nanimationplay r -1 -1 1 0 \"@three\"", {}, "123", "1",
       {{24, 20}, {39, 27}}, {{23, 20}, {24, 19}}, &video},
      {"placed, offsets added, then rounded", "screenadjustxy 2 4\nanimationplay r 2 2 1 4 \"@three\"", {}, "123",
       "1", {{4, 6}}, {{4, 5}, {3, 6}}, &video},
      {"at a negative place", "animationplay r -8 -4 1 4 \"@three\"", {}, "123", "1", {{0, 0}, {7, 3}},
       {{8, 0}, {0, 4}}, &video},
      // Saving, fading and the frame bitmap need a window: without one they are left out.
      {"no window needed", "screentext\nanimationplay r 0 0 1 1392 \"@three\"", {}, "123", "1", {}, {}, &start},
  };
  for (const PlayCase& c : cases) {
    SCOPED_TRACE(c.name);
    ShownFrames shown(runner, c.keys);
    const ScriptRun run = RunHere(runner, "screengraphics ok 64 48\nscreenfadespeed 0\nscreenclear 9\n" + c.play + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(shown.frames, c.frames);
    EXPECT_EQ(run.Variable("R"), c.result);
    for (auto [x, y] : c.video) EXPECT_EQ(WindowPixel(run, x, y), 3) << x << "," << y;
    for (auto [x, y] : c.kept) EXPECT_EQ(WindowPixel(run, x, y), kBackground) << x << "," << y;
    EXPECT_TRUE(run.context->screen.palette.Colors() == *c.palette);
  }

  // The overlay shows the window where the frame has the text transparent colour; afterwards
  // the window is as it was.
  std::string seen;
  runner.playbackHook = [&seen](VantVideo&, bool) {
    const VantBuffer& buffer = *PlayerBuffer();
    for (int32_t x : {8, 16}) seen += std::to_string(buffer.pixels[4 * buffer.pitch + x]) + " ";
  };
  const ScriptRun overlay = RunHere(runner, "screengraphics ok 64 48\nscreenclear 9\nanimationplay r 8 4 1 256 \"@holes\"\n");
  runner.playbackHook = nullptr;
  ASSERT_EQ(overlay.exitCode, 0) << overlay.LastBox();
  EXPECT_EQ(seen, "9 5 9 5 ");  // after the frame, and when the playback ends
  EXPECT_EQ(WindowPixel(overlay, 8, 4), kBackground);
  EXPECT_EQ(WindowPixel(overlay, 16, 4), kBackground);
}

// A run's clock that a sound device plays along: 10 bytes a millisecond.
class PlayingDeviceClock : public FakeClock {
 public:
  explicit PlayingDeviceClock(FakeSoundDevice& device) : device_(device) {}
  void Sleep(uint32_t ms) override {
    FakeClock::Sleep(ms);
    device_.position += 10 * uint64_t{ms};
  }

 private:
  FakeSoundDevice& device_;
};

// Playbacks keep time on the run's clock: a video without sound by the clock, one with sound
// by what the device has played. A video opened for the playback closes when the command ends,
// and its sound with it, so its last frame's sound plays out first; a slot's video stays open
// and goes on sounding; Escape stops at once.
TEST(ScriptAnimations, PlaybacksKeepTimeAndPlayTheirSoundOut) {
  ScriptRunner runner;
  std::vector<Picture> pictures;
  for (uint8_t color : {1, 2, 3}) pictures.emplace_back(16, 8, color);
  WriteCodedVideo(runner.File("slow.vnt"), {pictures, std::vector<ColorTable>(3, TestPalette()), -5000});  // 50 ms
  // Three frames of 400 bytes of sound each: 40 ms of the device.
  const std::vector<std::vector<uint8_t>> sound(3, std::vector<uint8_t>(400, 0x90));
  WriteSoundVideo(runner.File("sound.vnt"), 3, -5000, {{vntfile::kRatePresent | 8000, 0, sound}});
  struct TimedCase {
    const char* play;
    std::map<size_t, int> keys;
    const char* frames;
    uint64_t lastedMs;
  };
  const TimedCase cases[] = {
      {"animationplay r 0 0 1 0 \"@slow\"", {}, "123", 100},
      {"animationplay r 0 0 2 0 \"@slow\"", {}, "123123", 250},
      {"animationplay r 0 0 1 4 \"@slow\"", {}, "123", 0},
      {"animationplay r 0 0 1 0 \"@sound\"", {}, "123", 120},  // all 1200 bytes played
      {"animationopen a 0 \"@sound\"\nanimationplay r 0 0 1 0 a", {}, "123", 80},
      {"animationplay r 0 0 1 128 \"@sound\"", {{2, 27}}, "12", 40},
  };
  for (const TimedCase& c : cases) {
    SCOPED_TRACE(c.play);
    ShownFrames shown(runner, c.keys);
    FakeSoundDevice device;
    PlayingDeviceClock clock(device);
    ScriptRun run;
    run.context = ScriptRunner::NewContext(clock);
    const uint64_t start = clock.Now();
    runner.RunIn(run, Here(runner, "screengraphics ok 32 16\n" + std::string(c.play) + "\n"));
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.Variable("R"), "1");
    EXPECT_EQ(shown.frames, c.frames);
    EXPECT_EQ(clock.Now() - start, c.lastedMs);
  }
}

// A video too large for the pictures its playback needs is not played: the memory for them
// cannot be had, so the command fails and the window is left as it was.
TEST(ScriptAnimations, APlaybackWithoutMemoryForItsPicturesFails) {
  ScriptRunner runner;
  WriteVideos(runner);
  {
    // "three" with a header that claims 40000 x 40000 pixels.
    std::fstream file(runner.File("three.vnt"), std::ios::in | std::ios::out | std::ios::binary);
    const char size[4] = {'\x40', '\x9C', 0, 0};
    file.seekp(4);
    file.write(size, 4).write(size, 4);
  }
  for (const char* options : {"0", "16", "256", "400"}) {
    SCOPED_TRACE(options);
    ShownFrames shown(runner);
    const ScriptRun run = RunHere(runner, "screengraphics ok 64 48\nscreenclear 9\nanimationopen a 0 \"@three\"\n"
                                          "animationplay r 0 0 1 " + std::string(options) + " \"@three\"\n"
                                          "animationplay s 0 0 1 " + std::string(options) + " a\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.Variable("A"), "3000");
    EXPECT_EQ(run.Variable("R") + run.Variable("S"), "00");
    EXPECT_EQ(shown.frames, "");
    EXPECT_EQ(WindowPixel(run, 0, 0), kBackground);
    EXPECT_TRUE(run.context->screen.palette.Colors() == script::StartPalette());
  }
}

// A slot played goes on from the frame after the last one shown, decoding where it did.
TEST(ScriptAnimations, APlayedSlotContinuesWhereItWas) {
  ScriptRunner runner;
  WriteVideos(runner);
  ShownFrames shown(runner, std::map<size_t, int>{{3, 27}});
  const ScriptRun run = RunHere(runner,
      "screengraphics ok 64 48\nscreenclear 9\nanimationopen a 0 \"@three\"\nbitmapalloc b 16 8\n"
      "animationtobitmap a b\nanimationadvance a\n"
      "animationplay r 8 4 1 4 a\nbitmapgetpixel p1 b 0 0\n"
      "animationadvance a\nbitmapgetpixel p2 b 0 0\n"
      "animationplay r 8 4 1 132 a\nanimationadvance a\nbitmapgetpixel p3 b 0 0\n"
      "animationplay r 8 4 1 260 a\nanimationadvance a\nbitmapgetpixel p4 b 0 0\n"
      "animationplay r 8 4 1 0 \"3031\"\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  // Frames 2 and 3; after the last frame shown and advanced, frame 2 stopped by Escape; then
  // frame 3 advanced, and the step owed after it taken before frames 1 to 3.
  EXPECT_EQ(shown.frames, "23" "2" "123");
  EXPECT_EQ(run.Variable("P1"), "1");  // the window got the frames played, the bitmap none
  EXPECT_EQ(run.Variable("P2"), "1");
  EXPECT_EQ(run.Variable("P3"), "3");
  EXPECT_EQ(run.Variable("P4"), "1");  // decoded into the bitmap again, not the frame bitmap gone
  EXPECT_EQ(run.Variable("R"), "0");   // a slot that is not open is a file name
  EXPECT_EQ(WindowPixel(run, 8, 4), 2);  // the overlay put back what the window showed
}

// Each advance shows the next frame. A video without a ring frame holds its last frame, still
// current, until the next advance starts it again; one with a ring frame steps on to the ring
// frame, which shows the first picture.
TEST(ScriptAnimations, AdvancingHoldsTheLastFrameOnceThenWraps) {
  ScriptRunner runner;
  std::vector<Picture> pictures;
  for (uint8_t color : {1, 2, 3}) pictures.emplace_back(16, 8, color);
  for (bool ring : {false, true}) {
    CodedVideoSpec spec{pictures, std::vector<ColorTable>(3, TestPalette()), -100};
    spec.ringFrame = ring;
    WriteCodedVideo(runner.File(ring ? "ring.vnt" : "plain.vnt"), spec);
  }
  struct AdvanceCase {
    const char* video;
    const char* target;  // after the window is made and the video opened as A
    const char* read;    // reads the pixel the frame shows into P0, P1, ... ('#' the number)
    int advances;
    const char* shown;
    uint32_t current;    // the video's frame afterwards, 0-based
  };
  const AdvanceCase cases[] = {
      {"plain", "animationtoscreen a 0 0", "screengetpixel p# 0 0", 3, "123", 2},
      {"plain", "animationtoscreen a 0 0", "screengetpixel p# 0 0", 4, "1231", 1},
      {"plain", "bitmapalloc b 16 8\nanimationtobitmap a b", "bitmapgetpixel p# b 15 7", 7, "1231231", 1},
      {"ring", "animationtoscreen a 0 0", "screengetpixel p# 0 0", 3, "123", 3},
      {"ring", "animationtoscreen a 0 0", "screengetpixel p# 0 0", 7, "1231231", 1},
  };
  for (const AdvanceCase& c : cases) {
    SCOPED_TRACE(std::string(c.video) + " " + std::to_string(c.advances) + ": " + c.target);
    std::string script = "screengraphics ok 32 16\nanimationopen a 0 \"@" + std::string(c.video) + "\"\n" +
                         c.target + "\n";
    for (int i = 0; i < c.advances; ++i) {
      std::string read = c.read;
      read.replace(read.find('#'), 1, std::to_string(i));
      script += "animationadvancenopalette a\n" + read + "\n";
    }
    const ScriptRun run = RunHere(runner, script);
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    std::string shown;
    for (int i = 0; i < c.advances; ++i) shown += run.Variable("P" + std::to_string(i));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(run.context->screen.animations.Get(0)->video->currentFrame, c.current);
  }
}

// With palette, a frame's palette goes into the window, or into the bitmap, which holds one
// only after a frame that brought one; without, both keep theirs.
TEST(ScriptAnimations, AdvancingTakesPalettesWhenAsked) {
  ScriptRunner runner;
  WriteVideos(runner);
  const script::Palette video = AsPalette(TestPalette());
  const script::Palette start = script::StartPalette();
  script::Palette own{};
  own[0] = 7;
  struct PaletteCase {
    const char* steps;                 // after the video is opened as A and B made its target
    const script::Palette* window;
    const script::Palette* bitmap;     // null: the bitmap has none
  };
  const PaletteCase cases[] = {
      {"animationadvance a", &start, &video},
      {"animationadvance a\nanimationadvance a", &start, nullptr},
      {"bitmapsetpalettevalue b 0 7\nanimationadvancenopalette a", &start, &own},
      {"animationtoscreen a 0 0\nanimationadvance a", &video, nullptr},
      {"animationtoscreen a 0 0\nanimationadvancenopalette a", &start, nullptr},
  };
  for (const PaletteCase& c : cases) {
    SCOPED_TRACE(c.steps);
    const ScriptRun run = RunHere(runner, "screengraphics ok 32 16\nanimationopen a 0 \"@three\"\n"
                                          "bitmapalloc b 16 8\nanimationtobitmap a b\n" + std::string(c.steps) + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_TRUE(run.context->screen.palette.Colors() == *c.window);
    const std::optional<script::Palette>& palette = run.context->screen.bitmaps.Get(0)->palette;
    ASSERT_EQ(palette.has_value(), c.bitmap != nullptr);
    if (c.bitmap != nullptr) {
      EXPECT_TRUE(*palette == *c.bitmap);
    }
  }
}

// The lists name the open slots, a video by its base name cut to 8 characters.
TEST(ScriptAnimations, ListsNameTheOpenSlots) {
  ScriptRunner runner;
  WriteVideos(runner);
  std::filesystem::copy_file(runner.File("three.vnt"), runner.File("a_long_video.vnt"));
  const ScriptRun run = RunHere(runner,
      "screengraphics ok 64 48\nanimationopen a 0 \"@three\"\nanimationopen b 0 \"@a_long_video\"\n"
      "animationclose a\nbitmapalloc c 5 7\ndebugfile \"@trace.txt\"\nanimationlist\nbitmaplist\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  const std::string trace = runner.Read("trace.txt");
  EXPECT_NE(trace.find("Number: 3001  Name: a_long_v  Width: 16  Height: 8"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("Number: 3000"), std::string::npos) << trace;
  EXPECT_NE(trace.find("Number: 9000  Width: 5  Height: 7"), std::string::npos) << trace;
}

// Past the end GOTO goes to the last frame; going to a frame drops a step still owed.
TEST(ScriptAnimations, GotoLandsOnItsFrame) {
  ScriptRunner runner;
  WriteVideos(runner);
  std::string script = "animationopen a 0 \"@three\"\nbitmapalloc b 16 8\nanimationtobitmap a b\n";
  const char* steps[] = {"animationgoto a 99", "animationgoto a 1", "animationgoto a -5", "animationbacktostart a"};
  for (size_t i = 0; i < std::size(steps); ++i) {
    script += std::string(steps[i]) + "\nanimationadvance a\nbitmapgetpixel p" + std::to_string(i) + " b 0 0\n";
  }
  const ScriptRun run = RunHere(runner, script);
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("P0") + run.Variable("P1") + run.Variable("P2") + run.Variable("P3"), "3111");
}

// Wherever the picture goes, nothing is written outside the window or the bitmap.
TEST(ScriptAnimations, FramesLandClippedInWindowsAndBitmapsOfAnySize) {
  ScriptRunner runner;
  WriteVideos(runner);
  struct PlaceCase {
    const char* script;    // after the window is made and the video opened as A
    int32_t x, y;          // where the picture's top-left corner lands in the window
  };
  const PlaceCase places[] = {
      {"screengraphics ok 64 48\nanimationtoscreen a 56 44", 56, 44},
      {"screengraphics ok 64 48\nanimationtoscreen a -8 -4", -8, -4},
      {"screengraphics ok 12 6\nanimationtoscreen a -1 -1", -2, -1},
      {"screengraphics ok 62 48\nanimationtoscreen a 40 9", 40, 9},  // rows 64 bytes apart
      {"screengraphics ok 62 48\nscreenadjustxy 2 3\nanimationtoscreen a 44 0", 46, 3},
  };
  for (const PlaceCase& c : places) {
    SCOPED_TRACE(c.script);
    const ScriptRun run = RunHere(runner, std::string("animationopen a 0 \"@pattern\"\n") + c.script +
                                     "\nscreenclear 200\nanimationadvance a\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    const script::PixelCanvas window = run.context->screen.window.Canvas();
    for (int32_t y = 0; y < window.height; ++y) {
      for (int32_t x = 0; x < window.width; ++x) {
        const int32_t vx = x - c.x, vy = y - c.y;
        const bool inVideo = vx >= 0 && vx < 16 && vy >= 0 && vy < 8;
        ASSERT_EQ(WindowPixel(run, x, y), inVideo ? vx + 16 * vy : 200) << x << "," << y;
      }
    }
  }

  // Bitmaps smaller and larger than the video get its top-left part.
  const ScriptRun run = RunHere(runner,
      "animationopen a 0 \"@pattern\"\nbitmapalloc s 8 4\nbitmapalloc l 32 16\nbitmapclear l 200\n"
      "animationtobitmap a s\nanimationadvance a\nbitmapgetpixel q s 7 3\n"
      "animationtobitmap a l\nanimationadvance a\nanimationtobitmap a s\nbitmapfree s\nanimationadvance a\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.LastBox().find("Bad frame parameter"), std::string::npos);
  EXPECT_EQ(run.Variable("Q"), "55");
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 32; ++x) {
      ASSERT_EQ(BitmapPixel(run, 9001, x, y), x < 16 && y < 8 ? x + 16 * y : 200) << x << "," << y;
    }
  }

  for (const char* early : {"animationtoscreen a 0 0", "animationplay r 0 0 1 0 a"}) {
    const ScriptRun refused = RunHere(runner, "animationopen a 0 \"@pattern\"\n" + std::string(early) + "\n");
    EXPECT_NE(refused.LastBox().find("A window hasn't been created yet"), std::string::npos) << early;
  }
}

TEST(ScriptAnimations, LoadingFramesIntoBitmaps) {
  ScriptRunner runner;
  WriteVideos(runner);
  const ScriptRun run = RunHere(runner, "animationloadtobitmap \"@three\" a b c; varset after 1\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("A") + " " + run.Variable("B") + " " + run.Variable("C"), "9001 9002 9000");
  EXPECT_EQ(BitmapPixel(run, 9001, 0, 0), 1);
  EXPECT_EQ(BitmapPixel(run, 9002, 15, 7), 2);
  EXPECT_EQ(BitmapPixel(run, 9000, 0, 0), 3);
  EXPECT_TRUE(run.context->screen.bitmaps.Get(1)->palette);   // the first frame brought one
  EXPECT_FALSE(run.context->screen.bitmaps.Get(2)->palette);  // the second did not
  EXPECT_EQ(run.Variable("AFTER"), "1");

  const ScriptRun missing = RunHere(runner, "varset a 5\nanimationloadtobitmap \"@missing\" a b\n");
  ASSERT_EQ(missing.exitCode, 0) << missing.LastBox();
  EXPECT_EQ(missing.Variable("A") + missing.Variable("B"), "00");
  EXPECT_EQ(missing.context->screen.bitmaps.Get(0), nullptr);

  // With one bitmap slot free only the last variable gets a bitmap; with none, every one is 0
  // and the file is closed.
  for (int freeSlots : {1, 0}) {
    SCOPED_TRACE(freeSlots);
    ScriptRun full;
    full.context = ScriptRunner::NewContext();
    script::BitmapSlots& bitmaps = full.context->screen.bitmaps;
    for (int i = 0; i < script::kBitmapSlotCount - freeSlots; ++i) ASSERT_EQ(bitmaps.Alloc(1, 1), i);
    const auto files = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    runner.RunIn(full, Here(runner, "animationloadtobitmap \"@three\" a b c\n"));
    ASSERT_EQ(full.exitCode, 0) << full.LastBox();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}), files);
    EXPECT_EQ(full.Variable("A") + full.Variable("B"), "00");
    EXPECT_EQ(full.Variable("C"), freeSlots == 1 ? "9127" : "0");
    if (freeSlots == 1) {
      EXPECT_EQ(BitmapPixel(full, 9127, 0, 0), 3);
    }
  }
}

}  // namespace
