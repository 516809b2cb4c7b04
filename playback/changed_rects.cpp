#include "changed_rects.h"

#include <algorithm>

int NextChangedRect(DestinationDescriptor& destination, ChangedRect& rect) {
  const uint64_t perRow = destination.blocksPerRow;
  const uint64_t total = perRow * destination.blockRows;
  const uint8_t* map = destination.changedGroupMap.data();
  uint64_t& next = destination.rects.nextBlock;

  // A group of 16 blocks may run over the end of a block row; its part in each row counts
  // as a changed stretch of that row.
  auto stretchEnd = [&](uint64_t block) {
    uint64_t rowEnd = (block / perRow + 1) * perRow;
    return std::min(rowEnd, (block / 16 + 1) * 16);
  };
  while (next < total) {
    uint64_t start = next;
    if (!map[start / 16]) {
      next = stretchEnd(start);
      continue;
    }
    uint64_t rowEnd = (start / perRow + 1) * perRow;
    uint64_t end = start;
    while (end < rowEnd && map[end / 16]) end = stretchEnd(end);
    next = end;
    rect.x = static_cast<uint32_t>(start % perRow * 4);
    rect.y = static_cast<uint32_t>(start / perRow * 4);
    rect.width = static_cast<uint32_t>((end - start) * 4);
    rect.height = 4;
    return 1;
  }
  return 0;
}
