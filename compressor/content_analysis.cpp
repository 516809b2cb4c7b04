#include "compressor/content_analysis.h"

#include <algorithm>
#include <cstring>

namespace compressor {
namespace {

// Blocks a piece scores: short enough that the threads share a frame's end evenly and a stop
// is heard soon, long enough that taking a piece costs nothing next to scoring it.
constexpr size_t kPieceBlocks = 256;

}  // namespace

ContentAnalyser::ContentAnalyser(toolsupport::WorkerPool& pool, UsableRange usable)
    : pool_(pool), usable_(usable) {
  for (unsigned t = 0; t < pool.Threads(); ++t) tables_.push_back(std::make_unique<ThreadTable>());
}

ColorDistanceTable& ContentAnalyser::TableFor(unsigned thread, const RgbPalette& palette) {
  ThreadTable& own = *tables_[thread];
  if (!own.made || own.palette != palette) {
    own.table.Rebuild(palette.data(), usable_);
    own.palette = palette;
    own.made = true;
  }
  return own.table;
}

ContentAnalyser::Job ContentAnalyser::Start(AnalysedFrame& frame, const AnalysedFrame* earlier) {
  const size_t blockCount = frame.blocks.size() / kBlockPixels;
  frame.analysis.Resize(blockCount);
  frame.earlier = earlier != nullptr && earlier->palette == frame.palette &&
                          earlier->blocks.size() == frame.blocks.size()
                      ? earlier
                      : nullptr;
  frame.repeated.assign(blockCount, 0);
  const size_t pieces = (blockCount + kPieceBlocks - 1) / kPieceBlocks;
  return pool_.Submit(pieces, [this, &frame, blockCount](size_t piece, unsigned thread) {
    const size_t first = piece * kPieceBlocks, end = std::min(blockCount, first + kPieceBlocks);
    ColorDistanceTable& distance = TableFor(thread, frame.palette);
    for (size_t i = first; i < end; ++i) {
      const uint8_t* block = frame.blocks.data() + i * kBlockPixels;
      if (frame.earlier != nullptr && std::memcmp(block, frame.earlier->blocks.data() + i * kBlockPixels, kBlockPixels) == 0) {
        frame.repeated[i] = 1;
        continue;
      }
      EvaluateBlockContent(block, distance, frame.analysis.scores[i], frame.analysis.twoColorValues[i]);
    }
  });
}

bool ContentAnalyser::Finish(const Job& job, AnalysedFrame& frame, const toolsupport::WorkerPool::StopQuery& stop) {
  if (!pool_.Wait(job, stop)) return false;
  if (frame.earlier != nullptr) {
    const FrameAnalysis& earlier = frame.earlier->analysis;
    for (size_t i = 0; i < frame.repeated.size(); ++i) {
      if (!frame.repeated[i]) continue;
      frame.analysis.scores[i] = earlier.scores[i];
      frame.analysis.twoColorValues[i] = earlier.twoColorValues[i];
    }
  }
  frame.earlier = nullptr;
  return true;
}

}  // namespace compressor
