#include "playback/rect_merging.h"

#include <algorithm>

namespace {

int64_t WithAllowance(const RectBox& r) { return r.Area() * 5 / 4; }

RectBox Around(const RectBox& a, const RectBox& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace

bool MergeChangedRects(bool mergeAll, RectBox& box, RectBox& held, const NextRect& next) {
  RectBox rect;
  if (mergeAll) {
    while (next(rect)) {
      box.left = std::min(box.left, rect.left);
      box.right = std::max(box.right, rect.right);
      box.bottom = rect.bottom;
    }
    return false;
  }
  int64_t area = WithAllowance(box);
  while (next(rect)) {
    area += WithAllowance(rect);
    const RectBox candidate = Around(box, rect);
    if (area < candidate.Area()) {
      held = rect;
      return true;
    }
    box = candidate;
  }
  return false;
}
