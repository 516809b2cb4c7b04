#include "platform/gui/window_placement.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include "platform/gui/qt_application.h"

namespace {

using platform::CentredFrame;

// A screen of 1280 x 1024 with a panel of 30 pixels along its top.
const QRect kAvailable(0, 30, 1280, 994);

TEST(WindowPlacement, AFrameIsCentredOnItsOwnerAndMovedAsLittleAsItTakesToStayOnTheScreen) {
  const struct {
    const char* what;
    QRect owner;
    QSize frame;
    QPoint expected;
  } cases[] = {
      {"room all round", QRect(200, 200, 800, 600), QSize(400, 300), QPoint(400, 350)},
      {"owner near the right edge", QRect(900, 200, 600, 400), QSize(700, 300), QPoint(580, 250)},
      {"owner near the bottom edge", QRect(100, 800, 400, 400), QSize(300, 300), QPoint(150, 724)},
      {"owner above the panel", QRect(-100, -200, 300, 300), QSize(300, 300), QPoint(0, 30)},
      {"wider than the screen: the left edge stays on it", QRect(0, 30, 1280, 994), QSize(1500, 200), QPoint(0, 427)},
      {"taller than the screen: the top edge stays on it", QRect(0, 30, 1280, 994), QSize(200, 1100), QPoint(540, 30)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QRect placed = CentredFrame(c.owner, c.frame, kAvailable);
    EXPECT_EQ(placed.size(), c.frame);
    EXPECT_EQ(placed.topLeft(), c.expected);
  }
}

TEST(WindowPlacement, ASizeForTheDesignFontGrowsWithAWiderAndTallerFont) {
  ASSERT_TRUE(platform::MakeGuiApplication());
  QFont font;
  font.setPixelSize(12);
  const QFontMetrics small(font);
  font.setPixelSize(24);
  const QFontMetrics large(font);
  const QSize designed(500, 300);
  const QSize atSmall = platform::ScaledForFont(designed, small);
  const QSize atLarge = platform::ScaledForFont(designed, large);
  EXPECT_GT(atLarge.width(), atSmall.width() * 3 / 2);
  EXPECT_GT(atLarge.height(), atSmall.height() * 3 / 2);
}

}  // namespace
