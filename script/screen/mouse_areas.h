#pragma once
// The named mouse areas of MOUSEADD: a click inside one gives its name, and the drawn pointer
// takes its image. Areas come in sets: the current set is searched, saved sets wait on a stack.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace script {

inline constexpr size_t kMouseAreaLimit = 128;
inline constexpr size_t kMouseAreaNameLimit = 31;
inline constexpr size_t kSavedAreaSetLimit = 32;

struct MouseArea {
  std::string name;        // at most kMouseAreaNameLimit characters
  int64_t left, top;       // window coordinates
  int64_t right, bottom;   // exclusive
  int pointer;             // a bitmap slot for the pointer's image, -1 for the built-in one
};

class MouseAreas {
 public:
  // Appends an area to the current set, the name cut to its limit; false when 128 areas are
  // stored (saved sets count too).
  bool Add(std::string name, int64_t x, int64_t width, int64_t y, int64_t height, int pointer);
  // The area of the current set under (x, y), the one added last where areas overlap.
  const MouseArea* Find(int64_t x, int64_t y) const;
  // Removes the last area of the current set that has exactly that name; false for none.
  bool Remove(const std::string& name);
  void RemoveAll();
  // Saves the current set and starts an empty one; false (nothing changes) when 32 sets are
  // saved already.
  bool Push();
  // Back to the set saved last, without the areas added since; false with nothing saved.
  bool Pop();

  size_t Count() const { return areas_.size(); }

 private:
  std::vector<MouseArea> areas_;
  size_t base_ = 0;
  std::vector<std::pair<size_t, size_t>> saved_;  // count, base
};

}  // namespace script
