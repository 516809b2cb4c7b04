#include "script/screen/mouse_areas.h"

namespace script {

bool MouseAreas::Add(std::string name, int64_t x, int64_t width, int64_t y, int64_t height, int pointer) {
  if (areas_.size() >= kMouseAreaLimit) return false;
  if (name.size() > kMouseAreaNameLimit) name.resize(kMouseAreaNameLimit);
  areas_.push_back({std::move(name), x, y, x + width, y + height, pointer});
  return true;
}

const MouseArea* MouseAreas::Find(int64_t x, int64_t y) const {
  for (size_t i = areas_.size(); i > base_; --i) {
    const MouseArea& area = areas_[i - 1];
    if (area.left <= x && x < area.right && area.top <= y && y < area.bottom) return &area;
  }
  return nullptr;
}

bool MouseAreas::Remove(const std::string& name) {
  const std::string stored = name.substr(0, kMouseAreaNameLimit);  // as Add keeps it
  for (size_t i = areas_.size(); i > base_; --i) {
    if (areas_[i - 1].name == stored) {
      areas_.erase(areas_.begin() + static_cast<std::ptrdiff_t>(i - 1));
      return true;
    }
  }
  return false;
}

void MouseAreas::RemoveAll() { areas_.resize(base_); }

bool MouseAreas::Push() {
  if (saved_.size() >= kSavedAreaSetLimit) return false;
  saved_.emplace_back(areas_.size(), base_);
  base_ = areas_.size();
  return true;
}

bool MouseAreas::Pop() {
  if (saved_.empty()) return false;
  areas_.resize(saved_.back().first);
  base_ = saved_.back().second;
  saved_.pop_back();
  return true;
}

}  // namespace script
