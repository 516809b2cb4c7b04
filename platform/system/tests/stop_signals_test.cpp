#include "platform/system/stop_signals.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>

namespace {

bool Readable(int descriptor) {
  pollfd waiting{descriptor, POLLIN, 0};
  return poll(&waiting, 1, 0) == 1 && (waiting.revents & POLLIN) != 0;
}

// The descriptor wakes an event loop from the first signal on, and stays readable after the
// request is taken: the program is stopping. Removing the handlers starts afresh.
TEST(StopSignals, EachSignalIsARequestThatWakesTheDescriptor) {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signalNumber);
    platform::InstallStopSignals();
    const int descriptor = platform::StopSignalDescriptor();
    ASSERT_GE(descriptor, 0);
    EXPECT_FALSE(Readable(descriptor));
    EXPECT_FALSE(platform::StopSignalPending());

    std::raise(signalNumber);
    EXPECT_TRUE(platform::StopSignalPending());
    EXPECT_TRUE(Readable(descriptor));
    EXPECT_TRUE(platform::TakeStopSignal());
    EXPECT_FALSE(platform::StopSignalPending());
    EXPECT_TRUE(Readable(descriptor));

    platform::RemoveStopSignals();
    EXPECT_FALSE(Readable(descriptor));
    EXPECT_EQ(platform::StopSignalDescriptor(), descriptor);  // one descriptor for the process
  }
}

}  // namespace
