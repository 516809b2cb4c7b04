#pragma once
// The one- and two-colour scores of whole frames, computed on the worker threads: a frame's
// blocks are split into pieces, and each thread scores with a distance table of its own made for
// the frame's palette. The scores depend on the blocks and the palette alone, so they are the
// same whichever thread computes them and however many there are.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "compressor/block_analysis.h"
#include "compressor/colour_distance.h"
#include "toolsupport/threads/worker_pool.h"

namespace compressor {

// A frame's blocks (in block order) and palette, and its scores as they are computed.
struct AnalysedFrame {
  std::vector<uint8_t> blocks;
  RgbPalette palette{};
  FrameAnalysis analysis;
  // Blocks equal to those of the earlier frame (of the same palette): their scores are that
  // frame's, taken once both are scored.
  const AnalysedFrame* earlier = nullptr;
  std::vector<uint8_t> repeated;
};

class ContentAnalyser {
 public:
  using Job = toolsupport::WorkerPool::BatchHandle;

  ContentAnalyser(toolsupport::WorkerPool& pool, UsableRange usable);

  // Starts scoring a frame (its analysis is sized here). With an earlier frame whose job was
  // started before, of the same palette, blocks equal to its blocks are not scored again. The
  // blocks and palettes of both frames must stay as they are, and the frame's analysis untouched,
  // until the job is finished or dropped.
  Job Start(AnalysedFrame& frame, const AnalysedFrame* earlier);
  // Waits for the job, taking part in it, and takes the repeated blocks' scores from the earlier
  // frame, whose job must have been finished: true when every score is in; false when the stop
  // query stopped the pool first.
  bool Finish(const Job& job, AnalysedFrame& frame, const toolsupport::WorkerPool::StopQuery& stop);
  // Gives up a job: returns once nothing works on its frame any more.
  void Drop(const Job& job) { pool_.Drop(job); }

 private:
  // A thread's own table, kept while frames keep their palette.
  struct ThreadTable {
    ColorDistanceTable table;
    RgbPalette palette{};
    bool made = false;
  };
  ColorDistanceTable& TableFor(unsigned thread, const RgbPalette& palette);

  toolsupport::WorkerPool& pool_;
  UsableRange usable_;
  std::vector<std::unique_ptr<ThreadTable>> tables_;
};

}  // namespace compressor
