#pragma once
// Joining the changed rectangles of a frame into fewer, larger ones for blitting.
#include <cstdint>
#include <functional>

// A rectangle by its edges; right and bottom are one past the last pixel.
struct RectBox {
  int64_t left = 0, top = 0, right = 0, bottom = 0;

  int64_t Area() const { return (right - left) * (bottom - top); }
  bool operator==(const RectBox&) const = default;
};

// Gives the next rectangle into its argument; false when there is none left.
using NextRect = std::function<bool(RectBox&)>;

// Grows `box` (the first rectangle) by the rectangles that follow it.
//   merge all (bounding):   takes every rectangle in; the bottom is the last one's bottom, as
//                           rectangles come in raster order.
//   merge with little waste: takes the next rectangle in while the areas of the rectangles
//                           taken, each counted as 5/4 of itself, still reach the area of the
//                           box around them; the first one that would leave more waste is kept
//                           in `held` for the next box.
// Returns true when a rectangle was held back, false when the rectangles ran out.
bool MergeChangedRects(bool mergeAll, RectBox& box, RectBox& held, const NextRect& next);
