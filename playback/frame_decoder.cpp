#include "playback/frame_decoder.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "playback/decoding_table.h"
#include "playback/frame_coding.h"

bool DescribeMemoryDestination(const MemoryDestination& where, DestinationDescriptor& descriptor) {
  const int64_t bytesPerPixel = (where.pixelFormat & 0x80) ? 2 : 1;
  const int64_t width = where.width / 4 * 4;
  const int64_t height = where.codedHeight / 4 * 4;
  // Lines the picture covers in the buffer: doubled rows take two lines each, interlaced rows
  // every other line.
  int64_t lines = height;
  if (height > 0 && where.scaling == HeightScaling::Doubled) lines = 2 * height;
  if (height > 0 && where.scaling == HeightScaling::Interlaced) lines = 2 * height - 1;

  if (where.buffer == nullptr || where.left < 0 || where.top < 0 || where.pitch <= 0 || where.rows < 0) {
    return false;
  }
  if ((where.left + width) * bytesPerPixel > where.pitch || where.top + lines > where.rows) return false;

  DestinationDescriptor d;
  d.doubled = where.scaling == HeightScaling::Doubled;
  d.pixelFormat = where.pixelFormat;
  d.blocksPerRow = static_cast<uint32_t>(width / 4);
  d.blockRows = static_cast<uint32_t>(height / 4);
  d.width = static_cast<uint32_t>(width);
  d.height = static_cast<uint32_t>(height);
  const int64_t linePitch = where.scaling == HeightScaling::Interlaced ? 2 * where.pitch : where.pitch;
  d.lineStep = static_cast<ptrdiff_t>(where.bottomUp ? -linePitch : linePitch);
  d.firstPixel = where.buffer;
  if (width > 0 && height > 0) {
    int64_t firstRow = where.bottomUp ? where.rows - where.top - 1 : where.top;
    d.firstPixel = where.buffer + firstRow * where.pitch + where.left * bytesPerPixel;
  }
  uint64_t blocks = uint64_t{d.blocksPerRow} * d.blockRows;
  d.changedGroupMap.assign((blocks + 15) / 16, 0);
  d.colorTable16 = descriptor.colorTable16;  // a 16-bit table set earlier stays
  descriptor = std::move(d);
  return true;
}

namespace {

// Byte masks of a row of four pixels from four mask bits (bit 0 = the left pixel).
constexpr std::array<uint32_t, 16> kRowMask8 = [] {
  std::array<uint32_t, 16> masks{};
  for (uint32_t bits = 0; bits < 16; ++bits) {
    for (int pixel = 0; pixel < 4; ++pixel) {
      if (bits >> pixel & 1) masks[bits] |= 0xFFu << (8 * pixel);
    }
  }
  return masks;
}();

constexpr std::array<uint64_t, 16> kRowMask16 = [] {
  std::array<uint64_t, 16> masks{};
  for (uint32_t bits = 0; bits < 16; ++bits) {
    for (int pixel = 0; pixel < 4; ++pixel) {
      if (bits >> pixel & 1) masks[bits] |= uint64_t{0xFFFF} << (16 * pixel);
    }
  }
  return masks;
}();

// Draws the blocks of one frame for one pixel size and row mode. A row of a block is written
// as one word: four bytes, or four 16-bit pixels. Colours are the stored ones; 8-bit pixels go
// through the trees' colour map when Mapped, 16-bit pixels always through a table that already
// holds the colour map.
template <typename Pixel, bool Doubled, bool Mapped>
class BlockDrawer {
  using Row = std::conditional_t<sizeof(Pixel) == 1, uint32_t, uint64_t>;

 public:
  BlockDrawer(DestinationDescriptor& d, const uint8_t* colorMap, const uint16_t* table16)
      : map_(colorMap),
        table_(table16),
        lineStep_(d.lineStep),
        rowStep_(Doubled ? 2 * d.lineStep : d.lineStep),
        blocksPerRow_(d.blocksPerRow),
        blockRows_(d.blockRows),
        rowStart_(d.firstPixel),
        changedGroups_(d.changedGroupMap.data()) {}

  // Records that `count` blocks from block `first` (raster order) are drawn this frame.
  void MarkChanged(uint64_t first, uint32_t count) {
    std::memset(changedGroups_ + first / 16, 1, (first + count - 1) / 16 - first / 16 + 1);
  }

  void TwoColor(uint32_t pair, uint32_t mask) {
    uint8_t* block = Block();
    Row low = Spread(pair & 0xFF);
    Row difference = low ^ Spread(pair >> 8);
    for (int row = 0; row < 4; ++row) {
      StoreRow(block, row, low ^ (difference & RowMask(mask >> (4 * row) & 15)));
    }
    Advance(1);
  }

