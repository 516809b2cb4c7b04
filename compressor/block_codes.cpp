#include "compressor/block_codes.h"

#include <cstring>

namespace compressor {

void ToBlockCodes(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                  std::vector<BlockCode>& codes) {
  codes.resize(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    uint32_t value = values[i];
    BlockCode& code = codes[i];
    code.type = KindOfValue(value);
    switch (code.type) {
      case UnchangedBlock: break;
      case SolidBlock: code.solidColor = static_cast<uint8_t>(value); break;
      case TwoColorBlock:
        code.mask = static_cast<uint16_t>(value);
        code.colorPair = static_cast<uint16_t>(value >> 16);
        break;
      case FullBlock: std::memcpy(code.pixels, frameBlocks + i * kBlockPixels, kBlockPixels); break;
    }
  }
}

void TreeSymbolCounter::CountFrame(const std::vector<uint32_t>& values, const uint8_t* frameBlocks) {
  ToBlockCodes(values, frameBlocks, codes_);
  toolsupport::CountFrameSymbols(trees_, codes_);
}

}  // namespace compressor
