#pragma once
// Controls the tool pages share: named lists and number fields, the output sound's lists with
// the rate that may be typed, the lossy bar with its label, and handlers that nothing thrown
// leaves.
#include <QComboBox>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/face/frame_guard.h"

class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QWidget;

namespace frontend {

class FrontEnd;

// A control's handler, whatever the signal carries; nothing thrown may leave it.
template <typename Handler>
auto Guarded(Handler handler) {
  return platform::Guarded("The page's control", std::move(handler));
}

// A button whose handler nothing thrown leaves.
QPushButton* Button(QWidget* parent, const char* caption, std::function<void()> pressed);
// "&Help", "Ho&w do I...?" and "Back to &Main", with which every page's buttons end; Escape on
// the page presses "Back to &Main".
std::vector<QPushButton*> HelpAndBackButtons(QWidget* parent, FrontEnd& frontEnd);

// The page's body above a row of its buttons, aligned right, with `left` (if any) at the row's
// left end.
void LayOutPage(QWidget* page, QLayout* body, const std::vector<QPushButton*>& buttons, QWidget* left = nullptr);
// What a double-click on a file list does on most pages: open the file as its type says.
std::function<void(const std::string& path)> OpenByType(FrontEnd& frontEnd);

QComboBox* Choice(QWidget* parent, const char* name, std::initializer_list<const char*> items);
// Digits only (a leading '-' when allowed), at most `length` characters.
QLineEdit* NumberEdit(QWidget* parent, const char* name, int length, bool signAllowed);
// Ctrl+PageDown in the memo moves to the end of the line, as End does, instead of leaving the
// page.
void EndOnCtrlPageDown(QPlainTextEdit& memo);
// Calls `left` each time `widget` loses the focus (not for a pop-up opening over it).
void CallWhenFocusLeaves(QWidget* widget, std::function<void()> left);

// The output rate list: "Copy the input playback rate.", three rates, and "Let me enter a
// specific rate." (entry kTypedRateEntry), which a TypedRateBox turns into a field for a typed
// rate.
inline constexpr int kTypedRateEntry = 4;
QComboBox* SoundRateBox(QWidget* parent, const char* name);
QComboBox* SoundBitsBox(QWidget* parent, const char* name);
QComboBox* SoundChannelsBox(QWidget* parent, const char* name);

// The lossy bar 0 to 9 and its label "Lossy (n):".
QScrollBar* LossyBar(QWidget* parent, QLabel*& label);

}  // namespace frontend
