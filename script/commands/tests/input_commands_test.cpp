// Keys, clicks, mouse areas, message boxes and the line editor, in scripts run in this process
// on the offscreen platform. Keys are queued and clicks posted before the script that reads
// them runs in the window an earlier script made.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWidget>

#include "platform/gui/tests/key_event.h"
#include "platform/gui/window.h"
#include "player/player_window.h"
#include "script/screen/mouse_areas.h"
#include "script/screen/script_input.h"
#include "script/commands/slot_numbers.h"
#include "script/tests/script_runner.h"

namespace {

using testsupport::Key;

TEST(ScriptKeys, KeysAndCharactersGetTheirNames) {
  struct KeyCase {
    platform::KeyEvent key;
    char32_t character;  // typed with the key, 0 for none
    const char* name;    // nullptr: nothing is queued
  };
  const KeyCase cases[] = {
      {Key(platform::kKeyF1), 0, "F1"},
      {Key(platform::kKeyF10), 0, "F10"},
      {Key(platform::kKeyF1 + 2, true), 0, "SHIFT F3"},
      {Key(platform::kKeyF10, false, true), 0, "CONTROL F10"},
      {Key(platform::kKeyF1 + 8, false, false, true), 0, "ALT F9"},
      {Key(platform::kKeyF10, false, false, true), 0, "ALT F10"},
      {Key(platform::kKeyTab, true), U'\t', "BACKTAB"},
      {Key(platform::kKeyTab), U'\t', "TAB"},
      {Key(platform::kKeyPageUp), 0, "PAGEUP"},
      {Key(platform::kKeyDown), 0, "DOWN"},
      {Key(platform::kKeyDelete), 0, "DELETE"},
      {Key(platform::kKeyEnter), U'\r', "ENTER"},
      {Key(platform::kKeyEscape), U'\x1b', "ESCAPE"},
      {Key(platform::kKeyBackspace), U'\b', "BACKSPACE"},
      {Key(platform::kKeySpace), U' ', "SPACE"},
      {Key(platform::kKeyA, true), U'A', "A"},
      {Key(platform::kKeyNone), U'\u00f1', nullptr},  // would read as 241, the close code
      {Key(platform::kKeyNone), U'\u00d0', nullptr},  // would read as F1
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name != nullptr ? c.name : "dropped");
    int code = PlayerKeyDownCode(c.key);
    if (code == 0 && c.character != 0) code = PlayerCharacterCode(c.character, c.key.shift);
    if (c.name == nullptr) {
      EXPECT_EQ(code, 0);
    } else {
      EXPECT_EQ(script::KeyName(code), c.name);
    }
  }
  EXPECT_EQ(script::KeyName(kCloseCode), "ALT F4");
  EXPECT_EQ(script::KeyName(150), std::string(1, static_cast<char>(150)));
}

TEST(ScriptMouseAreas, ThirtyTwoSetsAreSavedAndAnEmptyStackIsNotPopped) {
  script::MouseAreas areas;
  EXPECT_FALSE(areas.Pop());
  for (int i = 0; i < 32; ++i) {
    ASSERT_TRUE(areas.Add("set" + std::to_string(i), 0, 10, 0, 10, -1));
    ASSERT_TRUE(areas.Push());
  }
  EXPECT_FALSE(areas.Push());
  ASSERT_TRUE(areas.Add("inner", 0, 10, 0, 10, -1));
  ASSERT_TRUE(areas.Pop());
  const script::MouseArea* found = areas.Find(5, 5);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->name, "set31");  // the 33rd push changed nothing
  EXPECT_EQ(areas.Count(), 32u);
}

class ScriptInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPlayerKeys();
    SetPlayerProgramTitle("VantScript");
    run = runner.Run("screengraphics ok 64 48\n");
    ASSERT_EQ(run.Variable("OK"), "1");
    run.context->screen.pointer.SetPresent(true);
  }
  void TearDown() override { ClearPlayerKeys(); }

  void Type(const std::string& keys) {
    for (char c : keys) QueuePlayerKey(static_cast<unsigned char>(c));
  }
  // Puts the system pointer over a window position.
  void PointAt(int x, int y) {
    QCursor::setPos(PlayerWindow()->Widget()->mapToGlobal(QPoint(x, y)));
  }
  void Click(Qt::MouseButton button) {
    QWidget* widget = PlayerWindow()->Widget();
    const QPointF at(1, 1);
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at),
                                                         button, Qt::NoButton, Qt::NoModifier));
  }
  void Run(const std::string& text) {
    runner.RunIn(run, text);
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  }

  ScriptRunner runner;
  ScriptRun run;
};

