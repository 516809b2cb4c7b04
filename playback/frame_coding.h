#pragma once
// The coding of a frame's picture: 4x4-pixel blocks of 8-bit colour indexes in raster order,
// each block one of four kinds, coded as runs of blocks of one kind with their symbols.
//
// This header is the one place that says which symbols a frame is made of and in which order.
// The frame decoder reads them back; the compressor's counting and writing passes both take
// them from WalkFrameSymbols, so the two passes can never disagree.
#include <array>
#include <cstdint>
#include <span>

#include "playback/tree_tables.h"

enum BlockType : uint8_t { TwoColorBlock = 0, FullBlock = 1, UnchangedBlock = 2, SolidBlock = 3 };

// Run code (bits 2-7 of a type/run symbol) to number of blocks.
constexpr std::array<uint32_t, 64> RunLengthTable = [] {
  std::array<uint32_t, 64> table{};
  for (uint32_t code = 0; code < 59; ++code) table[code] = code + 1;
  for (uint32_t code = 59; code < 64; ++code) table[code] = 128u << (code - 59);
  return table;
}();

// The largest run one symbol takes from a run of n blocks (n >= 1).
constexpr uint32_t RunPieceLength(uint32_t n) {
  for (uint32_t code = 63; code >= 59; --code) {
    if (n >= RunLengthTable[code]) return RunLengthTable[code];
  }
  return n < 59 ? n : 59;
}

// Run code of a piece length that RunPieceLength gives.
constexpr uint32_t RunCode(uint32_t length) {
  for (uint32_t code = 59; code < 64; ++code) {
    if (length == RunLengthTable[code]) return code;
  }
  return length - 1;
}

// Type/run symbol: bits 0-1 the block type, bits 2-7 the run code, bits 8-15 the colour of a
// solid run (0 for the other kinds).
constexpr uint16_t TypeRunSymbol(BlockType type, uint32_t runCode, uint8_t solidColor) {
  uint32_t color = type == SolidBlock ? solidColor : 0;
  return static_cast<uint16_t>(color << 8 | runCode << 2 | type);
}

// A full block row of pixels p0..p3 (left to right) is coded as two pixel-pair symbols, the
// right half first: {p2 | p3 << 8, p0 | p1 << 8}.
constexpr std::array<uint16_t, 2> FullRowSymbols(const uint8_t* row) {
  return {static_cast<uint16_t>(row[2] | row[3] << 8), static_cast<uint16_t>(row[0] | row[1] << 8)};
}

// What the encoder decided for one block.
struct BlockCode {
  BlockType type = UnchangedBlock;
  uint8_t solidColor = 0;   // SolidBlock
  uint16_t colorPair = 0;   // TwoColorBlock: low byte for mask bits 0, high byte for mask bits 1
  uint16_t mask = 0;        // TwoColorBlock: bit 4 * row + column, row 0 at the top
  uint8_t pixels[16] = {};  // FullBlock: rows from the top, left to right

  // Blocks that continue a run: same kind, and the same colour for solid blocks.
  bool SameRunAs(const BlockCode& other) const {
    return type == other.type && (type != SolidBlock || solidColor == other.solidColor);
  }
};

// Produces, in stream order, every symbol of a frame whose blocks (raster order) are given:
// emit(VideoTreeIndex tree, uint16_t symbol). Runs are as long as the blocks allow and are cut
// into pieces the run codes can express.
template <class Emit>
void WalkFrameSymbols(std::span<const BlockCode> blocks, Emit&& emit) {
  size_t position = 0;
  while (position < blocks.size()) {
    const BlockCode& first = blocks[position];
    size_t end = position + 1;
    while (end < blocks.size() && blocks[end].SameRunAs(first)) ++end;
    while (position < end) {
      uint32_t length = RunPieceLength(static_cast<uint32_t>(end - position));
      emit(TypeRunTree, TypeRunSymbol(first.type, RunCode(length), first.solidColor));
      for (size_t i = position; i < position + length; ++i) {
        const BlockCode& block = blocks[i];
        if (block.type == TwoColorBlock) {
          emit(ColorPairTree, block.colorPair);
          emit(MaskTree, block.mask);
        } else if (block.type == FullBlock) {
          for (int row = 0; row < 4; ++row) {
            for (uint16_t symbol : FullRowSymbols(block.pixels + 4 * row)) emit(PixelPairTree, symbol);
          }
        }
      }
      position += length;
    }
  }
}
