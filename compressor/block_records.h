#pragma once
// A coded frame as one value per block, and as the records of the temporary block file.
//
// Block values: unchanged 0x81008100; solid colour c: 0x8000 + c in both halves; full 0;
// two-colour: pattern | first << 16 | second << 24 (see TwoColorValue). A two-colour pattern
// never has bit 15 set, so the three special values cannot be taken for one.
//
// Block file, per frame, runs in block order until the frame's blocks are covered: one byte
// (run code x 4 + kind); kind 0 two-colour is followed by 4 bytes per block (its value, low
// byte first), kind 1 full by nothing (the pixels come from the frame), kind 2 unchanged by
// nothing, kind 3 solid by the colour byte. Run codes 0-58 are 1-59 blocks, 59-63 are 128,
// 256, 512, 1024 and 2048 blocks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compressor/block_analysis.h"
#include "playback/frame_coding.h"

namespace compressor {

constexpr uint32_t kUnchangedValue = 0x81008100;
constexpr uint32_t kFullValue = 0;
constexpr uint32_t SolidValue(uint8_t color) { return (0x8000u + color) * 0x10001u; }

BlockType KindOfValue(uint32_t value);

// Gives each block the first kind within the threshold: unchanged, solid, two-colour, full.
void ChooseBlockValues(const FrameAnalysis& analysis, uint32_t threshold,
                       std::vector<uint32_t>& values);

// The pixels of row r (0-3) of a two-colour block, four bytes left to right.
void ExpandTwoColorRow(uint32_t value, int row, uint8_t* pixels);

// Applies a coded frame to the decoded picture (both in block order): unchanged blocks keep
// their pixels, full blocks take the frame's own.
void RebuildDecodedBlocks(const std::vector<uint32_t>& values, const uint8_t* frameBlocks,
                          uint8_t* decodedBlocks);

// Appends a frame's records to bytes.
void AppendBlockRecords(const std::vector<uint32_t>& values, std::vector<uint8_t>& bytes);

// Where block records are read back from: fills exactly count bytes or fails.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual bool Read(uint8_t* destination, size_t count) = 0;
};

// Reads one frame's records of blockCount blocks. False when the data ends early or a run
// reaches past the frame's last block (the file is not what this encoder wrote).
bool ReadBlockRecords(ByteSource& source, size_t blockCount, std::vector<uint32_t>& values);

}  // namespace compressor
