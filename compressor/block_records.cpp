#include "compressor/block_records.h"

#include <cstring>

namespace compressor {

BlockKind KindOfValue(uint32_t value) {
  if (value == kUnchangedValue) return kUnchangedBlock;
  if (value == kFullValue) return kFullBlock;
  if (value & 0x8000) return kSolidBlock;
  return kTwoColorBlock;
}

uint8_t RunCode(uint32_t pieceLength) {
  switch (pieceLength) {
    case 128: return 59;
    case 256: return 60;
    case 512: return 61;
    case 1024: return 62;
    case 2048: return 63;
    default: return static_cast<uint8_t>(pieceLength - 1);
  }
}

uint32_t RunLength(uint8_t code) { return code < 59 ? code + 1u : 128u << (code - 59); }

uint32_t NextPiece(uint32_t n) {
  for (uint32_t piece = 2048; piece >= 128; piece /= 2) {
    if (n >= piece) return piece;
  }
  return n < 59 ? n : 59;
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
      case kUnchangedBlock: break;
      case kSolidBlock: std::memset(out, value & 0xFF, kBlockPixels); break;
      case kFullBlock: std::memcpy(out, frameBlocks + i * kBlockPixels, kBlockPixels); break;
      case kTwoColorBlock:
        for (int r = 0; r < 4; ++r) ExpandTwoColorRow(value, r, out + 4 * r);
        break;
    }
  }
}

void AppendBlockRecords(const std::vector<uint32_t>& values, std::vector<uint8_t>& bytes) {
  size_t i = 0, count = values.size();
  while (i < count) {
    uint32_t first = values[i];
    BlockKind kind = KindOfValue(first);
    size_t end = i + 1;
    // Solid runs keep one colour; unchanged and full runs one value; two-colour runs any values.
    if (kind == kTwoColorBlock) {
      while (end < count && KindOfValue(values[end]) == kTwoColorBlock) ++end;
    } else {
      while (end < count && values[end] == first) ++end;
    }
    uint32_t left = static_cast<uint32_t>(end - i);
    while (left > 0) {
      uint32_t piece = NextPiece(left);
      bytes.push_back(static_cast<uint8_t>(RunCode(piece) * 4 + kind));
      if (kind == kSolidBlock) {
        bytes.push_back(static_cast<uint8_t>(first));
      } else if (kind == kTwoColorBlock) {
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
    uint32_t length = RunLength(head >> 2);
    if (length > blockCount - i) return false;
    switch (static_cast<BlockKind>(head & 3)) {
      case kUnchangedBlock:
        for (uint32_t k = 0; k < length; ++k) values[i + k] = kUnchangedValue;
        break;
      case kFullBlock:
        for (uint32_t k = 0; k < length; ++k) values[i + k] = kFullValue;
        break;
      case kSolidBlock: {
        uint8_t color;
        if (!source.Read(&color, 1)) return false;
        for (uint32_t k = 0; k < length; ++k) values[i + k] = SolidValue(color);
        break;
      }
      case kTwoColorBlock:
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
