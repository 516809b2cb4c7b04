// The player run in this process on Qt's offscreen platform: generated videos are played, keys
// are sent through the window's own event path, and what the window shows is read back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "playback/display/tests/buffer_test_support.h"
#include "player/tests/test_videos.h"
#include "player/focus_watch.h"
#include "platform/face/dialogs.h"
#include "platform/gui/window.h"
#include "playback/audio_context.h"
#include "playback/sound_track.h"
#include "player/player_main.h"
#include "player/player_options.h"
#include "player/player_window.h"
#include "player/self_play_area.h"

namespace {

using Shown = std::vector<std::pair<uint32_t, uint32_t>>;  // (video width, frame) in order

Shown Frames(uint32_t width, uint32_t count) {
  Shown frames;
  for (uint32_t i = 0; i < count; ++i) frames.emplace_back(width, i);
  return frames;
}

Shown operator+(Shown a, const Shown& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Sends a key press through the window's event path, as the keyboard would.
void PressKey(int qtKey, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  platform::Window* window = PlayerWindow();
  ASSERT_NE(window, nullptr);
  QCoreApplication::postEvent(window->Widget(),
                              new QKeyEvent(QEvent::KeyPress, qtKey, modifiers, text));
}

class PlayerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    ClearPlayerKeys();
    SetStoredCommandTextForTesting(std::string());  // an unbound player
    a = WriteTestVideo(dir.File("a.vnt"), 16, 8, 5, 1);
    b = WriteTestVideo(dir.File("b.vnt"), 24, 12, 4, 2);
    ASSERT_FALSE(a.path().empty());
    ASSERT_FALSE(b.path().empty());
    SetPlayerFrameHook([this](VantVideo& video) {
      shown.emplace_back(video.header.width, video.currentFrame);
      if (onFrame) onFrame(video);
    });
    SetPlayerWindowClosingHook([this](platform::Window& window) { lastPicture = window.Grab(); });
  }
  void TearDown() override {
    SetPlayerFrameHook({});
    SetPlayerWindowClosingHook({});
    SetStoredCommandTextForTesting(std::nullopt);
    SetOwnFileForTesting(std::nullopt);
  }

  int Play(const std::string& text) { return PlayerMain(text, false); }

  // What the window showed last, where the video's picture lies.
  int WrongPixelsOfLastPicture(const TestVideo& video) {
    QImage picture = lastPicture.copy(0, 0, static_cast<int>(video.width), static_cast<int>(video.height));
    return CountDifferentPixels(picture, video.Picture(video.frames() - 1));
  }

  ScratchDirectory dir;
  platform::ScriptedDialogs dialogs;
  TestVideo a, b;
  Shown shown;
  std::function<void(VantVideo&)> onFrame;
  QImage lastPicture;
};

TEST_F(PlayerRun, ListModePlaysTheWholeListAgainAndEndsOnTheLastPicture) {
  EXPECT_EQ(Play(Quoted(a.path()) + " " + Quoted(b.path()) + " /F /L2 /J /S"), 0);
  EXPECT_EQ(shown, Frames(16, 5) + Frames(24, 4) + Frames(16, 5) + Frames(24, 4));
  EXPECT_EQ(WrongPixelsOfLastPicture(b), 0);

  ASSERT_EQ(dialogs.asked().size(), 1u);
  const platform::DialogRequest& summary = dialogs.asked()[0];
  EXPECT_EQ(summary.caption, "Vantrel Summary");
  EXPECT_EQ(summary.icon, platform::DialogIcon::None);
  // The summary is the last video's.
  EXPECT_NE(summary.text.find("\r\n  Total frames played: 4\r\n"), std::string::npos);
  EXPECT_NE(summary.text.find("Frame rate: As fast as possible."), std::string::npos);
  EXPECT_NE(summary.text.find("\r\n  Display blitter: CreateDIBSection"), std::string::npos);
}

