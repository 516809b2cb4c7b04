#include "compressor/content_analysis.h"

#include <algorithm>

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

ContentAnalyser::Job ContentAnalyser::Start(const uint8_t* blocks, size_t blockCount, const RgbPalette& palette,
                                            FrameAnalysis& analysis) {
  analysis.Resize(blockCount);
  const size_t pieces = (blockCount + kPieceBlocks - 1) / kPieceBlocks;
  return pool_.Submit(pieces, [this, blocks, blockCount, &palette, &analysis](size_t piece, unsigned thread) {
    const size_t first = piece * kPieceBlocks;
    AnalyseBlockContent(blocks, first, std::min(blockCount, first + kPieceBlocks), TableFor(thread, palette),
                        analysis);
  });
}

bool ContentAnalyser::Finish(const Job& job, const toolsupport::WorkerPool::StopQuery& stop) {
  return pool_.Wait(job, stop);
}

}  // namespace compressor