TEST_F(ScriptInput, AKeyComesBeforeAClickAndAClickBeforeTheTimeLimit) {
  PointAt(30, 30);
  Type("q");
  Click(Qt::LeftButton);
  Run("inputcharordelay a 0\ninputcharordelay b 0\ninputcharordelay c 0\ninputcharordelay d 15\n");
  EXPECT_EQ(run.Variable("A"), "q");
  EXPECT_EQ(run.Variable("B"), "LEFT MOUSE");
  EXPECT_EQ(run.Variable("C"), "DELAY");
  EXPECT_EQ(run.Variable("D"), "DELAY");

  // Without a mouse clicks are counted but not reported.
  run.context->screen.pointer.SetPresent(false);
  Click(Qt::RightButton);
  Run("inputcharordelay a 0\n");
  EXPECT_EQ(run.Variable("A"), "DELAY");
}

TEST_F(ScriptInput, TheSixtyFifthKeyIsLost) {
  for (int i = 0; i < 65; ++i) QueuePlayerKey('a' + i % 26);
  std::string script;
  for (int i = 0; i < 65; ++i) script += "inputcharordelay k" + std::to_string(i) + " 0\n";
  Run(script);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(run.Variable("K" + std::to_string(i)), std::string(1, 'a' + i % 26));
  EXPECT_EQ(run.Variable("K64"), "DELAY");
}

TEST_F(ScriptInput, ClicksOverMouseAreasGiveTheirNames) {
  const std::string longName(40, 'n');
  Run("mouseadd \"Back\" 0 0 64 48 0\nmouseadd \"Over\" 20 20 20 20 0\n"
      "mouseadd \"" + longName + "\" 50 0 10 10 0\nmousepop\n");  // nothing saved: ignored
  struct ClickCase {
    int x, y;
    Qt::MouseButton button;
    std::string name;
    std::string script = "inputcharordelay k 2000\nmousearea a\n";
  };
  const std::vector<ClickCase> cases = {
      {25, 25, Qt::LeftButton, "Over"},
      {10, 10, Qt::LeftButton, "Back"},
      {55, 5, Qt::LeftButton, std::string(31, 'n')},
      {25, 25, Qt::RightButton, "RIGHT MOUSE"},
      {25, 25, Qt::LeftButton, "Inner", "mousepushandremoveall\nmouseadd \"Inner\" 24 24 2 2 0\ninputcharordelay k 2000\n"},
      {30, 30, Qt::LeftButton, "LEFT MOUSE", "inputcharordelay k 2000\nmousearea a\n"},  // only Inner is searched
      {25, 25, Qt::LeftButton, "Over", "mousepop\ninputcharordelay k 2000\nmousearea a\n"},
      {25, 25, Qt::LeftButton, "Back", "mouseremove \"Over\"\ninputcharordelay k 2000\n"},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(c.name);
    PointAt(c.x, c.y);
    Click(c.button);
    Run(c.script);
    EXPECT_EQ(run.Variable("K"), c.name);
  }
  EXPECT_EQ(run.Variable("A"), "Over");

  std::string filling;
  for (int i = 3; i <= 128; ++i) filling += "mouseadd \"a" + std::to_string(i) + "\" 0 0 1 1 0\n";
  Run(filling);
  runner.RunIn(run, "mouseadd \"one too many\" 0 0 1 1 0\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.LastBox().find("Could not add mouse area in command:"), std::string::npos);
}

TEST_F(ScriptInput, MessageBoxesAnswerWithTheirButtons) {
  struct BoxCase {
    int style;
    platform::DialogAnswer answer;
    platform::DialogButtons buttons;
    platform::DialogIcon icon;
    const char* result;
  };
  const BoxCase cases[] = {
      {0, platform::DialogAnswer::Ok, platform::DialogButtons::Ok, platform::DialogIcon::Information, "1"},
      {2, platform::DialogAnswer::Cancel, platform::DialogButtons::OkCancel, platform::DialogIcon::Warning, "2"},
      {12, platform::DialogAnswer::No, platform::DialogButtons::YesNo, platform::DialogIcon::Question, "8"},
      {14, platform::DialogAnswer::Yes, platform::DialogButtons::YesNoCancel, platform::DialogIcon::Question, "4"},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.style);
    runner.Answer({c.answer});
    Run("inputmsgwin r -1 -1 " + std::to_string(c.style) + " 'Save?'\n");
    ASSERT_FALSE(run.boxes.empty());
    EXPECT_EQ(run.boxes.back().text, "Save?");
    EXPECT_EQ(run.boxes.back().caption, "VantScript");
    EXPECT_EQ(run.boxes.back().buttons, c.buttons);
    EXPECT_EQ(run.boxes.back().icon, c.icon);
    EXPECT_EQ(run.Variable("R"), c.result);
  }
}