// A name without an extension finds the video as ".Vnt", ".vnt" or ".VNT", in that order.
TEST_F(PlayerRun, TheVideoExtensionIsTriedInEachSpelling) {
  for (const char* extension : {".Vnt", ".vnt", ".VNT"}) {
    const std::string base = dir.File(std::string("spelled") + (extension + 1));
    std::filesystem::copy_file(a.path(), base + extension);
    shown.clear();
    EXPECT_EQ(Play(Quoted(base) + " /F /J"), 0) << extension;
    EXPECT_EQ(shown, Frames(16, 5)) << extension;
  }
  const std::string both = dir.File("both");
  std::filesystem::copy_file(a.path(), both + ".vnt");
  std::filesystem::copy_file(b.path(), both + ".VNT");
  shown.clear();
  EXPECT_EQ(Play(Quoted(both) + " /F /J"), 0);
  EXPECT_EQ(shown, Frames(16, 5));  // lower case before upper case
}

TEST_F(PlayerRun, OneVideoLoopsAndEachPictureIsShown) {
  std::vector<int> wrong;
  onFrame = [&](VantVideo& video) {
    platform::ProcessWindowEvents();
    QImage shownPicture = PlayerWindow()->Grab().copy(0, 0, 16, 8);
    wrong.push_back(CountDifferentPixels(shownPicture, a.Picture(video.currentFrame)));
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /L3 /J"), 0);
  EXPECT_EQ(shown, Frames(16, 5) + Frames(16, 5) + Frames(16, 5));
  EXPECT_EQ(wrong, std::vector<int>(15, 0));
  EXPECT_TRUE(dialogs.asked().empty());  // no summary without /S, no package box here
}

TEST_F(PlayerRun, KeysSkipAndQuit) {
  onFrame = [&](VantVideo& video) {
    if (video.header.width == 16 && video.currentFrame == 1) PressKey(Qt::Key_Period, ".");
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " " + Quoted(b.path()) + " /F /J"), 0);
  EXPECT_EQ(shown, Frames(16, 2) + Frames(24, 4));

  shown.clear();
  onFrame = [&](VantVideo& video) {
    if (video.currentFrame == 2) PressKey(Qt::Key_Escape, "\x1b");
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " " + Quoted(b.path()) + " /F /J /L"), 0);
  EXPECT_EQ(shown, Frames(16, 3));  // the rest of the list is not played

  // Closing the window ends playback like Esc.
  shown.clear();
  onFrame = [&](VantVideo& video) {
    if (video.currentFrame == 1) PlayerWindow()->Widget()->close();
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /J /L"), 0);
  EXPECT_EQ(shown, Frames(16, 2));
}

TEST_F(PlayerRun, FullScreenViewPassesTheKeysOn) {
  onFrame = [&](VantVideo& video) {
    ASSERT_EQ(PlayerBuffer()->kind, VANT_BLITTER_FULL_SCREEN_320X240);
    if (video.currentFrame != 2) return;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isFullScreen()) {
        QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape,
                                                          Qt::NoModifier, "\x1b"));
      }
    }
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /V1 /L3"), 0);
  EXPECT_EQ(shown, Frames(16, 3));
}

TEST_F(PlayerRun, DirectFullScreenShowsEveryFrameAndTheSummaryNamesIt) {
  const TestVideo full = WriteTestVideo(dir.File("full.vnt"), 320, 200, 4, 3);
  ASSERT_FALSE(full.path().empty());
  std::vector<int> wrong;
  onFrame = [&](VantVideo& video) {
    ASSERT_EQ(PlayerBuffer()->kind, VANT_BLITTER_FULL_SCREEN_DIRECT);
    QWidget* view = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isFullScreen() && widget->isVisible()) view = widget;
    }
    ASSERT_NE(view, nullptr);
    // Nothing is blitted: the frame shows at the display's next refresh.
    int different = -1;
    buffer_test::EventsUntil([&] {
      const QImage screen = view->grab().toImage();
      different = CountDifferentPixels(buffer_test::PictureOnScreen(screen, {320, 200}, {320, 200}),
                                       full.Picture(video.currentFrame));
      return different == 0;
    });
    wrong.push_back(different);
  };
  EXPECT_EQ(Play(Quoted(full.path()) + " /F /J /V2 /S"), 0);
  EXPECT_EQ(shown, Frames(320, 4));
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
  ASSERT_EQ(dialogs.asked().size(), 1u);
  EXPECT_NE(dialogs.asked()[0].text.find("\r\n  Display blitter: Full screen 320x200 direct"),
            std::string::npos);
}

