#include <filesystem>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <memory>

#include "platform/system/clock.h"
#include "platform/system/tests/fake_clock.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"
#include "playback/open_video.h"
#include "playback/video_file_format.h"
#include "playback/video_file_writer.h"
#include "playback/video_reading.h"

namespace {

struct Closer {
  void operator()(VantVideo* video) const { VantClose(video); }
};
using VideoPtr = std::unique_ptr<VantVideo, Closer>;

VideoPtr Open(const std::string& path, uint32_t flags, uint32_t extra) {
  return VideoPtr(VantOpen(path.c_str(), flags, extra));
}

VideoPtr Open(const std::string& path, uint32_t flags, uint32_t extra, platform::Clock& clock) {
  return VideoPtr(OpenVideo(path.c_str(), flags, extra, clock));
}

// Counts how often it is read, and never moves.
class CountingClock : public platform::Clock {
 public:
  uint64_t Now() override { return ++calls; }
  void Sleep(uint32_t) override {}
  uint64_t calls = 0;
};

// Steps through `steps` frames and notes where each located frame's pieces are.
std::vector<FrameLocation> Play(VantVideo* video, const WrittenVideo& written, int steps) {
  std::vector<FrameLocation> seen;
  for (int s = 0; s < steps; ++s) {
    ExpectFrameMatchesFile(video, written);
    seen.push_back(LocationOf(video));
    video->lastPaletteFrame = static_cast<int32_t>(video->currentFrame);  // the caller takes it
    StepToNextFrame(video);
  }
  return seen;
}

// A video of the given frame sizes (each a multiple of 4, at least 0) and frame rate.
WrittenVideo VideoOfSizes(const std::string& path, const std::vector<uint32_t>& sizes,
                          int32_t frameRate) {
  vntfile::VideoFileWriter writer;
  EXPECT_TRUE(writer.Begin(path, static_cast<uint32_t>(sizes.size()), false, {}));
  for (uint32_t size : sizes) {
    vntfile::FrameBlocks frame;
    frame.video.assign(size, 0x42);
    EXPECT_TRUE(writer.AddFrame(frame));
  }
  VideoFileHeader header{};
  header.frameRate = frameRate;
  EXPECT_TRUE(writer.Finish(header));
  WrittenVideo written;
  written.path = path;
  written.sizes = sizes;
  return written;
}

}  // namespace

TEST(VantOpenTest, EveryWayOfOpeningFindsTheSameFrames) {
  ScratchDirectory dir;
  VideoSpec spec;
  spec.frames = 40;
  spec.audioTracks = 0b1000101;
  spec.minVideoBytes = 100;
  spec.maxVideoBytes = 6000;
  const WrittenVideo written = WriteTestVideo(dir.File("modes.vnt"), spec);
  const int steps = 2 * 40 + 3;  // past the end and round again

  VideoPtr reference = Open(written.path, VANT_OPEN_PRELOAD, 0);
  ASSERT_TRUE(reference);
  EXPECT_EQ(reference->fileHandle, -1);
  const std::vector<FrameLocation> expected = Play(reference.get(), written, steps);
  for (int s = 0; s < 40; ++s) {
    EXPECT_EQ(0, std::memcmp(expected[s].palette.data(), written.palettes[s].data(), 768)) << s;
    EXPECT_EQ(expected[s].paletteChanged, (written.types[s] & 1) ? 1u : 0u) << s;
  }

  struct Mode {
    const char* name;
    uint32_t flags;
    uint32_t extra;
    bool byDescriptor;
    bool callerMemory;
  };
  const Mode modes[] = {
      {"name, smallest ring", 0, 0, false, false},
      {"name, automatic ring", 0, VANT_EXTRA_BUFFER_AUTO, false, false},
      {"name, ring filled at open", VANT_OPEN_FILL_BUFFER, 20000, false, false},
      {"descriptor", VANT_OPEN_FILE_HANDLE, 0, true, false},
      {"descriptor, preloaded", VANT_OPEN_FILE_HANDLE | VANT_OPEN_PRELOAD, 0, true, false},
      {"caller memory, name", VANT_OPEN_CALLER_MEMORY, 0, false, true},
      {"caller memory, descriptor", VANT_OPEN_CALLER_MEMORY | VANT_OPEN_FILE_HANDLE, 0, true, true},
  };
  for (const Mode& mode : modes) {
    SCOPED_TRACE(mode.name);
    int fd = -1;
    if (mode.byDescriptor) fd = open(written.path.c_str(), O_RDONLY);
    alignas(VantVideo) unsigned char memory[VANT_VIDEO_RECORD_SIZE];
    const void* source = written.path.c_str();
    if (mode.callerMemory) {
      if (mode.byDescriptor) {
        VantSetCallerMemoryHandle(memory, fd);
      } else {
        std::strcpy(reinterpret_cast<char*>(memory), written.path.c_str());
      }
      source = memory;
    } else if (mode.byDescriptor) {
      source = VantFileHandle(fd);
    }
    VantVideo* video = VantOpen(source, mode.flags, mode.extra);
    ASSERT_NE(video, nullptr);
    if (mode.callerMemory) {
      EXPECT_EQ(static_cast<void*>(video), static_cast<void*>(memory));
    }
    EXPECT_EQ(Play(video, written, steps), expected);
    VantClose(video);
    if (mode.callerMemory) {
      for (unsigned char b : memory) ASSERT_EQ(b, 0);
    }
    if (mode.byDescriptor) {
      EXPECT_NE(fcntl(fd, F_GETFD), -1) << "the caller's descriptor must stay open";
      close(fd);
    }
  }
}

