#include "playback/changed_rects.h"

namespace {

constexpr uint64_t kGroupPixels = 64;  // a group of 16 blocks, each 4 pixels wide
constexpr uint32_t kRowHeight = 4;

bool Changed(const DestinationDescriptor& destination, uint64_t position) {
  return position < destination.changedGroupMap.size() && destination.changedGroupMap[position] != 0;
}

int Give(ChangedRect& rect, uint64_t x, uint64_t y, uint64_t width) {
  rect.x = static_cast<uint32_t>(x);
  rect.y = static_cast<uint32_t>(y);
  rect.width = static_cast<uint32_t>(width);
  rect.height = kRowHeight;
  return 1;
}

// Takes the group at the map position, which starts at `x` of the current row, into a rectangle
// that so far runs from `left` for `width` pixels, and the changed groups after it: up to the
// first unchanged group, or to the end of the row.
int Extend(DestinationDescriptor& destination, ChangedRect& rect, uint64_t left, uint64_t x, uint64_t width) {
  ChangedRectState& state = destination.rects;
  const uint64_t rowWidth = destination.width;
  for (;;) {
    const uint64_t next = x + kGroupPixels;
    if (next < rowWidth) {
      ++state.mapPosition;
      x = next;
      width += kGroupPixels;
      if (Changed(destination, state.mapPosition)) continue;
      state.x = x;  // the unchanged group that ends the rectangle
      return Give(rect, left, state.y, width);
    }
    // The group reaches the end of the row; what is left of it lies in the next row.
    const uint64_t overflow = next - rowWidth;
    state.x = overflow;
    state.continued = overflow != 0;
    const uint64_t y = state.y;
    state.y += kRowHeight;
    ++state.mapPosition;
    return Give(rect, left, y, width + kGroupPixels - overflow);
  }
}

}  // namespace

int NextChangedRect(DestinationDescriptor& destination, ChangedRect& rect) {
  ChangedRectState& state = destination.rects;
  const uint64_t rowWidth = destination.width, height = destination.height;
  if (state.done) return 0;
  if (rowWidth == 0 || state.y >= height) {
    state.done = true;
    return 0;
  }

  // A rectangle that goes on from the row above: the rest of its group, from x 0 of this row.
  if (state.continued && state.x >= rowWidth) {  // a group wider than the row
    const uint64_t y = state.y;
    state.x -= rowWidth;
    state.y += kRowHeight;
    return Give(rect, 0, y, rowWidth);
  }
  if (state.continued) {
    state.continued = false;
    const uint64_t rest = state.x;
    if (rest > 0) {
      // A single unchanged group before a changed one is taken in rather than split off.
      if (!Changed(destination, state.mapPosition) && !Changed(destination, state.mapPosition + 1)) {
        return Give(rect, 0, state.y, rest);
      }
      return Extend(destination, rect, 0, rest, rest);
    }
  }

  // Past the unchanged groups to the next changed one.
  while (!Changed(destination, state.mapPosition)) {
    if (state.mapPosition >= destination.changedGroupMap.size()) {
      state.done = true;
      return 0;
    }
    ++state.mapPosition;
    state.x += kGroupPixels;
    while (state.x >= rowWidth) {
      state.y += kRowHeight;
      state.x -= rowWidth;
      if (state.y >= height) {
        state.done = true;
        return 0;
      }
    }
  }
  return Extend(destination, rect, state.x, state.x, 0);
}
