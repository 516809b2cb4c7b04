// Files that are not .vnt files, are cut short or contradict themselves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "platform/system/clock.h"
#include "playback/open_video.h"
#include "playback/tests/test_video.h"
#include "playback/vant.h"
#include "playback/video_file_format.h"
#include "playback/video_reading.h"

namespace {

using vntfile::StoreLE32;

// Opens `bytes` written to a file by name, preloaded, and by descriptor; all must agree.
bool OpensInEveryWay(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteWholeFile(path, bytes);
  bool opened[3];
  const uint32_t flags[3] = {0, VANT_OPEN_PRELOAD, VANT_OPEN_FILE_HANDLE};
  for (int i = 0; i < 3; ++i) {
    const int fd = open(path.c_str(), O_RDONLY);
    VantVideo* video = VantOpen(i == 2 ? VantFileHandle(fd) : path.c_str(), flags[i], 0);
    opened[i] = video != nullptr;
    VantClose(video);
    EXPECT_NE(fcntl(fd, F_GETFD), -1);
    close(fd);
  }
  EXPECT_EQ(opened[0], opened[1]);
  EXPECT_EQ(opened[0], opened[2]);
  return opened[0];
}

}  // namespace

TEST(BadInputTest, WhatIsNotAVideoIsRefusedWithoutLeakingDescriptors) {
  ScratchDirectory dir;
  const int descriptors = OpenDescriptorCount();
  EXPECT_EQ(VantOpen(nullptr, 0, 0), nullptr);
  EXPECT_EQ(VantOpen(nullptr, VANT_OPEN_CALLER_MEMORY, 0), nullptr);
  EXPECT_EQ(VantOpen(dir.File("missing.vnt").c_str(), 0, 0), nullptr);
  EXPECT_EQ(VantOpen(dir.File("").c_str(), 0, 0), nullptr);  // a directory
  EXPECT_EQ(VantOpen(VantFileHandle(-1), VANT_OPEN_FILE_HANDLE, 0), nullptr);
  alignas(VantVideo) unsigned char memory[VANT_VIDEO_RECORD_SIZE];
  VantSetCallerMemoryHandle(memory, -1);
  EXPECT_EQ(VantOpen(memory, VANT_OPEN_FILE_HANDLE | VANT_OPEN_CALLER_MEMORY, 0), nullptr);

  EXPECT_FALSE(OpensInEveryWay(dir.File("empty.vnt"), {}));
  std::vector<uint8_t> text(5000, 'x');
  EXPECT_FALSE(OpensInEveryWay(dir.File("text.vnt"), text));
  const WrittenVideo written = WriteTestVideo(dir.File("good.vnt"), VideoSpec{});
  std::vector<uint8_t> wrongMagic = written.bytes;
  wrongMagic[3] = '1';
  EXPECT_FALSE(OpensInEveryWay(dir.File("magic.vnt"), wrongMagic));

  // A pipe has no position to start from or to seek to.
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  ASSERT_EQ(write(pipeEnds[1], written.bytes.data(), 4096), 4096);
  EXPECT_EQ(VantOpen(VantFileHandle(pipeEnds[0]), VANT_OPEN_FILE_HANDLE, 0), nullptr);
  EXPECT_NE(fcntl(pipeEnds[0], F_GETFD), -1);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

// Cut inside the header, tables or tree data, a file is refused; cut inside its frames, it opens
// and plays the frames it holds whole, then reading fails, in every way of reading it.
TEST(BadInputTest, ACutFileOpensAndPlaysUpToTheCut) {
  ScratchDirectory dir;
  VideoSpec spec;
  spec.frames = 4;
  spec.ringFrame = true;
  spec.minVideoBytes = 3000;  // enough frame data that a ring is used, not a preload
  spec.maxVideoBytes = 3300;
  spec.audioTracks = 1;
  const WrittenVideo written = WriteTestVideo(dir.File("whole.vnt"), spec);
  ASSERT_TRUE(OpensInEveryWay(dir.File("copy.vnt"), written.bytes));
  VantVideo* streaming = VantOpen(written.path.c_str(), 0, 0);
  ASSERT_NE(streaming, nullptr);
  ASSERT_NE(streaming->extraBuffer, nullptr);
  VantClose(streaming);
  const int descriptors = OpenDescriptorCount();
  // Every length through the header and tables, then a spread, and each side of every boundary.
  std::vector<size_t> lengths;
  for (size_t length = 0; length < 160; ++length) lengths.push_back(length);
  for (size_t length = 160; length < written.bytes.size(); length += 37) lengths.push_back(length);
  for (uint64_t offset : written.offsets) {
    lengths.insert(lengths.end(), {offset - 1, offset, offset + 1});
  }
  lengths.push_back(written.bytes.size() - 1);
  const std::string path = dir.File("cut.vnt");
  for (size_t length : lengths) {
    SCOPED_TRACE("cut at " + std::to_string(length));
    std::vector<uint8_t> cut(written.bytes.begin(), written.bytes.begin() + length);
    if (length < written.offsets[0]) {
      ASSERT_FALSE(OpensInEveryWay(path, cut));
      continue;
    }
    ASSERT_TRUE(OpensInEveryWay(path, cut));
    uint32_t whole = 0;  // frames that end at or before the cut
    while (whole < spec.frames && written.offsets[whole] + written.sizes[whole] <= length) ++whole;
    for (uint32_t flags : {0u, uint32_t(VANT_OPEN_PRELOAD)}) {
      VantVideo* video = VantOpen(path.c_str(), flags, 0);
      ASSERT_NE(video, nullptr);
      for (uint32_t frame = 0; frame < whole; ++frame) {
        ASSERT_EQ(video->readFailed, 0u) << "frame " << frame;
        ExpectFrameMatchesFile(video, written);
        StepToNextFrame(video);
      }
      EXPECT_EQ(video->readFailed, 1u) << "flags " << flags;
      VantClose(video);
    }
  }
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

TEST(BadInputTest, HeaderAndTablesThatContradictTheFileAreRefused) {
  ScratchDirectory dir;
  VideoSpec spec;
  spec.frames = 5;
  const WrittenVideo written = WriteTestVideo(dir.File("good.vnt"), spec);
  const std::string path = dir.File("bad.vnt");
  auto patched = [&](size_t offset, uint32_t value) {
    std::vector<uint8_t> bytes = written.bytes;
    StoreLE32(bytes.data() + offset, value);
    return bytes;
  };
  EXPECT_FALSE(OpensInEveryWay(path, patched(12, 0))) << "no frames";
  EXPECT_FALSE(OpensInEveryWay(path, patched(12, 0xFFFFFFFF))) << "frames beyond the file";
  EXPECT_FALSE(OpensInEveryWay(path, patched(12, 6))) << "one frame more than the tables hold";
  EXPECT_FALSE(OpensInEveryWay(path, patched(20, 1))) << "a ring frame that is not there";
  EXPECT_FALSE(OpensInEveryWay(path, patched(52, 0xFFFFFFF0))) << "tree data beyond the file";
  // Tree data that takes in frame data moves the frames past the end of the file: they fail
  // where they leave it.
  EXPECT_TRUE(OpensInEveryWay(path, patched(52, written.header.treeDataSize + 512)));
  // Frame sizes that run past the end of the file only fail where the frames leave the file.
  EXPECT_TRUE(OpensInEveryWay(path, patched(104, written.sizes[0] + 4))) << "frames beyond the file";
  EXPECT_TRUE(OpensInEveryWay(path, patched(104 + 8, 0xFFFFFFFC))) << "one frame beyond the file";
  for (uint32_t flags : {0u, uint32_t(VANT_OPEN_PRELOAD)}) {
    WriteWholeFile(path, patched(104 + 8, 0xFFFFFFFC));
    VantVideo* video = VantOpen(path.c_str(), flags, VANT_EXTRA_BUFFER_AUTO);
    ASSERT_NE(video, nullptr);
    EXPECT_LT(video->peakMemory, written.bytes.size() + (1u << 20)) << "nothing of the claimed size";
    StepToNextFrame(video);
    EXPECT_EQ(video->readFailed, 0u);
    StepToNextFrame(video);
    EXPECT_EQ(video->readFailed, 1u);
    VantClose(video);
  }
  EXPECT_FALSE(OpensInEveryWay(path, patched(104 + 8, written.sizes[2] + 1))) << "frame not padded";
  EXPECT_TRUE(OpensInEveryWay(path, patched(104, written.sizes[0] - 4))) << "shorter frames are fine";
  // A height that cannot be doubled only matters for a height-scaled video.
  EXPECT_TRUE(OpensInEveryWay(path, patched(8, 0x80000000)));
  std::vector<uint8_t> tall = patched(8, 0x80000000);
  StoreLE32(tall.data() + 20, vntfile::kFlagDoubled);
  EXPECT_FALSE(OpensInEveryWay(path, tall));
}

TEST(BadInputTest, ChunksThatDoNotFitTheirFrameAreIgnored) {
  ScratchDirectory dir;
  VideoSpec spec;
  spec.frames = 4;
  spec.paletteChangePercent = 100;
  spec.audioTracks = 0b101;
  spec.minVideoBytes = spec.maxVideoBytes = 40;
  spec.maxAudioSamples = 40;
  const WrittenVideo written = WriteTestVideo(dir.File("good.vnt"), spec);
  const uint64_t frame1 = written.offsets[1];
  const uint32_t paletteBytes = written.bytes[frame1] * 4;
  const uint64_t audio0 = frame1 + paletteBytes;
  const uint32_t audioBytes = vntfile::LoadLE32(written.bytes.data() + audio0);
  const uint32_t pastTheFrame = written.sizes[1] / 4 + 1;
  ASSERT_LE(pastTheFrame, 255u) << "frame 1 must be small enough for a palette length past it";

  struct Damage {
    const char* what;
    uint64_t offset;
    uint32_t value;
    bool byte;
  };
  const Damage damages[] = {
      {"palette length 0", frame1, 0, true},
      {"palette past the frame", frame1, pastTheFrame, true},
      {"audio length 0", audio0, 0, false},
      {"audio length below its own word", audio0, 3, false},
      {"audio length not a multiple of 4", audio0, audioBytes + 1, false},
      {"audio past the frame", audio0, written.sizes[1] - paletteBytes + 4, false},
      {"audio length wrapping 32 bits", audio0, 0xFFFFFFFC, false},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    std::vector<uint8_t> bytes = written.bytes;
    if (damage.byte) {
      bytes[damage.offset] = static_cast<uint8_t>(damage.value);
    } else {
      StoreLE32(bytes.data() + damage.offset, damage.value);
    }
    const std::string path = dir.File("damaged.vnt");
    WriteWholeFile(path, bytes);
    for (uint32_t flags : {0u, uint32_t(VANT_OPEN_PRELOAD)}) {
      VantVideo* video = VantOpen(path.c_str(), flags, 0);
      ASSERT_NE(video, nullptr);
      video->lastPaletteFrame = 0;
      StepToNextFrame(video);
      ASSERT_EQ(video->currentFrame, 1u);
      for (uint8_t* chunk : video->audioChunks) EXPECT_EQ(chunk, nullptr);
      EXPECT_EQ(video->chunksBeforeVideo, written.sizes[1]);
      EXPECT_EQ(video->videoChunk, video->frameStart + written.sizes[1]);
      EXPECT_EQ(video->paletteChanged, 0u);
      EXPECT_EQ(0, std::memcmp(video->palette, written.palettes[0].data(), 768));
      StepToNextFrame(video);  // the next frame is whole again
      ExpectFrameMatchesFile(video, written);
      EXPECT_EQ(video->paletteChanged, written.types[2] & 1u);
      VantClose(video);
    }
  }
}

TEST(BadInputTest, ReadErrorsWhilePlayingAreNotedNotOverrun) {
  ScratchDirectory dir;
  VideoSpec spec;
  spec.frames = 30;
  spec.minVideoBytes = 3000;
  spec.maxVideoBytes = 30000;
  const WrittenVideo written = WriteTestVideo(dir.File("shrinking.vnt"), spec);
  const std::string path = dir.File("copy.vnt");
  WriteWholeFile(path, written.bytes);
  VantVideo* video = VantOpen(path.c_str(), 0, 0);
  ASSERT_NE(video, nullptr);
  // The file loses its second half after the open (another program truncates it).
  ASSERT_EQ(truncate(path.c_str(), off_t(written.offsets[15])), 0);
  for (int i = 0; i < 40 && !video->readFailed; ++i) StepToNextFrame(video);
  EXPECT_EQ(video->readFailed, 1u);
  EXPECT_LE(video->fill, video->extraBufferSize);
  VantClose(video);
}

TEST(BadInputTest, TheLibrarysOwnOpenSaysWhyItFailed) {
  ScratchDirectory dir;
  const WrittenVideo written = WriteTestVideo(dir.File("good.vnt"), VideoSpec{});
  std::vector<uint8_t> wrongMagic = written.bytes;
  wrongMagic[0] = 'X';
  WriteWholeFile(dir.File("magic.vnt"), wrongMagic);
  WriteWholeFile(dir.File("header.vnt"), std::vector<uint8_t>(written.bytes.begin(), written.bytes.begin() + 20));
  std::vector<uint8_t> oddSize = written.bytes;
  StoreLE32(oddSize.data() + vntfile::kHeaderSize, vntfile::LoadLE32(oddSize.data() + vntfile::kHeaderSize) + 1);
  WriteWholeFile(dir.File("odd.vnt"), oddSize);
  struct Case {
    const char* name;
    OpenFailure failure;
    int error;
  };
  const Case cases[] = {
      {"good.vnt", OpenFailure::None, 0},          {"missing.vnt", OpenFailure::CannotOpen, ENOENT},
      {"magic.vnt", OpenFailure::NotAVideo, 0},    {"header.vnt", OpenFailure::CutShort, 0},
      {"odd.vnt", OpenFailure::Damaged, 0},
  };
  for (const Case& c : cases) {
    const OpenAttempt attempt = TryOpenVideo(dir.File(c.name).c_str(), 0, 0, platform::SystemClock());
    EXPECT_EQ(attempt.failure, c.failure) << c.name;
    EXPECT_EQ(attempt.error, c.error) << c.name;
    EXPECT_EQ(attempt.video != nullptr, c.failure == OpenFailure::None) << c.name;
    VantClose(attempt.video);
  }
  EXPECT_EQ(TryOpenVideo(nullptr, 0, 0, platform::SystemClock()).failure, OpenFailure::NoSource);
  EXPECT_EQ(TryOpenVideo(VantFileHandle(-1), VANT_OPEN_FILE_HANDLE, 0, platform::SystemClock()).failure,
            OpenFailure::NoSource);
}