TEST(VantOpenTest, RingFrameStandsInForFrameZeroWhenPlaybackWraps) {
  ScratchDirectory dir;
  for (uint32_t frames : {1u, 5u}) {
    for (bool ring : {false, true}) {
      VideoSpec spec;
      spec.frames = frames;
      spec.ringFrame = ring;
      spec.paletteChangePercent = 100;
      const WrittenVideo written = WriteTestVideo(dir.File("ring.vnt"), spec);
      for (uint32_t flags : {0u, uint32_t(VANT_OPEN_PRELOAD)}) {
        VideoPtr video = Open(written.path, flags, 0);
        ASSERT_TRUE(video);
        std::vector<uint32_t> order;
        for (uint32_t s = 0; s < 3 * frames + 3; ++s) {
          ExpectFrameMatchesFile(video.get(), written);
          order.push_back(video->currentFrame);
          if (video->currentFrame == 0) {
            // Frame 0 starts from a black palette, wherever playback came from.
            EXPECT_EQ(0, std::memcmp(video->palette, written.palettes[0].data(), 768));
          }
          StepToNextFrame(video.get());
        }
        // Without a ring frame: 0, 1, ..., F-1, 0, ...; with one: 0, ..., F-1, F (the ring
        // frame), 1, ..., F-1, F, 1, ...
        std::vector<uint32_t> expected;
        for (uint32_t f = 0; expected.size() < order.size();) {
          expected.push_back(f);
          f = ring ? (f < frames ? f + 1 : 1) : (f + 1) % frames;
        }
        EXPECT_EQ(order, expected) << "frames " << frames << " ring " << ring << " flags " << flags;
      }
    }
  }
}

TEST(VantOpenTest, PaletteChangedOnlyForAPaletteTheCallerHasNotTaken) {
  ScratchDirectory dir;
  VideoSpec spec;
  spec.frames = 6;
  spec.paletteChangePercent = 50;
  spec.seed = 4;
  const WrittenVideo written = WriteTestVideo(dir.File("palette.vnt"), spec);
  VideoPtr video = Open(written.path, 0, 0);
  ASSERT_TRUE(video);
  EXPECT_EQ(video->lastPaletteFrame, -1);
  EXPECT_EQ(video->paletteChanged, 1u);  // frame 0 brings the first palette
  EXPECT_EQ(video->colorTableDirty, 1u);
  // Located again without being taken, frame 0's palette still counts as new; once taken, not.
  video->currentFrame = 0;
  SeekToFrame(video.get());
  LocateFrameChunks(video.get());
  EXPECT_EQ(video->paletteChanged, 1u);
  video->lastPaletteFrame = 0;
  SeekToFrame(video.get());
  LocateFrameChunks(video.get());
  EXPECT_EQ(video->paletteChanged, 0u);
  EXPECT_EQ(0, std::memcmp(video->palette, written.palettes[0].data(), 768));
  for (uint32_t i = 1; i < 6; ++i) {
    StepToNextFrame(video.get());
    EXPECT_EQ(video->paletteChanged, (written.types[i] & 1) ? 1u : 0u) << i;
    EXPECT_EQ(0, std::memcmp(video->palette, written.palettes[i].data(), 768)) << i;
  }
}