TEST_F(ScriptInput, TheLineEditorReadsPrintableCharactersUpToItsLimit) {
  struct LineCase {
    std::string keys;
    std::string script;
    std::string line;
  };
  const std::vector<LineCase> cases = {
      {"hi\xa5\xd0\x08o\r", "inputstr v 10 \"> \"", "ho"},  // LEFT and F1 are no characters
      {"abc\r", "inputstr v 1 \"\"", "a"},
      {"\rxy\x1b", "inputstr v -5 \"\"", ""},                  // a limit below 0 reads nothing
      {"abc\r", "inputstr v 5000 \"\"", "abc"},
      {"x\r", "inputstrwin v -1 -1 10 \"Name?\"", "x"},
      {"big\r", "inputstrwin v 0 0 700 \"a box wider than the window\"", "big"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.script);
    Run("screenclear 3\ntextsetxy 4 4\n");
    Type(c.keys);
    Run("varset v \"old\"\n" + c.script + "\ntextx tx\n");
    EXPECT_EQ(run.Variable("V"), c.line);
    ClearPlayerKeys();
  }
  // The input box leaves the window and the text cursor as they were.
  const script::PixelCanvas canvas = run.context->screen.window.Canvas();
  for (int32_t y = 0; y < canvas.height; ++y) {
    for (int32_t x = 0; x < canvas.width; ++x) ASSERT_EQ(script::GetPixel(canvas, x, y), 3) << x << "," << y;
  }
  EXPECT_EQ(run.Variable("TX"), "4");
}

// Entry 70 of a new window's palette: red 6 of 63.
constexpr uint32_t kRed = 24u << 16;

// The pointer is laid over the window's picture: the picture keeps its pixels under it.
TEST_F(ScriptInput, ThePointerIsDrawnOverThePictureAndFallsBackWhenItsBitmapGoes) {
  const int slot = run.context->screen.bitmaps.Alloc(3, 3);
  std::fill_n(run.context->screen.bitmaps.Get(slot)->pixels.get(), 9, 63);  // white
  Run("screenclear 70\nmouseadd \"B\" 40 0 24 48 9000\n");
  PointAt(20, 10);
  Run("inputcharordelay k 0\nscreengetpixel p 20 10\nmousex mx\nmousey my\n");
  QImage shown = PlayerWindow()->Grab();
  EXPECT_EQ(run.Variable("P"), "70");
  EXPECT_EQ(run.Variable("MX"), "20");
  EXPECT_EQ(run.Variable("MY"), "10");
  // The arrow: its dark edge in black (entry 0) and its bright inside in white (entry 63).
  EXPECT_EQ(shown.pixel(20, 10) & 0xFFFFFF, 0u);
  EXPECT_EQ(shown.pixel(21, 12) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(shown.pixel(25, 10) & 0xFFFFFF, kRed);  // beside the arrow: the picture

  PointAt(50, 10);
  Run("inputcharordelay k 0\n");
  shown = PlayerWindow()->Grab();
  EXPECT_EQ(shown.pixel(52, 12) & 0xFFFFFF, 0xFFFFFFu);  // the bitmap's 3 x 3 white square
  EXPECT_EQ(shown.pixel(53, 12) & 0xFFFFFF, kRed);

  script::FreeBitmap(run.context->screen, slot);
  PointAt(50, 20);
  Run("inputcharordelay k 0\n");
  shown = PlayerWindow()->Grab();
  EXPECT_EQ(shown.pixel(51, 22) & 0xFFFFFF, 0xFFFFFFu);  // the arrow again
  EXPECT_EQ(shown.pixel(50, 28) & 0xFFFFFF, 0u);
  EXPECT_EQ(shown.pixel(51, 28) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
