#include "toolsupport/picture/flic_reader.h"

#include <gtest/gtest.h>

#include "toolsupport/tests/media_test_files.h"
#include "testsupport/file_contents.h"

namespace toolsupport {
namespace {

using testing_files::ByteWriter;

// Builds flic files chunk by chunk.
struct FlicBuilder {
  ByteWriter out;
  int frames = 0;

  FlicBuilder(uint16_t type, int width, int height, uint32_t speed, int32_t exactRate = 0) {
    out.U32(0).U16(type).U16(0).U16(width).U16(height).U16(8).U16(3).U32(speed);
    while (out.size() < 26) out.U8(0);
    out.U32(static_cast<uint32_t>(exactRate));
    while (out.size() < 128) out.U8(0);
  }
  // A frame of whole chunks, each given as (type, data).
  FlicBuilder& Frame(const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& chunks) {
    size_t start = out.size();
    out.U32(0).U16(0xF1FA).U16(static_cast<uint32_t>(chunks.size()));
    while (out.size() < start + 16) out.U8(0);
    for (const auto& [type, data] : chunks) {
      out.U32(static_cast<uint32_t>(data.size() + 6)).U16(type).Bytes(data);
    }
    out.PatchU32(start, static_cast<uint32_t>(out.size() - start));
    ++frames;
    return *this;
  }
  std::string Save(const std::string& path) {
    out.PatchU32(0, static_cast<uint32_t>(out.size()));
    out.PatchU16(6, static_cast<uint32_t>(frames));
    testing_files::WriteBytes(path, out.bytes);
    return path;
  }
};

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> v;
  for (int x : values) v.push_back(static_cast<uint8_t>(x));
  return v;
}

// A frame buffer with guard bytes on both sides, to see stray writes.
struct GuardedFrame {
  std::vector<uint8_t> memory;
  size_t size;
  explicit GuardedFrame(const FlicReader& r) : size(static_cast<size_t>(r.paddedWidth) * r.paddedHeight) {
    memory.assign(size + 128, 0xEE);
  }
  uint8_t* data() { return memory.data() + 64; }
  uint8_t at(const FlicReader& r, int x, int y) { return data()[y * r.paddedWidth + x]; }
  bool GuardsIntact() const {
    for (size_t i = 0; i < 64; ++i) {
      if (memory[i] != 0xEE || memory[64 + size + i] != 0xEE) return false;
    }
    return true;
  }
};

TEST(FlicReader, HeaderGivesPaddedSizeAndFrameRate) {
  testing_files::ScratchDirectory dir;
  struct Case { uint16_t type; uint32_t speed; int32_t exact; int32_t rate; };
  const Case cases[] = {
      {0xAF11, 5, 0, -7142},        // 1/70 second units
      {0xAF11, 0, 0, -20000},
      {0xAF12, 0, 0, -20000},       // milliseconds; 0 and above 30000 become 200
      {0xAF12, 40000, 0, -20000},
      {0xAF12, 40, 0, -4000},
      {0xAF12, 66, -6667, -6667},   // the exact rate our writer stores
      {0xAF12, 70, -6667, -7000},   // not matching the speed: ignored
  };
  for (const Case& c : cases) {
    FlicBuilder flic(c.type, 318, 198, c.speed, c.exact);
    flic.Frame({});
    FlicReader reader;
    ASSERT_TRUE(OpenFlic(reader, flic.Save(dir / "a.flc")));
    EXPECT_EQ(reader.frameRate, c.rate) << c.type << " " << c.speed;
    EXPECT_EQ(reader.paddedWidth, 320);
    EXPECT_EQ(reader.paddedHeight, 200);
    EXPECT_EQ(reader.frames, 1);
    CloseFlicReader(reader);
  }
  // Without an extension ".flc" is tried, then ".fli".
  FlicBuilder fli(0xAF11, 8, 8, 5);
  fli.Frame({}).Save(dir / "old.fli");
  FlicReader reader;
  ASSERT_TRUE(OpenFlic(reader, dir / "old"));
  EXPECT_EQ(FlicFileName(reader), dir / "old.fli");
  CloseFlicReader(reader);
  // Each extension as spelled, then in lower, then in upper case.
  fli.Save(dir / "loud.FLI");
  ASSERT_TRUE(OpenFlic(reader, dir / "loud"));
  EXPECT_EQ(FlicFileName(reader), dir / "loud.FLI");
  CloseFlicReader(reader);
  // Other files are not flics.
  testing_files::WriteBytes(dir / "x.flc", std::vector<uint8_t>(200, 0x12));
  EXPECT_FALSE(OpenFlic(reader, dir / "x.flc"));
  testing_files::WriteBytes(dir / "short.flc", std::vector<uint8_t>(100, 0));
  EXPECT_FALSE(OpenFlic(reader, dir / "short.flc"));
  EXPECT_FALSE(OpenFlic(reader, dir / "none.flc"));
}

// A 128-byte header alone may claim a picture of 65535 x 65535: sizes beyond the image layer's
// limits are refused before any frame buffer is made for them.
TEST(FlicReader, SizesBeyondThePictureLimitsAreRefused) {
  testing_files::ScratchDirectory dir;
  struct Case { int width, height; bool opens; };
  const Case cases[] = {{65535, 65535, false}, {32768, 16384, false}, {40000, 4, false},
                        {16384, 16384, true}, {1000, 1000, true}};
  for (const Case& c : cases) {
    FlicBuilder flic(0xAF11, c.width, c.height, 5);
    FlicReader reader;
    EXPECT_EQ(OpenFlic(reader, flic.Save(dir / "big.fli")), c.opens) << c.width << "x" << c.height;
    CloseFlicReader(reader);
  }
}

TEST(FlicReader, DecodesEveryChunkKind) {
  testing_files::ScratchDirectory dir;
  FlicBuilder flic(0xAF12, 6, 3, 50);
  flic.Frame({{11, Bytes({1, 0, 0, 2, 63, 0, 0, 0, 63, 16})},
              {15, Bytes({0, 6, 1, 0, 0xFD, 2, 3, 4, 3, 9, 0, 2, 5, 0xFC, 6, 7, 6, 7})}});
  flic.Frame({{4, Bytes({1, 0, 0, 0, 10, 20, 30})},  // 0 count: all 256 entries would follow;
              {7, Bytes({2, 0,                    // two lines with packets
                         1, 0, 2, 1, 8, 9,        // line 0: column 2 gets 8 9
                         0xFF, 0xFF,              // skip one line
                         0x33, 0x80, 1, 0, 0, 0xFE, 1, 2})}});  // line 2: last byte, (1 2) twice
  flic.Frame({{12, Bytes({1, 0, 2, 0,             // from line 1, two lines
                          2, 2, 2, 0xAA, 0xBB, 0, 0xFD, 0xCC,  // line 1
                          0})}});                 // line 2: no packets
  flic.Frame({{13, {}}});
  std::vector<uint8_t> raw;
  for (int i = 0; i < 18; ++i) raw.push_back(static_cast<uint8_t>(100 + i));
  flic.Frame({{16, raw}, {18, Bytes({9, 9, 9})}});  // a stamp chunk is passed over
  FlicReader reader;
  ASSERT_TRUE(OpenFlic(reader, flic.Save(dir / "tour.flc")));
  GuardedFrame frame(reader);
  auto rows = [&](int y) {
    return std::vector<uint8_t>(frame.data() + y * reader.paddedWidth, frame.data() + (y + 1) * reader.paddedWidth);
  };

  EXPECT_EQ(DecodeFlicFrame(reader, frame.data()), FlicFrame::PaletteChanged);
  EXPECT_EQ(rows(0), Bytes({1, 1, 1, 1, 1, 1, 0, 0}));
  EXPECT_EQ(rows(1), Bytes({2, 3, 4, 9, 9, 9, 0, 0}));
  EXPECT_EQ(rows(2), Bytes({5, 5, 6, 7, 6, 7, 0, 0}));
  EXPECT_EQ(rows(3), Bytes({0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(reader.palette.begin(), reader.palette.begin() + 6),
            Bytes({255, 0, 0, 0, 255, 65}));

  // The colour packet claims 256 entries but holds one: the first entry is taken.
  EXPECT_EQ(DecodeFlicFrame(reader, frame.data()), FlicFrame::PaletteChanged);
  EXPECT_EQ(reader.palette[0], 10);
  EXPECT_EQ(reader.palette[2], 30);
  EXPECT_EQ(rows(0), Bytes({1, 1, 8, 9, 1, 1, 0, 0}));
  EXPECT_EQ(rows(1), Bytes({2, 3, 4, 9, 9, 9, 0, 0}));
  EXPECT_EQ(rows(2), Bytes({1, 2, 1, 2, 6, 0x33, 0, 0}));

  EXPECT_EQ(DecodeFlicFrame(reader, frame.data()), FlicFrame::Decoded);
  EXPECT_EQ(rows(1), Bytes({2, 3, 0xAA, 0xBB, 0xCC, 0xCC, 0, 0}));  // the run of 3 is cut at the width
  EXPECT_EQ(rows(2), Bytes({1, 2, 1, 2, 6, 0x33, 0, 0}));

  EXPECT_EQ(DecodeFlicFrame(reader, frame.data()), FlicFrame::Decoded);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(rows(y), Bytes({0, 0, 0, 0, 0, 0, 0, 0}));

  EXPECT_EQ(DecodeFlicFrame(reader, frame.data()), FlicFrame::Decoded);
  EXPECT_EQ(rows(2), Bytes({112, 113, 114, 115, 116, 117, 0, 0}));
  EXPECT_TRUE(frame.GuardsIntact());

  // Past the last frame the animation starts again on a cleared buffer.
  std::vector<uint8_t> fifth(frame.data(), frame.data() + frame.size);
  EXPECT_EQ(DecodeFlicFrame(reader, frame.data()), FlicFrame::PaletteChanged);
  EXPECT_EQ(reader.currentFrame, 1);
  EXPECT_EQ(rows(0), Bytes({1, 1, 1, 1, 1, 1, 0, 0}));

  // Rewinding to a frame gives the frame that decoding in order gave.
  EXPECT_EQ(RewindFlic(reader, 5, frame.data()), FlicFrame::PaletteChanged);
  EXPECT_EQ(std::vector<uint8_t>(frame.data(), frame.data() + frame.size), fifth);
  EXPECT_EQ(RewindFlic(reader, 99, frame.data()), FlicFrame::PaletteChanged);  // limited to the frame count
  EXPECT_EQ(reader.currentFrame, 5);
  EXPECT_EQ(RewindFlic(reader, 0, frame.data()), FlicFrame::Decoded);
  EXPECT_EQ(reader.currentFrame, 0);
  CloseFlicReader(reader);
}

// A run that its chunk cuts short goes on with zeros up to its length, over what the frame
// before showed; the rest of the row keeps it.
TEST(FlicReader, RunsCutByTheirChunkGoOnWithZeros) {
  testing_files::ScratchDirectory dir;
  FlicBuilder flic(0xAF12, 8, 2, 50);
  flic.Frame({{15, Bytes({1, 8, 9, 1, 8, 9})}});  // both rows 9
  flic.Frame({{15, Bytes({0, 0xFB, 7, 8})}});      // five literal bytes, two of them there
  flic.Frame({{12, Bytes({1, 0, 1, 0, 1, 2, 6, 5})}});  // line 1: six bytes from column 2, one there
  flic.Frame({{7, Bytes({1, 0, 1, 0, 1, 3, 4})}});  // line 0: three words from column 1, half a word there
  FlicReader reader;
  ASSERT_TRUE(OpenFlic(reader, flic.Save(dir / "cut.flc")));
  GuardedFrame frame(reader);
  auto rows = [&](int y) {
    return std::vector<uint8_t>(frame.data() + y * reader.paddedWidth, frame.data() + y * reader.paddedWidth + 8);
  };
  DecodeFlicFrame(reader, frame.data());
  DecodeFlicFrame(reader, frame.data());
  EXPECT_EQ(rows(0), Bytes({7, 8, 0, 0, 0, 9, 9, 9}));
  EXPECT_EQ(rows(1), Bytes({9, 9, 9, 9, 9, 9, 9, 9}));
  DecodeFlicFrame(reader, frame.data());
  EXPECT_EQ(rows(1), Bytes({9, 9, 5, 0, 0, 0, 0, 0}));
  DecodeFlicFrame(reader, frame.data());
  EXPECT_EQ(rows(0), Bytes({7, 4, 0, 0, 0, 0, 0, 9}));
  EXPECT_TRUE(frame.GuardsIntact());
  CloseFlicReader(reader);
}

TEST(FlicReader, HostileSkipsRunsAndSizesStayInsideThePicture) {
  testing_files::ScratchDirectory dir;
  FlicBuilder flic(0xAF12, 5, 5, 50);
  // Byte runs far longer than a row, and more rows than the picture.
  std::vector<uint8_t> runs;
  for (int i = 0; i < 40; ++i) runs.insert(runs.end(), {1, 127, 7, 0x81});
  flic.Frame({{15, runs}});
  // Word delta: a huge line skip upwards wrapping, packet skips past the row, runs of 127 words.
  flic.Frame({{7, Bytes({3, 0, 2, 0, 250, 127, 1, 2, 0, 0x81, 3, 4,
                         0x01, 0xC0,                // skip 16383 lines: past the picture
                         1, 0, 0, 5})}});
  // Byte delta from a first line beyond the picture, and one with many lines.
  flic.Frame({{12, Bytes({200, 0, 1, 0, 1, 0, 1, 9})}, {12, Bytes({0, 0, 255, 255, 255, 200, 127, 1})}});
  // Chunks whose sizes lie: larger than the frame, and below the chunk header.
  std::vector<uint8_t> liar = {0xFF, 0xFF, 0xFF, 0x7F, 16, 0, 1, 2, 3};
  flic.Frame({{16, liar}});
  flic.Frame({{4, Bytes({0xFF, 0xFF, 0, 0, 1, 2, 3})}, {13, {}}});
  flic.Frame({{16, std::vector<uint8_t>(3, 4)}});  // a copy chunk shorter than the picture
  std::string path = flic.Save(dir / "hostile.flc");
  // A frame that claims more bytes than the file holds.
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(path);
  bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0x0F, 0xFA, 0xF1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  bytes[6] = 7;  // seven frames
  testing_files::WriteBytes(path, bytes);

  FlicReader reader;
  ASSERT_TRUE(OpenFlic(reader, path));
  GuardedFrame frame(reader);
  for (int i = 0; i < 16; ++i) {
    DecodeFlicFrame(reader, frame.data());
    ASSERT_TRUE(frame.GuardsIntact()) << "frame " << i;
    for (int y = 0; y < reader.paddedHeight; ++y) {
      for (int x = 0; x < reader.paddedWidth; ++x) {
        if (x >= 5 || y >= 5) {
          ASSERT_EQ(frame.at(reader, x, y), 0) << x << "," << y << " frame " << i;
        }
      }
    }
  }
  // The byte runs filled the picture, row by row, and stopped at its edge.
  RewindFlic(reader, 1, frame.data());
  EXPECT_EQ(frame.at(reader, 4, 4), 7);
  CloseFlicReader(reader);
}

}  // namespace
}  // namespace toolsupport
