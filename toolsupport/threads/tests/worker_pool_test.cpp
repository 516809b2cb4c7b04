#include "toolsupport/threads/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace toolsupport {
namespace {

TEST(WorkerPool, EveryPieceOfEveryBatchRunsOnceWhateverTheThreads) {
  for (unsigned threads : {1u, 2u, 8u}) {
    SCOPED_TRACE(threads);
    WorkerPool pool(threads);
    EXPECT_EQ(pool.Threads(), threads);
    // Three batches queued before any wait: a later one may finish first, and each still counts.
    std::vector<std::vector<std::atomic<int>>> runs;
    for (size_t size : {1u, 37u, 500u}) runs.emplace_back(size);
    std::vector<WorkerPool::BatchHandle> batches;
    std::atomic<bool> foreignThread{false};
    for (auto& counts : runs) {
      batches.push_back(pool.Submit(counts.size(), [&counts, &foreignThread, threads](size_t piece, unsigned thread) {
        if (thread >= threads) foreignThread = true;
        ++counts[piece];
      }));
    }
    for (size_t b = batches.size(); b-- > 0;) EXPECT_TRUE(pool.Wait(batches[b]));
    for (auto& counts : runs) {
      for (auto& count : counts) EXPECT_EQ(count.load(), 1);
    }
    EXPECT_FALSE(foreignThread);
    EXPECT_TRUE(pool.Wait(pool.Submit(0, [](size_t, unsigned) {})));
  }
}

TEST(WorkerPool, OneThreadRunsThePiecesInOrderOnTheWaitingThread) {
  WorkerPool pool(1);
  std::vector<size_t> order;
  WorkerPool::BatchHandle batch = pool.Submit(5, [&](size_t piece, unsigned thread) {
    EXPECT_EQ(thread, 0u);
    order.push_back(piece);
  });
  EXPECT_TRUE(order.empty());  // nothing runs before the wait
  EXPECT_TRUE(pool.Wait(batch));
  EXPECT_EQ(order, (std::vector<size_t>{0, 1, 2, 3, 4}));
}

TEST(WorkerPool, AStopDropsThePiecesNotStartedAndNothingRunsAfterIt) {
  for (unsigned threads : {1u, 4u}) {
    SCOPED_TRACE(threads);
    WorkerPool pool(threads);
    std::atomic<size_t> ran{0};
    constexpr size_t kPieces = 2000;
    WorkerPool::BatchHandle batch = pool.Submit(kPieces, [&](size_t, unsigned) {
      ++ran;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    int asked = 0;
    // The query is asked while the batch runs; its first true ends the wait.
    EXPECT_FALSE(pool.Wait(batch, [&] { return ++asked >= 2; }, 5));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(pool.Stopped());
    const size_t stoppedAt = ran.load();
    EXPECT_LT(stoppedAt, kPieces / 2);
    // Nothing is running any more, and nothing new is taken.
    WorkerPool::BatchHandle later = pool.Submit(10, [&](size_t, unsigned) { ++ran; });
    EXPECT_FALSE(pool.Wait(later));
    EXPECT_EQ(ran.load(), stoppedAt);
  }
}

TEST(WorkerPool, ADroppedBatchEndsAndTheOthersGoOn) {
  WorkerPool pool(4);
  std::atomic<size_t> ran{0};
  constexpr size_t kPieces = 1000;
  WorkerPool::BatchHandle dropped = pool.Submit(kPieces, [&](size_t, unsigned) {
    ++ran;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  std::atomic<int> kept{0};
  WorkerPool::BatchHandle next = pool.Submit(50, [&](size_t, unsigned) { ++kept; });
  while (ran.load() == 0) std::this_thread::yield();
  pool.Drop(dropped);
  // Once Drop returns, no piece of the batch runs or starts.
  const size_t atDrop = ran.load();
  EXPECT_LT(atDrop, kPieces);
  EXPECT_FALSE(pool.Wait(dropped));
  EXPECT_TRUE(pool.Wait(next));
  EXPECT_EQ(kept.load(), 50);
  EXPECT_EQ(ran.load(), atDrop);
  EXPECT_FALSE(pool.Stopped());
}

TEST(WorkerPool, AnExceptionInAPieceReachesTheWaitingThread) {
  for (unsigned threads : {1u, 3u}) {
    WorkerPool pool(threads);
    std::atomic<int> ran{0};
    WorkerPool::BatchHandle batch = pool.Submit(20, [&](size_t piece, unsigned) {
      ++ran;
      if (piece == 7) throw std::runtime_error("piece 7");
    });
    EXPECT_THROW(pool.Wait(batch), std::runtime_error);
    EXPECT_EQ(ran.load(), 20);  // the other pieces still ran
  }
}

TEST(WorkerPool, HelpersLeaveSignalsToTheProgramsThread) {
  WorkerPool pool(3);
  std::atomic<int> helperPieces{0}, unblocked{0};
  // Enough pieces that the helpers take some while this thread runs its own.
  WorkerPool::BatchHandle batch = pool.Submit(64, [&](size_t, unsigned thread) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (thread == 0) return;
    ++helperPieces;
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) unblocked += !sigismember(&mask, signalNumber);
  });
  ASSERT_TRUE(pool.Wait(batch));
  EXPECT_GT(helperPieces.load(), 0);
  EXPECT_EQ(unblocked.load(), 0);
  sigset_t mine;
  pthread_sigmask(SIG_BLOCK, nullptr, &mine);
  EXPECT_FALSE(sigismember(&mine, SIGINT));  // the creating thread's own mask is as it was
}

TEST(WorkerThreadCount, OnePerCoreUnlessTheEnvironmentAsksForFewer) {
  const char* old = std::getenv("VANT_THREADS");
  const std::string kept = old ? old : "";
  unsetenv("VANT_THREADS");
  const unsigned cores = WorkerThreadCount();
  EXPECT_GE(cores, 1u);
  struct Case {
    std::string value;
    unsigned expected;
  };
  const Case cases[] = {
      {"1", 1}, {std::to_string(cores), cores}, {std::to_string(cores + 5), cores},
      {"0", cores}, {"-2", cores}, {"two", cores}, {"3x", cores}, {"", cores},
  };
  for (const Case& c : cases) {
    setenv("VANT_THREADS", c.value.c_str(), 1);
    EXPECT_EQ(WorkerThreadCount(), c.expected) << '"' << c.value << '"';
  }
  if (old) {
    setenv("VANT_THREADS", kept.c_str(), 1);
  } else {
    unsetenv("VANT_THREADS");
  }
}

}  // namespace
}  // namespace toolsupport