  // rightHalf codes pixels 2 and 3 of the row, leftHalf pixels 0 and 1 (low byte first).
  void FullRow(int row, uint32_t rightHalf, uint32_t leftHalf) {
    Row value;
    if constexpr (sizeof(Pixel) == 2) {
      value = uint64_t{table_[leftHalf & 0xFF]} | uint64_t{table_[leftHalf >> 8]} << 16 |
              uint64_t{table_[rightHalf & 0xFF]} << 32 | uint64_t{table_[rightHalf >> 8]} << 48;
    } else if constexpr (Mapped) {
      value = uint32_t{map_[leftHalf & 0xFF]} | uint32_t{map_[leftHalf >> 8]} << 8 |
              uint32_t{map_[rightHalf & 0xFF]} << 16 | uint32_t{map_[rightHalf >> 8]} << 24;
    } else {
      value = leftHalf | rightHalf << 16;
    }
    StoreRow(Block(), row, value);
  }
  void EndFullBlock() { Advance(1); }

  // Fills up to `count` blocks of the current block row; returns how many it filled.
  uint32_t Solid(uint32_t color, uint32_t count) {
    count = std::min(count, blocksPerRow_ - column_);
    uint8_t* block = Block();
    for (int line = 0; line < (Doubled ? 8 : 4); ++line) {
      Pixel* pixel = reinterpret_cast<Pixel*>(block + line * lineStep_);
      if constexpr (sizeof(Pixel) == 1) {
        std::memset(pixel, Mapped ? map_[color] : static_cast<int>(color), 4 * size_t{count});
      } else {
        std::fill_n(pixel, 4 * size_t{count}, table_[color]);
      }
    }
    Advance(count);
    return count;
  }

  // Skips up to `count` blocks of the current block row; returns how many it skipped.
  uint32_t Skip(uint32_t count) {
    count = std::min(count, blocksPerRow_ - column_);
    Advance(count);
    return count;
  }

 private:
  uint8_t* Block() const { return rowStart_ + ptrdiff_t{column_} * 4 * ptrdiff_t{sizeof(Pixel)}; }

  static Row RowMask(uint32_t bits) {
    if constexpr (sizeof(Pixel) == 1) {
      return kRowMask8[bits];
    } else {
      return kRowMask16[bits];
    }
  }

  Row Spread(uint32_t color) const {
    if constexpr (sizeof(Pixel) == 2) {
      return uint64_t{table_[color]} * 0x0001000100010001u;
    } else if constexpr (Mapped) {
      return map_[color] * 0x01010101u;
    } else {
      return color * 0x01010101u;
    }
  }

  void StoreRow(uint8_t* block, int row, Row value) const {
    uint8_t* line = block + row * rowStep_;
    std::memcpy(line, &value, sizeof(Row));
    if constexpr (Doubled) std::memcpy(line + lineStep_, &value, sizeof(Row));
  }

  void Advance(uint32_t blocks) {
    column_ += blocks;
    if (column_ == blocksPerRow_) {
      column_ = 0;
      // Moving past the last block row would point outside the buffer; nothing is drawn then.
      if (++blockRow_ < blockRows_) rowStart_ += 4 * rowStep_;
    }
  }

