#pragma once
// The threads a pass of the compressor works with, and how far it reads ahead of the frame it
// codes: with helper threads, far enough to keep them busy while this thread codes and writes in
// order; without, not at all.
#include <cstdint>
#include <memory>

#include "toolsupport/threads/worker_pool.h"

namespace compressor {

class PassWorkers {
 public:
  // The pool given, or none: a pool of one thread, which runs every piece on the caller's thread.
  explicit PassWorkers(toolsupport::WorkerPool* given)
      : own_(given ? nullptr : std::make_unique<toolsupport::WorkerPool>(1)), pool_(given ? *given : *own_) {}

  toolsupport::WorkerPool& Pool() const { return pool_; }
  // Frames read, at most, from the one being coded on (that one included).
  uint32_t FramesAhead() const { return pool_.Threads() > 1 ? kFramesAhead : 1; }

 private:
  static constexpr uint32_t kFramesAhead = 4;
  std::unique_ptr<toolsupport::WorkerPool> own_;
  toolsupport::WorkerPool& pool_;
};

}  // namespace compressor
