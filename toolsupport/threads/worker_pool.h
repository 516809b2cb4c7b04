#pragma once
// Worker threads for work that splits into independent pieces (the compressor's block analysis
// and frame coding). A batch is a function run once for each piece number; helpers take pieces
// as they come free, and the thread that waits for a batch runs its pieces too, so that a pool of
// one thread runs everything on the caller's thread, in order, with no thread started.
//
// What a piece computes must not depend on which thread runs it or when: then the result is the
// same for any number of threads. Pieces get the number of the thread that runs them (0 for the
// waiting thread, 1 to Threads() - 1 for the helpers) to pick scratch space of their own.
//
// Helpers never take the stop signals (nor any other signal sent to the process): those reach
// the program's own thread, as they did before the pool existed.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace toolsupport {

// The threads a tool may use for its work: one per core, fewer when the environment variable
// VANT_THREADS holds a smaller positive number.
unsigned WorkerThreadCount();

class WorkerPool {
 public:
  using Piece = std::function<void(size_t piece, unsigned thread)>;
  class Batch;
  using BatchHandle = std::shared_ptr<Batch>;
  // Asked while a wait lasts, from the waiting thread: true stops the pool (see Stop).
  using StopQuery = std::function<bool()>;

  // threads - 1 helpers are started (at least none, at most 255).
  explicit WorkerPool(unsigned threads);
  // Stops, then ends the helpers.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  unsigned Threads() const { return static_cast<unsigned>(helpers_.size()) + 1; }

  // Queues a batch of `pieces` pieces behind those queued before; helpers start on it at once.
  // A stopped pool queues nothing, and the batch never completes.
  BatchHandle Submit(size_t pieces, Piece body);

  // Runs pieces of the batch on this thread, and waits for the helpers' pieces, until every
  // piece has run: true. False when the pool stopped first (the stop query said so, or Stop
  // was called), once no piece of the batch is running any more. The stop query is asked
  // between pieces and while waiting, about every `pollMilliseconds`. A piece that threw
  // passes its exception on here.
  bool Wait(const BatchHandle& batch, const StopQuery& stop = {}, unsigned pollMilliseconds = 20);

  // The batch's pieces not yet started are dropped; returns once none of its pieces is running,
  // so that what they work on may go. The batch never completes.
  void Drop(const BatchHandle& batch);

  // Pieces not yet started are dropped, running ones finish; nothing new is queued.
  void Stop();
  bool Stopped() const;

 private:
  void HelperLoop(unsigned thread);
  // Takes the next piece of the batch, or of the oldest queued batch when batch is null;
  // returns the batch it came from (null when there is none). Called with the lock held.
  BatchHandle TakePiece(const Batch* only, size_t& piece);
  // True when no piece of the batch will run any more. Called with the lock held.
  bool Settled(const Batch& batch) const;
  void RunPiece(Batch& batch, size_t piece, unsigned thread, std::unique_lock<std::mutex>& lock);

  mutable std::mutex mutex_;
  std::condition_variable workQueued_;   // helpers wait here
  std::condition_variable pieceDone_;    // the waiting thread waits here
  std::deque<BatchHandle> queue_;        // batches with pieces not yet taken
  bool stopped_ = false;
  bool ending_ = false;
  std::vector<std::thread> helpers_;
};

}  // namespace toolsupport
