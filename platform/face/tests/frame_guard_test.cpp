#include "platform/face/frame_guard.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "platform/face/dialogs.h"

namespace platform {
namespace {

// A face whose every dialog fails, as a box that cannot be made would.
class FailingFace : public DialogFace {
 public:
  DialogResult Run(const DialogRequest&) override { throw std::runtime_error("no window"); }
};

TEST(FrameGuard, SaysWhatWasCaughtAndWhere) {
  struct Case {
    std::function<void()> work;
    std::string said;
  };
  const Case cases[] = {
      {[] { throw std::runtime_error("disk full"); }, "The copy failed: disk full"},
      {[] { throw std::bad_alloc(); }, "The copy failed: std::bad_alloc"},
      {[] { throw 7; }, "The copy failed: an unknown error"},
  };
  for (const Case& c : cases) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(RunGuarded("The copy", c.work));
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.asked()[0].text, c.said);
    EXPECT_EQ(dialogs.asked()[0].icon, DialogIcon::Error);
  }
}

TEST(FrameGuard, WorkThatReturnsIsNotReported) {
  ScriptedDialogs dialogs;
  int runs = 0;
  EXPECT_TRUE(RunGuarded("The copy", [&] { ++runs; }));
  const auto handler = Guarded("The button", [&] { ++runs; });
  handler(true, 3);  // whatever the signal carries
  EXPECT_EQ(runs, 2);
  EXPECT_TRUE(dialogs.asked().empty());
}

TEST(FrameGuard, StandardErrorWhereNoBoxMayOpen) {
  ScriptedDialogs dialogs;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(RunGuarded("Painting", [] { throw std::runtime_error("lost"); }, CaughtReport::StandardError));
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("Painting failed: lost\n"), std::string::npos) << printed;
  EXPECT_TRUE(dialogs.asked().empty());
}

TEST(FrameGuard, ABoxThatFailsStillLetsTheTextOut) {
  FailingFace failing;
  ScopedDialogFace scope(failing);
  testing::internal::CaptureStderr();
  const auto handler = Guarded("The menu entry", [] { throw std::runtime_error("gone"); });
  EXPECT_NO_THROW(handler());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("The menu entry failed: gone"), std::string::npos);
}

}  // namespace
}  // namespace platform