TEST(VantOpenTest, ChoosesTheRingSizeOrPreloads) {
  ScratchDirectory dir;
  // Ten frames of 1000 bytes: an automatic ring (12288) would hold more than 4/5 of them.
  const WrittenVideo small = VideoOfSizes(dir.File("small.vnt"), std::vector<uint32_t>(10, 1000), 0);
  VideoPtr video = Open(small.path, 0, VANT_EXTRA_BUFFER_AUTO);
  ASSERT_TRUE(video);
  EXPECT_TRUE(video->keptFlags & VANT_OPEN_PRELOAD);
  EXPECT_EQ(video->extraBuffer, nullptr);
  EXPECT_EQ(video->fileHandle, -1);
  EXPECT_EQ(video->frameBufferSize, 10000u);

  const WrittenVideo big = VideoOfSizes(dir.File("big.vnt"), std::vector<uint32_t>(100, 1000), 0);
  struct Case {
    uint32_t extra;
    uint64_t ring;  // 0: preloaded
  };
  for (Case c : {Case{0, 8192}, Case{5000, 8192}, Case{9000, 12288}, Case{VANT_EXTRA_BUFFER_AUTO, 12288},
                 Case{79999, 0}, Case{77000, 77824}, Case{0xFFFFFFFE, 0}}) {
    video = Open(big.path, 0, c.extra);
    ASSERT_TRUE(video) << c.extra;
    EXPECT_EQ(video->extraBufferSize, c.ring) << c.extra;
    EXPECT_EQ(bool(video->keptFlags & VANT_OPEN_PRELOAD), c.ring == 0) << c.extra;
    EXPECT_EQ(video->frameBufferSize, c.ring ? 1000u : 100000u);
    // Everything the handle holds is counted in its memory figures.
    uint64_t counted = sizeof(VantVideo) + 5 * 100 + 4 + video->treeBlockSize +
                       video->frameBufferSize + 8 + (c.ring ? c.ring + 4096 : 0);
    EXPECT_EQ(video->memoryInUse, counted);
    EXPECT_EQ(video->peakMemory, counted);
  }

  // With a frame period the automatic ring is the busiest second, within its bounds.
  const WrittenVideo paced = VideoOfSizes(dir.File("paced.vnt"), std::vector<uint32_t>(400, 1000), -10000);
  video = Open(paced.path, 0, VANT_EXTRA_BUFFER_AUTO);
  ASSERT_TRUE(video);
  EXPECT_EQ(video->highestRate, 10000u);
  EXPECT_EQ(video->extraBufferSize, 12288u);
}

TEST(VantOpenTest, HighestOneSecondRateSkipsFrameZeroButNotTheLastWindow) {
  ScratchDirectory dir;
  // Period 25000 (10 us units): four frames to the second.
  struct Case {
    std::vector<uint32_t> sizes;
    uint64_t rate;
    uint32_t start;
  };
  const Case cases[] = {
      {{400, 8, 8, 8}, 424, 0},                 // under a second: all of it
      {{400, 8, 8, 8, 4}, 28, 1},               // n - 1 = w: the window from frame 1
      {{400, 8, 8, 8, 8, 8, 8, 12, 16, 20}, 56, 6},  // the busiest second is the last one
      {{400, 8, 12, 8, 12, 8, 12, 8, 0, 0}, 40, 1},  // equal windows: the earliest wins
      {{0, 0, 0, 0, 0, 0}, 0, 0},
  };
  for (const Case& c : cases) {
    const WrittenVideo written = VideoOfSizes(dir.File("rate.vnt"), c.sizes, -25000);
    VideoPtr video = Open(written.path, VANT_OPEN_PRELOAD, 0);
    ASSERT_TRUE(video);
    EXPECT_EQ(video->highestRate, c.rate) << c.sizes.size();
    EXPECT_EQ(video->highestRateFrame, c.start) << c.sizes.size();
    uint64_t total = 0;
    for (uint32_t s : c.sizes) total += s;
    EXPECT_EQ(video->averageFrameSize, total / c.sizes.size());
  }
}

TEST(VantOpenTest, FrameRateAndHeightScalingAsAskedFor) {
  ScratchDirectory dir;
  VideoSpec spec;
  spec.frameRate = 66;
  spec.flags = vntfile::kFlagDoubled;
  const WrittenVideo doubled = WriteTestVideo(dir.File("doubled.vnt"), spec);

  VideoPtr video = Open(doubled.path, 0, 0);
  ASSERT_TRUE(video);
  EXPECT_EQ(video->framePeriod, 6600u);
  EXPECT_EQ(video->header.height, 96u);
  EXPECT_EQ(video->keptFlags & (VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED), uint32_t(VANT_OPEN_DOUBLED));
  EXPECT_EQ(video->nextFrameTime, UINT64_MAX);

  EXPECT_EQ(VantFrameRate(15), -6666);
  video = Open(doubled.path, VANT_OPEN_USE_FRAME_RATE | VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED, 0);
  ASSERT_TRUE(video);
  EXPECT_EQ(video->header.frameRate, -6666);
  EXPECT_EQ(video->framePeriod, 6666u);
  EXPECT_EQ(video->header.height, 48u);  // both forced: no scaling
  EXPECT_EQ(video->header.flags & vntfile::kHeightScalingMask, 0u);
  EXPECT_EQ(video->keptFlags & (VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED), 0u);

  video = Open(doubled.path, VANT_OPEN_INTERLACED | VANT_OPEN_ALL_TRACKS | 0x80000000u, 0);
  ASSERT_TRUE(video);
  EXPECT_EQ(video->header.height, 96u);
  EXPECT_EQ(video->header.flags & vntfile::kHeightScalingMask, vntfile::kFlagInterlaced);
  // The video has no sound, so no track opens; unknown bits are kept.
  EXPECT_EQ(video->keptFlags & ~uint32_t(VANT_OPEN_PRELOAD), VANT_OPEN_INTERLACED | 0x80000000u);

  EXPECT_EQ(VantFrameRate(0), 0);
  video = Open(doubled.path, VANT_OPEN_USE_FRAME_RATE, 0);
  ASSERT_TRUE(video);
  EXPECT_EQ(video->framePeriod, 0u);
  EXPECT_EQ(VantFrameRate(-5000), -5000);

  spec.flags = vntfile::kFlagInterlaced | vntfile::kFlagDoubled;  // both bits: no scaling
  const WrittenVideo both = WriteTestVideo(dir.File("both.vnt"), spec);
  video = Open(both.path, 0, 0);
  ASSERT_TRUE(video);
  EXPECT_EQ(video->header.height, 48u);
}

