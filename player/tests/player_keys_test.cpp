#include <gtest/gtest.h>

#include "platform/gui/tests/key_event.h"
#include "platform/gui/key_codes.h"
#include "platform/gui/window.h"
#include "player/player_window.h"

namespace {

using testsupport::Key;

TEST(PlayerKeys, FunctionKeysWithTheirModifiers) {
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF1)), 208);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF1, true)), 218);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF1, false, true)), 228);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF1, false, false, true)), 238);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF10)), 217);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF10, false, false, true)), 247);
  // Alt+F4 asks to close, like closing the window.
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF1 + 3, false, false, true)), kCloseCode);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyF1 + 10)), 0);  // F11 has no code
}

TEST(PlayerKeys, CursorKeysAndCharacters) {
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyPageUp)), 161);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyDown)), 168);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyInsert)), 173);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyDelete)), 174);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyLeft, false, false, true)), 0);
  // Keys that type characters queue those instead.
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyEnter)), 0);
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyA)), 0);
  EXPECT_EQ(PlayerCharacterCode(U'\r', false), 13);
  EXPECT_EQ(PlayerCharacterCode(U' ', false), 32);
  EXPECT_EQ(PlayerCharacterCode(U'.', false), 46);
  EXPECT_EQ(PlayerCharacterCode(U'\x1b', false), 27);
  EXPECT_EQ(PlayerCharacterCode(U'A', true), 65);
  // Shift+Tab is one code, from the key press alone.
  EXPECT_EQ(PlayerKeyDownCode(Key(platform::kKeyTab, true)), 137);
  EXPECT_EQ(PlayerCharacterCode(U'\t', true), 0);
  EXPECT_EQ(PlayerCharacterCode(U'\t', false), 9);
  // Delete's character and characters beyond ASCII would read as the window's own codes.
  EXPECT_EQ(PlayerCharacterCode(U'\x7f', false), 0);
  EXPECT_EQ(PlayerCharacterCode(U'\u00f1', false), 0);  // would be 241, the close code
}

TEST(PlayerKeys, QueueHoldsSixtyFourCodes) {
  ClearPlayerKeys();
  for (int i = 1; i <= 65; ++i) QueuePlayerKey(i);
  for (int i = 1; i <= 64; ++i) ASSERT_EQ(TakePlayerKey(), i);
  EXPECT_EQ(TakePlayerKey(), 0);  // the 65th was dropped
}

}  // namespace
