#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/gui/screen.h"
#include "platform/gui/window.h"
#include "player/player_window.h"

namespace {

class PlayerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPlayerKeys(); }
  void TearDown() override {
    DestroyPlayerWindow();
    SetPlayerStretch(0, 0);
  }
};

void Post(QEvent* event) { QCoreApplication::postEvent(PlayerWindow()->Widget(), event); }

void PostKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
  Post(new QKeyEvent(QEvent::KeyPress, qtKey, modifiers, text));
}

TEST(PlayerWindowPlacement, CentresTheClientAreaAndKeepsItOnTheScreen) {
  EXPECT_EQ(PlacementFor(-1, 1024, 320, 0), 352);
  EXPECT_EQ(PlacementFor(-1, 1024, 320, 8), 344);  // the frame's left edge is 8 pixels further out
  EXPECT_EQ(PlacementFor(-1, 1024, 1024, 0), 0);
  // Larger than the screen: at the screen's edge, not thousands of pixels away.
  EXPECT_EQ(PlacementFor(-1, 800, 1600, 4), 0);
  EXPECT_EQ(PlacementFor(-1, 800, 801, 0), 0);
  // Positions given are taken as they are.
  EXPECT_EQ(PlacementFor(25, 800, 1600, 4), 25);
  EXPECT_EQ(PlacementFor(-20, 800, 100, 4), -20);
}

TEST_F(PlayerWindowTest, WindowCarriesABufferOfTheVideosSize) {
  ASSERT_TRUE(CreatePlayerWindow(0, 30, 20, 48, 64));
  platform::ProcessWindowEvents();
  VantBuffer* buffer = PlayerBuffer();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->width, 64);
  EXPECT_EQ(buffer->height, 48);
  EXPECT_EQ(buffer->kind, VANT_BLITTER_DIB_SECTION);
  // The position is the frame's; the client area is the video's size.
  EXPECT_EQ(PlayerWindow()->FrameRect().topLeft(), QPoint(20, 30));
  EXPECT_EQ(PlayerWindow()->ClientRect().size(), QSize(64, 48));
  EXPECT_TRUE(PlayerWindow()->IsVisible());

  // A later video of another size gets a buffer of its own, and the window follows it.
  VantBufferClear(buffer, 3);
  ASSERT_TRUE(CreatePlayerWindow(0, -1, -1, 20, 32));
  platform::ProcessWindowEvents();
  ASSERT_NE(PlayerBuffer(), nullptr);
  EXPECT_EQ(PlayerBuffer()->width, 32);
  EXPECT_EQ(PlayerBuffer()->height, 20);
  const platform::ScreenInfo screen = platform::QueryScreen();
  EXPECT_EQ(PlayerWindow()->ClientRect(),
            QRect((screen.width - 32) / 2, (screen.height - 20) / 2, 32, 20));

  DestroyPlayerWindow();
  EXPECT_EQ(PlayerWindow(), nullptr);
  EXPECT_EQ(PlayerBuffer(), nullptr);
  EXPECT_EQ(LastBufferKind(), VANT_BLITTER_DIB_SECTION);
  EXPECT_EQ(LastBufferScreenColors(), 1 << 24);
}

TEST_F(PlayerWindowTest, BlitterRequestAndStretch) {
  SetPlayerStretch(128, 96);
  ASSERT_TRUE(CreatePlayerWindow(kBlitterRequestStandard, 0, 0, 48, 64));
  platform::ProcessWindowEvents();
  EXPECT_EQ(PlayerBuffer()->kind, VANT_BLITTER_STANDARD_DIBS);
  EXPECT_EQ(PlayerBuffer()->displayWidth, 128);
  EXPECT_EQ(PlayerWindow()->ClientRect().size(), QSize(128, 96));

  // The pixels show in the window, stretched.
  uint8_t palette[256][3] = {};
  palette[7][0] = 200;
  palette[7][1] = 100;
  palette[7][2] = 50;
  VantBufferNewPalette(PlayerBuffer(), palette, 0);
  ClearPlayerWindow(7);
  platform::ProcessWindowEvents();
  const QImage shown = PlayerWindow()->Grab();
  EXPECT_EQ(shown.pixel(0, 0) | 0xFF000000u, qRgb(200, 100, 50));
  EXPECT_EQ(shown.pixel(127, 95) | 0xFF000000u, qRgb(200, 100, 50));
}