  const uint8_t* map_;
  const uint16_t* table_;
  ptrdiff_t lineStep_;
  ptrdiff_t rowStep_;
  uint32_t blocksPerRow_;
  uint32_t blockRows_;
  uint8_t* rowStart_;
  uint8_t* changedGroups_;
  uint32_t column_ = 0;
  uint32_t blockRow_ = 0;
};

// Stands in for a drawer where only the codes are of interest.
class NoDrawer {
 public:
  void MarkChanged(uint64_t, uint32_t) {}
  void TwoColor(uint32_t, uint32_t) {}
  void FullRow(int, uint32_t, uint32_t) {}
  void EndFullBlock() {}
  uint32_t Solid(uint32_t, uint32_t count) { return count; }
  uint32_t Skip(uint32_t count) { return count; }
};

// Reads the symbols of one frame of `total` blocks and hands the blocks to the drawer. With
// Counted, each tree decoder counts its codes and those that needed more than one look-up.
template <bool Counted, class Drawer>
void DecodeBlocks(const uint8_t* chunk, size_t chunkSize, const DecoderTrees& trees, uint64_t total, Drawer& draw,
                  CodeLookupCounts* counts = nullptr) {
  // The reader, tables and recent values are locals: stores of pixels could alias anything in
  // memory, and the compiler would have to reload what they might have changed.
  BitReader bits(chunk, chunkSize);
  TableDecoder maskTree(trees.trees[MaskTree]);
  TableDecoder pairTree(trees.trees[ColorPairTree]);
  TableDecoder pixelTree(trees.trees[PixelPairTree]);
  TableDecoder typeRunTree(trees.trees[TypeRunTree]);

  // Each refill holds the bits of two symbols found in the tables: the type/run symbol, a
  // two-colour block or one row of a full block is decoded from one refill.
  uint64_t passed = 0;
  while (passed < total) {
    bits.Refill();
    const uint32_t symbol = typeRunTree.Decode<kTableBits[TypeRunTree], Counted>(bits);
    auto type = static_cast<BlockType>(symbol & 3);
    // A run that reaches past the last block stops there.
    uint32_t run = static_cast<uint32_t>(std::min<uint64_t>(RunLengthTable[symbol >> 2 & 63], total - passed));
    if (type != UnchangedBlock) draw.MarkChanged(passed, run);
    passed += run;

    switch (type) {
      case TwoColorBlock:
        for (uint32_t i = 0; i < run; ++i) {
          bits.Refill();
          const uint32_t pair = pairTree.Decode<kTableBits[ColorPairTree], Counted>(bits);
          const uint32_t mask = maskTree.Decode<kTableBits[MaskTree], Counted>(bits);
          draw.TwoColor(pair, mask);
        }
        break;
      case FullBlock:
        for (uint32_t i = 0; i < run; ++i) {
          for (int row = 0; row < 4; ++row) {
            bits.Refill();
            const uint32_t rightHalf = pixelTree.Decode<kTableBits[PixelPairTree], Counted>(bits);
            const uint32_t leftHalf = pixelTree.Decode<kTableBits[PixelPairTree], Counted>(bits);
            draw.FullRow(row, rightHalf, leftHalf);
          }
          draw.EndFullBlock();
        }
        break;
      case UnchangedBlock:
        while (run > 0) run -= draw.Skip(run);
        break;
      case SolidBlock:
        while (run > 0) run -= draw.Solid(symbol >> 8, run);
        break;
    }
  }
  if constexpr (Counted) {
    const TableDecoder* decoders[kVideoTreeCount] = {&maskTree, &pairTree, &pixelTree, &typeRunTree};
    for (int t = 0; t < kVideoTreeCount; ++t) {
      counts->codes[t] += decoders[t]->codes;
      counts->further[t] += decoders[t]->further;
    }
  }
}

template <typename Pixel, bool Doubled, bool Mapped>
void DrawFrame(const uint8_t* chunk, size_t chunkSize, const DecoderTrees& trees, DestinationDescriptor& d) {
  std::array<uint16_t, 256> table16;
  if constexpr (sizeof(Pixel) == 2) {
    for (int i = 0; i < 256; ++i) table16[i] = d.colorTable16[trees.colorMap[i]];
  }
  BlockDrawer<Pixel, Doubled, Mapped> draw(d, trees.colorMap.data(), table16.data());
  DecodeBlocks<false>(chunk, chunkSize, trees, uint64_t{d.blocksPerRow} * d.blockRows, draw);
}

}  // namespace

void DecodeVideoFrame(const uint8_t* chunk, size_t chunkSize, DecoderTrees& trees,
                      DestinationDescriptor& destination) {
  destination.rects = ChangedRectState{};
  std::fill(destination.changedGroupMap.begin(), destination.changedGroupMap.end(), 0);
  ResetRecentValues(trees);
  if (destination.blocksPerRow == 0 || destination.blockRows == 0) return;

  const bool doubled = destination.doubled;
  if (destination.Is16Bit()) {
    doubled ? DrawFrame<uint16_t, true, false>(chunk, chunkSize, trees, destination)
            : DrawFrame<uint16_t, false, false>(chunk, chunkSize, trees, destination);
  } else if (trees.remapped) {
    doubled ? DrawFrame<uint8_t, true, true>(chunk, chunkSize, trees, destination)
            : DrawFrame<uint8_t, false, true>(chunk, chunkSize, trees, destination);
  } else {
    doubled ? DrawFrame<uint8_t, true, false>(chunk, chunkSize, trees, destination)
            : DrawFrame<uint8_t, false, false>(chunk, chunkSize, trees, destination);
  }
}

void CountCodeLookups(const uint8_t* chunk, size_t chunkSize, uint64_t blocks, const DecoderTrees& trees,
                      CodeLookupCounts& counts) {
  NoDrawer nothing;
  DecodeBlocks<true>(chunk, chunkSize, trees, blocks, nothing, &counts);
}