TEST_F(PlayerRun, DisabledControlsIgnoreTheirKeys) {
  onFrame = [&](VantVideo& video) {
    if (video.currentFrame == 0) {
      PressKey(Qt::Key_Space, " ");
      PressKey(Qt::Key_Period, ".");
      PressKey(Qt::Key_Escape, "\x1b");
    }
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /J /U7"), 0);
  EXPECT_EQ(shown, Frames(16, 5));
}

TEST_F(PlayerRun, PauseHoldsTheFrameUntilAStep) {
  bool stepSent = false;
  std::vector<bool> stepSentAtFrame;
  onFrame = [&](VantVideo& video) {
    stepSentAtFrame.push_back(stepSent);
    if (video.currentFrame == 1) {
      PressKey(Qt::Key_Space, " ");
      // The step comes a little later: until then the player must hold frame 1.
      QTimer::singleShot(60, [&] {
        stepSent = true;
        PressKey(Qt::Key_Return, "\r");
      });
    }
    if (video.currentFrame == 2) PressKey(Qt::Key_Space, " ");  // carry on
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /J"), 0);
  EXPECT_EQ(shown, Frames(16, 5));
  EXPECT_EQ(stepSentAtFrame, (std::vector<bool>{false, false, true, true, true}));
}

TEST_F(PlayerRun, LosingTheFocusPausesUntilItComesBack) {
  std::unique_ptr<platform::Window> other;
  bool focusBack = false;
  std::vector<bool> focusBackAtFrame;
  onFrame = [&](VantVideo& video) {
    focusBackAtFrame.push_back(focusBack);
    if (video.currentFrame == 1) {
      other = platform::Window::Create("another program");
      other->Show();
      other->Activate();
      QTimer::singleShot(60, [&] {
        focusBack = true;
        PlayerWindow()->Activate();
      });
    }
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " /F"), 0);
  EXPECT_EQ(focusBackAtFrame, (std::vector<bool>{false, false, true, true, true}));
}

TEST(FocusWatch, WaitsOnlyAfterTheFocusWasHadAndLost) {
  FocusWatch watch;
  EXPECT_FALSE(watch.Waits(false));  // never had it: a window manager may never give it
  EXPECT_FALSE(watch.Waits(false));
  EXPECT_FALSE(watch.Waits(true));
  EXPECT_TRUE(watch.Waits(false));
  EXPECT_FALSE(watch.Waits(true));
}

TEST_F(PlayerRun, TheStreamSwitchPutsTheStreamBackEndInPlace) {
  const SoundBackEnd saved = DefaultAudioContext().backEnd;
  DefaultAudioContext().backEnd = SoundBackEnd{};
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /J"), 0);
  EXPECT_EQ(DefaultAudioContext().backEnd.open, WaveOutBackEnd().open);  // the first video's open chose it
  DefaultAudioContext().backEnd = SoundBackEnd{};
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /J /Z"), 0);
  EXPECT_EQ(DefaultAudioContext().backEnd.open, StreamBackEnd().open);
  DefaultAudioContext().backEnd = saved;
}

TEST_F(PlayerRun, UsageBoxAndFailuresGiveExitCodeOne) {
  EXPECT_EQ(Play(Quoted(a.path()) + " /Y "), 1);
  EXPECT_EQ(Play("  "), 1);
  ASSERT_EQ(dialogs.asked().size(), 2u);
  for (const platform::DialogRequest& box : dialogs.asked()) {
    EXPECT_EQ(box.caption.rfind("VantPlay  V 3.0k - ", 0), 0u);
    EXPECT_EQ(box.text, PlayerUsageText().substr(1));  // its first blank dropped, like every box's
  }
  EXPECT_TRUE(shown.empty());

  // A name that cannot be opened ends the list: the video after it is not played.
  const std::string missing = dir.File("missing");
  EXPECT_EQ(Play(Quoted(missing) + " " + Quoted(a.path()) + " /F /J"), 1);
  ASSERT_EQ(dialogs.asked().size(), 3u);
  EXPECT_EQ(dialogs.asked()[2].text, " Error opening file: " + missing + ".Vnt.");
  EXPECT_EQ(dialogs.asked()[2].icon, platform::DialogIcon::Error);
  EXPECT_EQ(dialogs.asked()[2].caption, "VantPlay");
  EXPECT_TRUE(shown.empty());

  // A file cut short plays the frames it holds, then says so and ends the list, looped or not.
  std::vector<char> bytes(std::filesystem::file_size(a.path()));
  std::ifstream(a.path(), std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const std::string cut = dir.File("cut.vnt");
  std::ofstream(cut, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() - 4));
  shown.clear();
  EXPECT_EQ(Play(Quoted(cut) + " " + Quoted(b.path()) + " /F /J /L"), 1);
  EXPECT_EQ(shown, Frames(16, 4));
  ASSERT_EQ(dialogs.asked().size(), 4u);
  EXPECT_EQ(dialogs.asked()[3].text, " Error reading file: " + cut + ".");
  EXPECT_EQ(dialogs.asked()[3].icon, platform::DialogIcon::Error);
  shown.clear();

  // The full-screen kinds show the video unstretched or not at all.
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /J /V2 /W32"), 1);
  ASSERT_EQ(dialogs.asked().size(), 5u);
  EXPECT_EQ(dialogs.asked()[4].text, " Error opening graphics buffer.");
  EXPECT_TRUE(shown.empty());
}

TEST_F(PlayerRun, SoundOnlyDrawsAProgressLine) {
  std::vector<int> filled;
  onFrame = [&](VantVideo&) {
    VantBuffer* buffer = PlayerBuffer();
    ASSERT_EQ(buffer->width, 160);
    ASSERT_EQ(buffer->height, 1);
    int count = 0;
    while (count < buffer->width && buffer->pixels[count] == 9) ++count;
    for (int x = count; x < buffer->width; ++x) EXPECT_EQ(buffer->pixels[x], 0);
    filled.push_back(count);
  };
  EXPECT_EQ(Play(Quoted(a.path()) + " /F /J /O"), 0);
  EXPECT_EQ(filled, (std::vector<int>{1, 33, 65, 97, 129}));
  // The line shows in a colour of its own.
  const QImage line = lastPicture.copy(0, 0, 160, 1);
  EXPECT_EQ(line.pixel(128, 0) | 0xFF000000u, qRgb(166, 202, 240));
  EXPECT_EQ(line.pixel(129, 0) | 0xFF000000u, qRgb(0, 0, 0));
}

TEST_F(PlayerRun, StoredSwitchesComeFirstAndStoredVideosAreReadFromTheOwnFile) {
  // An "own file" with the video inside it at offset 4096.
  std::ifstream in(a.path(), std::ios::binary);
  std::vector<char> video((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string own = dir.File("own");
  {
    std::ofstream out(own, std::ios::binary);
    out << std::string(4096, 'x');
    out.write(video.data(), static_cast<std::streamsize>(video.size()));
  }
  SetOwnFileForTesting(own);

  SetStoredCommandTextForTesting(":4096 /L /F /J");
  EXPECT_EQ(Play("/L2"), 0);  // the command line's /L2 overrides the stored /L
  EXPECT_EQ(shown, Frames(16, 5) + Frames(16, 5));

  // Stored videos come before the command line's.
  shown.clear();
  SetStoredCommandTextForTesting(":4096 /F /J");
  EXPECT_EQ(Play(Quoted(b.path())), 0);
  EXPECT_EQ(shown, Frames(16, 5) + Frames(24, 4));

  // An offset that holds no video is an open failure.
  shown.clear();
  SetStoredCommandTextForTesting(":4000 /F /J");
  EXPECT_EQ(Play(""), 1);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(dialogs.asked().back().text, " Error opening file: :4000.");

  SetStoredCommandTextForTesting("/Y");
  EXPECT_EQ(Play(Quoted(a.path())), 1);
  EXPECT_EQ(dialogs.asked().back().text.rfind(" SYNTAX", 0), 0u);
}

}  // namespace