TEST_F(PlayerWindowTest, StylesChooseTheFrame) {
  struct Case {
    uint32_t flags;
    bool frameless;
    bool titleless;
  };
  const Case cases[] = {
      {0, false, false},
      {kWindowNoDialogFrame | kWindowThinBorder, false, false},                     // style 1
      {kWindowNoCaption | kWindowNoDialogFrame | kWindowThinBorder, false, true},   // style 2
      {kWindowNoCaption, false, true},                                              // style 3
      {kWindowNoCaption | kWindowNoDialogFrame, true, true},                        // style 4
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(CreatePlayerWindow(c.flags, 0, 0, 8, 8));
    const Qt::WindowFlags flags = PlayerWindow()->Widget()->windowFlags();
    EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), c.frameless) << c.flags;
    EXPECT_EQ(flags.testFlag(Qt::CustomizeWindowHint) && !flags.testFlag(Qt::WindowTitleHint),
              c.titleless && !c.frameless)
        << c.flags;
    DestroyPlayerWindow();
  }
}

// The window is as large as the video, never resized or maximized, and carries the toolkit's
// icon, in every style.
TEST_F(PlayerWindowTest, WindowKeepsTheVideosSizeAndCarriesTheIcon) {
  for (const uint32_t flags : {uint32_t{0}, uint32_t{kWindowNoDialogFrame | kWindowThinBorder}, uint32_t{kWindowNoCaption}}) {
    ASSERT_TRUE(CreatePlayerWindow(flags, 0, 0, 48, 64));
    platform::ProcessWindowEvents();
    QWidget* widget = PlayerWindow()->Widget();
    EXPECT_EQ(widget->minimumSize(), QSize(64, 48)) << flags;
    EXPECT_EQ(widget->maximumSize(), QSize(64, 48)) << flags;
    EXPECT_FALSE(widget->windowFlags().testFlag(Qt::WindowMaximizeButtonHint)) << flags;
    EXPECT_FALSE(widget->windowIcon().isNull()) << flags;
    // A later video of another size still fixes the window to its own size.
    ASSERT_TRUE(CreatePlayerWindow(flags, 0, 0, 20, 32));
    platform::ProcessWindowEvents();
    EXPECT_EQ(widget->maximumSize(), QSize(32, 20)) << flags;
    DestroyPlayerWindow();
  }
}

TEST_F(PlayerWindowTest, KeysClicksAndCloseReachTheQueue) {
  ASSERT_TRUE(CreatePlayerWindow(0, 0, 0, 8, 8));
  PostKey(Qt::Key_F1, Qt::ShiftModifier);
  PostKey(Qt::Key_F1, Qt::ControlModifier);
  PostKey(Qt::Key_F1, Qt::AltModifier);
  PostKey(Qt::Key_Home, Qt::NoModifier);
  PostKey(Qt::Key_Return, Qt::NoModifier, "\r");
  PostKey(Qt::Key_Backtab, Qt::ShiftModifier, "\t");
  PostKey(Qt::Key_X, Qt::AltModifier, "x");  // Alt with a letter queues nothing
  PostKey(Qt::Key_Space, Qt::NoModifier, " ");
  const uint32_t left = PlayerClicks(false), right = PlayerClicks(true);
  Post(new QMouseEvent(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::RightButton,
                       Qt::NoButton, Qt::NoModifier));
  EXPECT_NE(PumpPlayerMessages(), 0);
  PlayerWindow()->Widget()->close();
  platform::ProcessWindowEvents();

  std::vector<int> codes;
  for (int code = TakePlayerKey(); code != 0; code = TakePlayerKey()) codes.push_back(code);
  EXPECT_EQ(codes, (std::vector<int>{218, 228, 238, 164, 13, 137, 32, kCloseCode}));
  EXPECT_EQ(PlayerClicks(false), left);
  EXPECT_EQ(PlayerClicks(true), right + 1);
  // Asking to close only queues the code: the window stays until the player ends.
  EXPECT_TRUE(PlayerWindow()->IsVisible());
  EXPECT_EQ(PumpPlayerMessages(), 0);  // nothing more waits
}

}  // namespace
