#include "platform/gui/window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <vector>


namespace {

using platform::KeyEvent;
using platform::Window;

// Records what the window tells its owner.
struct Recorder : platform::WindowEvents {
  int paints = 0;
  std::vector<KeyEvent> keys;
  std::vector<char32_t> characters;
  std::vector<platform::MouseButton> releases;
  bool keep_open = false;
  int close_requests = 0;

  void Paint(Window&) override { ++paints; }
  void KeyDown(Window&, const KeyEvent& key) override { keys.push_back(key); }
  void Character(Window&, char32_t code, const KeyEvent&) override { characters.push_back(code); }
  void MouseReleased(Window&, platform::MouseButton button) override { releases.push_back(button); }
  bool CloseRequested(Window&) override {
    ++close_requests;
    return keep_open;
  }
};

void Press(Window& window, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(window.Widget(), &event);
}

TEST(Window, SurfaceDrawingShowsInTheClientArea) {
  auto window = Window::Create("surface");
  ASSERT_NE(window, nullptr);
  window->Place(10, 20, 64, 48);
  window->Show();
  platform::ProcessWindowEvents();
  ASSERT_EQ(window->Surface().size(), QSize(64, 48));

  QPainter(&window->Surface()).fillRect(QRect(8, 4, 16, 10), QColor(10, 200, 30));
  window->ShowSurface(QRect(8, 4, 16, 10));
  QImage shown = window->Grab();
  ASSERT_EQ(shown.size(), QSize(64, 48));
  EXPECT_EQ(shown.pixel(8, 4), qRgb(10, 200, 30));
  EXPECT_EQ(shown.pixel(23, 13), qRgb(10, 200, 30));
  EXPECT_EQ(shown.pixel(24, 13), qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(7, 4), qRgb(0, 0, 0));
}

TEST(Window, PaintRequestsReachTheOwnerOnceAndOnResize) {
  auto window = Window::Create("paint");
  ASSERT_NE(window, nullptr);
  Recorder owner;
  window->SetEvents(&owner);
  window->Place(0, 0, 40, 30);
  window->Show();
  platform::ProcessWindowEvents();
  owner.paints = 0;

  window->Invalidate();
  window->Invalidate();
  EXPECT_EQ(owner.paints, 0);  // runs from the event loop, not from the call
  platform::ProcessWindowEvents();
  EXPECT_EQ(owner.paints, 1);

  window->Invalidate();
  window->UpdateNow();
  EXPECT_EQ(owner.paints, 2);
  platform::ProcessWindowEvents();
  EXPECT_EQ(owner.paints, 2);

  // A new size keeps what was drawn and asks for the rest.
  window->Surface().fill(qRgb(1, 2, 3));
  window->Place(0, 0, 50, 35);
  platform::ProcessWindowEvents();
  EXPECT_EQ(owner.paints, 3);
  EXPECT_EQ(window->FrameRect().size(), QSize(50, 35));
  ASSERT_EQ(window->Surface().size(), window->ClientRect().size());
  EXPECT_EQ(window->Surface().pixel(39, 29), qRgb(1, 2, 3));
  QSize client = window->ClientRect().size();
  EXPECT_EQ(window->Surface().pixel(client.width() - 1, client.height() - 1), qRgb(0, 0, 0));
}

TEST(Window, KeysArriveAsPcKeyNumbersThenTheirCharacters) {
  auto window = Window::Create("keys");
  ASSERT_NE(window, nullptr);
  Recorder owner;
  window->SetEvents(&owner);

  Press(*window, Qt::Key_F1, Qt::ShiftModifier, QString());
  Press(*window, Qt::Key_A, Qt::NoModifier, "a");
  Press(*window, Qt::Key_X, Qt::AltModifier, "x");
  Press(*window, Qt::Key_PageUp, Qt::ControlModifier, QString());
  Press(*window, Qt::Key_Delete, Qt::NoModifier, QString());
  Press(*window, Qt::Key_Escape, Qt::NoModifier, "\x1b");
  Press(*window, Qt::Key_F10, Qt::NoModifier, QString());

  ASSERT_EQ(owner.keys.size(), 7u);
  EXPECT_EQ(owner.keys[0].key, 112);
  EXPECT_TRUE(owner.keys[0].shift);
  EXPECT_FALSE(owner.keys[0].control);
  EXPECT_EQ(owner.keys[1].key, 65);
  EXPECT_EQ(owner.keys[2].key, 88);
  EXPECT_TRUE(owner.keys[2].alt);
  EXPECT_EQ(owner.keys[3].key, 33);
  EXPECT_TRUE(owner.keys[3].control);
  EXPECT_EQ(owner.keys[4].key, 46);
  EXPECT_EQ(owner.keys[5].key, 27);
  EXPECT_EQ(owner.keys[6].key, 121);
  // Alt+X types nothing; keys without text type nothing.
  EXPECT_EQ(owner.characters, (std::vector<char32_t>{U'a', 27}));
}

TEST(Window, ClicksAndCloseRequestsGoToTheOwner) {
  auto window = Window::Create("close");
  ASSERT_NE(window, nullptr);
  Recorder owner;
  window->SetEvents(&owner);
  window->Show();
  platform::ProcessWindowEvents();

  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window->Widget(), &release);
  ASSERT_EQ(owner.releases.size(), 1u);
  EXPECT_EQ(owner.releases[0], platform::MouseButton::kRight);

  owner.keep_open = true;
  window->Widget()->close();
  EXPECT_EQ(owner.close_requests, 1);
  EXPECT_TRUE(window->IsVisible());

  owner.keep_open = false;
  window->Widget()->close();
  EXPECT_EQ(owner.close_requests, 2);
  EXPECT_FALSE(window->IsVisible());
}

TEST(Window, HandlesOfClosedWindowsAreRefused) {
  auto window = Window::Create("handle");
  void* handle = window->Handle();
  EXPECT_EQ(Window::FromHandle(handle), window.get());
  int not_a_window = 0;
  EXPECT_EQ(Window::FromHandle(&not_a_window), nullptr);
  EXPECT_EQ(Window::FromHandle(nullptr), nullptr);
  window.reset();
  EXPECT_EQ(Window::FromHandle(handle), nullptr);
}

TEST(Window, RestoringAWindowWithARestoreTargetActivatesTheTarget) {
  auto owner = Window::Create("owner");
  ASSERT_NE(owner, nullptr);
  owner->Show();
  platform::ProcessWindowEvents();
  auto stand_in = Window::Create("stand-in", platform::WindowStyle{.full_screen = true});
  stand_in->Show();
  owner->ShowMinimized();
  owner->SetRestoreTarget(stand_in.get());
  platform::ProcessWindowEvents();

  owner->ShowNormal();
  platform::ProcessWindowEvents();
  EXPECT_TRUE(owner->IsMinimized());
  EXPECT_TRUE(stand_in->IsActive());

  // Without a target (or once it is gone) a restore is a restore.
  stand_in.reset();
  owner->ShowNormal();
  platform::ProcessWindowEvents();
  EXPECT_FALSE(owner->IsMinimized());
}

}  // namespace
