// The playback window's key codes and key queue.
#include <deque>

#include "platform/gui/key_codes.h"
#include "platform/gui/window.h"
#include "player/player_window.h"

namespace {

std::deque<int> g_keys;

}  // namespace

int PlayerKeyDownCode(const platform::KeyEvent& key) {
  const int number = key.key;
  if (number >= platform::kKeyF1 && number <= platform::kKeyF10) {
    if (key.alt) return number + 126;
    if (key.shift) return number + 106;
    if (key.control) return number + 116;
    return number + 96;
  }
  if (key.alt) return 0;  // with Alt held only the function keys are queued
  if (number == platform::kKeyTab && key.shift) return 137;
  if ((number >= platform::kKeyPageUp && number <= platform::kKeyDown) ||
      number == platform::kKeyInsert || number == platform::kKeyDelete) {
    return number + 128;
  }
  return 0;
}

int PlayerCharacterCode(char32_t character, bool shift) {
  if (character == U'\t' && shift) return 0;  // its key press gave 137
  // Codes from 128 up are the window's own (function keys, 241 for closing); characters beyond
  // plain ASCII would be taken for them, so they are not queued. Delete (127) has its key code.
  if (character == 0 || character >= 127) return 0;
  return static_cast<int>(character);
}

int TakePlayerKey() {
  if (g_keys.empty()) return 0;
  const int code = g_keys.front();
  g_keys.pop_front();
  return code;
}

bool PlayerKeyWaiting() { return !g_keys.empty(); }

void QueuePlayerKey(int code) {
  if (g_keys.size() < kKeyQueueSize) g_keys.push_back(code);
}

void ClearPlayerKeys() { g_keys.clear(); }
