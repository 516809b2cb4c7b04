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
    : pool_(pool), usable_(usable) {}

ContentAnalyser::Job ContentAnalyser::Start(AnalysedFrame& frame, const AnalysedFrame* earlier) {
  const size_t blockCount = frame.blocks.size() / kBlockPixels;
  frame.analysis.Resize(blockCount);
  frame.earlier = earlier != nullptr && earlier->palette == frame.palette &&
                          earlier->blocks.size() == frame.blocks.size()
                      ? earlier
                      : nullptr;
  frame.repeated.assign(blockCount, 0);
  // A new palette gets a new table: frames of the palette before may still be scored with theirs.
  if (!latest_ || latestPalette_ != frame.palette) {
    latest_ = std::make_shared<ColorDistanceTable>();
    latest_->Rebuild(frame.palette.data(), usable_);
    latestPalette_ = frame.palette;
  }
  frame.distance = latest_;
  const size_t pieces = (blockCount + kPieceBlocks - 1) / kPieceBlocks;
  return pool_.Submit(pieces, [&frame, blockCount](size_t piece, unsigned) {
    const size_t first = piece * kPieceBlocks, end = std::min(blockCount, first + kPieceBlocks);
    ColorDistanceTable& distance = *frame.distance;
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
