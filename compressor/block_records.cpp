#include "compressor/block_records.h"

#include <cstring>

namespace compressor {

BlockType KindOfValue(uint32_t value) {
  if (value == kUnchangedValue) return UnchangedBlock;
  if (value == kFullValue) return FullBlock;
  if (value & 0x8000) return SolidBlock;
  return TwoColorBlock;
}

void ChooseBlockValues(const FrameAnalysis& analysis, uint32_t t, std::vector<uint32_t>& values) {
  size_t count = analysis.scores.size();
  values.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const BlockScore& s = analysis.scores[i];
    uint32_t value;
    if (s.unchanged <= t) {
      value = kUnchangedValue;
    } else if (s.solid <= t) {
      value = SolidValue(s.solidColor);
    } else if (s.twoColor <= t) {
      value = analysis.twoColorValues[i];
      // A pattern of one colour is a solid block; as a value it could read as a full block.
      if ((value & 0xFFFF) == 0) value = SolidValue(static_cast<uint8_t>(value >> 16));
    } else {
      value = kFullValue;
    }
    values[i] = value;
  }
}

void ExpandTwoColorRow(uint32_t value, int row, uint8_t* pixels) {
  uint8_t colors[2] = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  unsigned bits = (value >> (4 * row)) & 15;
  for (int c = 0; c < 4; ++c) pixels[c] = colors[(bits >> c) & 1];
}

void RebuildDecodedBlocks(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                          uint8_t* decodedBlocks) {
  for (size_t i = 0; i < values.size(); ++i) {
    uint8_t* out = decodedBlocks + i * kBlockPixels;
    uint32_t value = values[i];
    switch (KindOfValue(value)) {
      case UnchangedBlock: break;
      case SolidBlock: std::memset(out, value & 0xFF, kBlockPixels); break;
      case FullBlock: std::memcpy(out, frameBlocks + i * kBlockPixels, kBlockPixels); break;
      case TwoColorBlock:
        for (int r = 0; r < 4; ++r) ExpandTwoColorRow(value, r, out + 4 * r);
        break;
    }
  }
}

void AppendBlockRecords(const std::vector<uint32_t>& values, std::vector<uint8_t>& bytes) {
  size_t i = 0, count = values.size();
  while (i < count) {
    uint32_t first = values[i];
    BlockType kind = KindOfValue(first);
    size_t end = i + 1;
    // Solid runs keep one colour; unchanged and full runs one value; two-colour runs any values.
    if (kind == TwoColorBlock) {
      while (end < count && KindOfValue(values[end]) == TwoColorBlock) ++end;
    } else {
      while (end < count && values[end] == first) ++end;
    }
    uint32_t left = static_cast<uint32_t>(end - i);
    while (left > 0) {
      uint32_t piece = RunPieceLength(left);
      bytes.push_back(static_cast<uint8_t>(RunCode(piece) * 4 + kind));
      if (kind == SolidBlock) {
        bytes.push_back(static_cast<uint8_t>(first));
      } else if (kind == TwoColorBlock) {
        for (uint32_t k = 0; k < piece; ++k) {
          uint32_t v = values[i + k];
          for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
        }
      }
      i += piece;
      left -= piece;
    }
  }
}

bool ReadBlockRecords(ByteSource& source, size_t blockCount, std::vector<uint32_t>& values) {
  values.resize(blockCount);
  size_t i = 0;
  while (i < blockCount) {
    uint8_t head;
    if (!source.Read(&head, 1)) return false;
    uint32_t length = RunLengthTable[head >> 2];
    if (length > blockCount - i) return false;
    switch (static_cast<BlockType>(head & 3)) {
      case UnchangedBlock:
        for (uint32_t k = 0; k < length; ++k) values[i + k] = kUnchangedValue;
        break;
      case FullBlock:
        for (uint32_t k = 0; k < length; ++k) values[i + k] = kFullValue;
        break;
      case SolidBlock: {
        uint8_t color;
        if (!source.Read(&color, 1)) return false;
        for (uint32_t k = 0; k < length; ++k) values[i + k] = SolidValue(color);
        break;
      }
      case TwoColorBlock:
        for (uint32_t k = 0; k < length; ++k) {
          uint8_t b[4];
          if (!source.Read(b, 4)) return false;
          uint32_t v = b[0] | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
          // Such a value would read as another kind.
          if ((v & 0x8000) || v == kFullValue) return false;
          values[i + k] = v;
        }
        break;
    }
    i += length;
  }
  return true;
}

}  // namespace compressor