TEST(VantOpenTest, SimulatedReadSpeedPacesEveryRead) {
  ScratchDirectory dir;
  const WrittenVideo written =
      VideoOfSizes(dir.File("slow.vnt"), std::vector<uint32_t>(50, 2000), -6667);
  FakeClock clock;
  VantSimulate(100000);  // 100 bytes per millisecond

  VideoPtr fast = Open(written.path, VANT_OPEN_PRELOAD, 0, clock);
  ASSERT_TRUE(fast);
  EXPECT_EQ(fast->openReadTime, 0u);
  EXPECT_EQ(fast->simulatedReadRate, 0u);

  VideoPtr slow = Open(written.path, VANT_OPEN_PRELOAD | VANT_OPEN_SIMULATE_READ, 0, clock);
  ASSERT_TRUE(slow);
  // 100000 frame bytes at 100 per ms, plus the header and tables; each read rounds down.
  EXPECT_GE(slow->openReadTime, 1000u);
  EXPECT_LE(slow->openReadTime, 1010u);
  EXPECT_EQ(slow->openTime, slow->openReadTime);

  VideoPtr ring = Open(written.path, VANT_OPEN_SIMULATE_READ, 40000, clock);
  ASSERT_TRUE(ring);
  const uint32_t before = ring->foregroundMs;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(BackgroundRead(ring.get()), 4096u);
  EXPECT_GE(ring->backgroundMs, 4 * 40u);
  EXPECT_EQ(ring->foregroundMs, before);
  VantSimulate(0);
}

TEST(VantOpenTest, ReadingAheadStopsAtTheEndOfTheFrameData) {
  ScratchDirectory dir;
  const WrittenVideo written =
      VideoOfSizes(dir.File("short.vnt"), std::vector<uint32_t>(20, 2000), -6667);
  CountingClock clock;
  VideoPtr video = Open(written.path, 0, 28672, clock);  // less than 4/5 of the data: no preload
  ASSERT_TRUE(video);
  ASSERT_NE(video->extraBuffer, nullptr);
  // Play on, reading ahead between frames, until the ring holds the rest of the file.
  for (int frame = 0; frame < 10; ++frame) {
    while (BackgroundRead(video.get()) != 0) {
    }
    VantNextFrame(video.get());
  }
  while (BackgroundRead(video.get()) != 0) {
  }
  // Further calls read nothing and take no time.
  EXPECT_EQ(video->readPosition + video->fill, std::filesystem::file_size(written.path));
  const uint64_t bytes = video->backgroundBytes;
  const uint64_t clockCalls = clock.calls;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(BackgroundRead(video.get()), 0u);
  EXPECT_EQ(clock.calls, clockCalls);
  EXPECT_EQ(video->backgroundBytes, bytes);
}

TEST(AlignedAllocTest, SixteenByteBlocksAndRefusedSizes) {
  EXPECT_EQ(AlignedAlloc(0), nullptr);
  EXPECT_EQ(AlignedAlloc(0xFFFFFFFFu), nullptr);
  EXPECT_EQ(AlignedAlloc(SIZE_MAX), nullptr);
  std::vector<void*> blocks;
  for (size_t size = 1; size < 200; size += 7) {
    auto* block = static_cast<uint8_t*>(AlignedAlloc(size));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
    EXPECT_GE(block[-1], 1);
    EXPECT_LE(block[-1], 16);
    std::memset(block, 0xAB, size);  // the whole size is usable (ASan checks the bounds)
    blocks.push_back(block);
  }
  for (void* block : blocks) AlignedFree(block);
  AlignedFree(nullptr);
}
