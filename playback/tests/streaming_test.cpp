// The streaming reader (read-ahead ring, direct reads, seeks) must hand out exactly what
// preloading does, whatever mix of steps, background reads and jumps a player makes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "playback/tests/test_video.h"
#include "playback/vant.h"
#include "playback/video_reading.h"

namespace {

// The ring's pointers stay inside its allocation and agree with its fill.
void ExpectRingConsistent(const VantVideo* video) {
  if (video->extraBuffer == nullptr) return;
  const uint8_t* base = video->extraBuffer;
  const uint8_t* limit = base + video->extraBufferSize + 4096;
  ASSERT_LE(video->fill, video->extraBufferSize);
  ASSERT_GE(video->readPointer, base);
  ASSERT_LT(video->readPointer, video->readEnd);
  ASSERT_LE(video->readEnd, limit);
  ASSERT_GE(video->writePointer, base);
  ASSERT_LE(video->writePointer, limit);
  const bool wrapped = video->readEnd != base + video->extraBufferSize ||
                       video->writePointer < video->readPointer ||
                       (video->writePointer == video->readPointer && video->fill > 0);
  const uint64_t buffered =
      wrapped ? uint64_t(video->readEnd - video->readPointer) + uint64_t(video->writePointer - base)
              : uint64_t(video->writePointer - video->readPointer);
  ASSERT_EQ(buffered, video->fill);
}

// Goes to `index` the way a player's jump does.
void Jump(VantVideo* video, uint32_t index) {
  if (index == video->currentFrame) return;
  video->currentFrame = index;
  SeekToFrame(video);
  LocateFrameChunks(video);
}

}  // namespace

TEST(StreamingTest, StreamingReaderEqualsPreload) {
  ScratchDirectory dir;
  std::mt19937 random(20240611);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    VideoSpec spec;
    spec.frames = 2 + random() % 50;
    spec.ringFrame = random() % 2;
    spec.treeBytes = random() % 3000;
    spec.minVideoBytes = random() % 2 ? 0 : random() % 5000;
    spec.maxVideoBytes = spec.minVideoBytes + (random() % 3 == 0 ? 60000 : random() % 9000);
    spec.audioTracks = random() % 128;
    spec.paletteChangePercent = random() % 60;
    spec.seed = random();
    const WrittenVideo written = WriteTestVideo(dir.File("video.vnt"), spec);

    // The same video 512 × k bytes into a larger file, read from a descriptor placed there.
    const uint32_t prefix = 512 * (random() % 12);
    std::vector<uint8_t> embedded(prefix, 0xCC);
    embedded.insert(embedded.end(), written.bytes.begin(), written.bytes.end());
    embedded.resize(embedded.size() + random() % 5000, 0xDD);
    WriteWholeFile(dir.File("embedded.bin"), embedded);
    const int fd = open(dir.File("embedded.bin").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(lseek(fd, prefix, SEEK_SET), off_t(prefix));

    VantVideo* reference = VantOpen(written.path.c_str(), VANT_OPEN_PRELOAD, 0);
    ASSERT_NE(reference, nullptr);
    const uint32_t largeRing = 4096 * (1 + random() % 40);
    VantVideo* readers[] = {
        VantOpen(written.path.c_str(), 0, 0),
        VantOpen(written.path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO),
        VantOpen(written.path.c_str(), VANT_OPEN_FILL_BUFFER, largeRing),
        VantOpen(VantFileHandle(fd), VANT_OPEN_FILE_HANDLE, random() % 30000),
    };
    for (VantVideo* reader : readers) ASSERT_NE(reader, nullptr);

    const uint32_t stored = reference->storedFrames;
    for (int op = 0; op < 250; ++op) {
      const uint32_t what = random() % 100;
      const uint32_t target = random() % reference->header.frames;
      const uint32_t backgroundReads = random() % 6;
      auto apply = [&](VantVideo* video) {
        if (what < 70) {
          StepToNextFrame(video);
        } else if (what < 90) {
          Jump(video, target);
        } else {
          Jump(video, (video->currentFrame + 1) % stored);  // a jump that lands in the buffer
        }
      };
      apply(reference);
      for (VantVideo* reader : readers) {
        for (uint32_t b = 0; b < backgroundReads; ++b) BackgroundRead(reader);
        apply(reader);
        ExpectRingConsistent(reader);
        ASSERT_EQ(reader->readFailed, 0u);
        ASSERT_EQ(LocationOf(reader), LocationOf(reference)) << "operation " << op;
        ExpectFrameMatchesFile(reader, written);
        if (::testing::Test::HasFatalFailure()) return;
      }
    }
    for (VantVideo* reader : readers) VantClose(reader);
    VantClose(reference);
    EXPECT_NE(fcntl(fd, F_GETFD), -1) << "the caller's descriptor stays open";
    close(fd);
  }
}
