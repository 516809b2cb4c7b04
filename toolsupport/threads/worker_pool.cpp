#include "toolsupport/threads/worker_pool.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <system_error>

namespace toolsupport {
namespace {

constexpr unsigned kMostThreads = 256;

// The processors this process may run on (a taskset or a container can give fewer than the
// machine has).
unsigned CoreCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return static_cast<unsigned>(count);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? cores : 1;
}

}  // namespace

unsigned WorkerThreadCount() {
  const unsigned cores = std::min(CoreCount(), kMostThreads);
  const char* text = std::getenv("VANT_THREADS");
  if (text == nullptr || *text < '1' || *text > '9') return cores;
  char* end = nullptr;
  const unsigned long asked = std::strtoul(text, &end, 10);
  if (*end != '\0') return cores;
  return asked < cores ? static_cast<unsigned>(asked) : cores;
}

class WorkerPool::Batch {
 public:
  Batch(size_t count, Piece work) : pieces(count), body(std::move(work)) {}
  const size_t pieces;
  const Piece body;
  size_t taken = 0;     // pieces handed to a thread
  size_t finished = 0;  // pieces that have run
  bool dropped = false;
  std::exception_ptr failure;
};

WorkerPool::WorkerPool(unsigned threads) {
  threads = std::clamp(threads, 1u, kMostThreads);
  // Helpers start with every signal blocked, so that signals keep going to the program's thread.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  try {
    for (unsigned t = 1; t < threads; ++t) helpers_.emplace_back([this, t] { HelperLoop(t); });
  } catch (const std::system_error&) {
    // Fewer helpers than asked for do the same work, only later.
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = ending_ = true;
    queue_.clear();
  }
  workQueued_.notify_all();
  pieceDone_.notify_all();
  for (std::thread& helper : helpers_) helper.join();
}

WorkerPool::BatchHandle WorkerPool::Submit(size_t pieces, Piece body) {
  auto batch = std::make_shared<Batch>(pieces, std::move(body));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_ || pieces == 0) return batch;
    queue_.push_back(batch);
  }
  workQueued_.notify_all();
  return batch;
}

WorkerPool::BatchHandle WorkerPool::TakePiece(const Batch* only, size_t& piece) {
  if (stopped_) return nullptr;
  auto place = queue_.begin();
  if (only != nullptr) {
    place = std::find_if(queue_.begin(), queue_.end(), [only](const BatchHandle& b) { return b.get() == only; });
  }
  if (place == queue_.end()) return nullptr;
  BatchHandle batch = *place;
  piece = batch->taken++;
  if (batch->taken == batch->pieces) queue_.erase(place);
  return batch;
}

void WorkerPool::RunPiece(Batch& batch, size_t piece, unsigned thread, std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  std::exception_ptr failure;
  try {
    batch.body(piece, thread);
  } catch (...) {
    failure = std::current_exception();
  }
  lock.lock();
  if (failure && !batch.failure) batch.failure = failure;
  ++batch.finished;
  pieceDone_.notify_all();
}

void WorkerPool::HelperLoop(unsigned thread) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    workQueued_.wait(lock, [this] { return ending_ || (!stopped_ && !queue_.empty()); });
    if (ending_) return;
    size_t piece = 0;
    if (BatchHandle batch = TakePiece(nullptr, piece)) RunPiece(*batch, piece, thread, lock);
  }
}

bool WorkerPool::Wait(const BatchHandle& batch, const StopQuery& stop, unsigned pollMilliseconds) {
  using Clock = std::chrono::steady_clock;
  const auto poll = std::chrono::milliseconds(std::max(pollMilliseconds, 1u));
  auto nextPoll = Clock::now() + poll;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!Settled(*batch)) {
    size_t piece = 0;
    if (TakePiece(batch.get(), piece)) {
      RunPiece(*batch, piece, 0, lock);
    } else {
      pieceDone_.wait_until(lock, nextPoll);
    }
    if (stop && !stopped_ && Clock::now() >= nextPoll) {
      lock.unlock();
      const bool stopNow = stop();
      lock.lock();
      if (stopNow) {
        stopped_ = true;
        queue_.clear();
      }
      nextPoll = Clock::now() + poll;
    }
  }
  if (batch->failure) std::rethrow_exception(batch->failure);
  return batch->finished == batch->pieces;
}

bool WorkerPool::Settled(const Batch& batch) const {
  return batch.finished == batch.pieces || ((stopped_ || batch.dropped) && batch.finished == batch.taken);
}

void WorkerPool::Drop(const BatchHandle& batch) {
  std::unique_lock<std::mutex> lock(mutex_);
  batch->dropped = true;
  std::erase(queue_, batch);
  pieceDone_.wait(lock, [&] { return Settled(*batch); });
}

void WorkerPool::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopped_ = true;
  queue_.clear();
  pieceDone_.notify_all();
}

bool WorkerPool::Stopped() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopped_;
}

}  // namespace toolsupport
