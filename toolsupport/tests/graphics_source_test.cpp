#include "toolsupport/picture/graphics_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "toolsupport/picture/image_calls.h"
#include "testsupport/file_contents.h"
#include "toolsupport/tests/media_test_files.h"

namespace toolsupport {
namespace {

using testing_files::ByteWriter;

// Collects what the input shows (kind 0, or 1 for a line shown at once) and the errors its
// calls return (kind 2), in order.
struct Messages {
  std::vector<std::pair<int, std::string>> seen;
  toolsupport::Progress Progress() {
    return toolsupport::Progress(
        [this](toolsupport::ProgressKind kind, const std::string& text) {
          seen.emplace_back(kind == toolsupport::ProgressKind::StatusNow ? 1 : 0, text);
        },
        nullptr);
  }
  void Returned(const toolsupport::Status& status) {
    for (const std::string& message : status.messages()) seen.emplace_back(2, message);
  }
  bool HasError(const std::string& text) const {
    for (const auto& [kind, message] : seen) {
      if (kind == 2 && message == text) return true;
    }
    return false;
  }
};

// A raw frame file whose frame f has pixel (x, y) = f * 16 + y * width + x (mod 256).
std::vector<uint8_t> RawFile(uint32_t frames, uint32_t width, uint32_t height, uint32_t period = 6667) {
  ByteWriter out;
  out.Text("RAWB").U32(frames).U32(width).U32(height).U32(period);
  out.U32(0);
  for (int i = 0; i < 256; ++i) out.U8(i).U8(255 - i).U8(i / 2);
  for (uint32_t f = 0; f < frames; ++f) {
    out.U32(1);
    for (uint32_t i = 0; i < width * height; ++i) out.U8(f * 16 + i);
  }
  return out.bytes;
}

uint8_t RawPixel(int frame, int width, int x, int y) { return static_cast<uint8_t>(frame * 16 + y * width + x); }

// The sub-frame of the current frame, row by row.
std::vector<uint8_t> SubFrame(const GraphicsSource& source) {
  std::vector<uint8_t> rows;
  const int bytes = source.currentBitsPerPixel / 8;
  for (int y = 0; y < source.copyHeight; ++y) {
    const uint8_t* row = source.currentPixels + source.currentPitch * y;
    rows.insert(rows.end(), row, row + source.copyWidth * bytes);
  }
  return rows;
}

std::unique_ptr<GraphicsSource> Open(const std::string& name, const std::string& switchText = "",
                                     Messages* messages = nullptr) {
  std::string command = switchText;
  GraphicsSwitches switches = ParseGraphicsSwitches(command);
  auto opened = OpenGraphicsInput(messages ? messages->Progress() : toolsupport::Progress(), "", switches, name);
  if (!opened.ok()) {
    if (messages) messages->Returned(opened.status());
    return nullptr;
  }
  return opened.Take();
}

// The next frame; what went wrong goes to the messages.
bool Next(GraphicsSource& source, Messages& messages) {
  const toolsupport::Status status = NextGraphicsFrame(source);
  messages.Returned(status);
  return status.ok();
}

TEST(GraphicsSwitches, DefaultsLimitsAndNegativeValues) {
  std::string command = "in.flc out.vnt /S5 /e3 /X-4 /Y2 /W-1 /H10 /I-7 /Q300 /U0 /&\"pal source.bmp\"";
  GraphicsSwitches switches = ParseGraphicsSwitches(command);
  EXPECT_EQ(switches.start, 5);
  EXPECT_EQ(switches.end, 3);
  EXPECT_EQ(switches.left, 0);
  EXPECT_EQ(switches.top, 2);
  EXPECT_EQ(switches.width, 0);
  EXPECT_EQ(switches.height, 10);
  EXPECT_EQ(switches.firstIndex, -1);
  EXPECT_EQ(switches.paletteSource, "pal source.bmp");
  EXPECT_EQ(command.find('/'), std::string::npos) << command;

  // Palette switches after their limits: 300 colours are 256, /U0 is 65536, and the
  // first index keeps the range inside the palette.
  testing_files::ScratchDirectory dir;
  testing_files::WriteBytes(dir / "a.raw", RawFile(2, 4, 4));
  auto source = OpenGraphicsInput({}, "", switches, dir / "a.raw").Take();
  ASSERT_TRUE(source);
  EXPECT_EQ(source->paletteState.switches.colours, 256);
  EXPECT_EQ(source->paletteState.switches.interval, 65536);
  EXPECT_EQ(source->paletteState.switches.firstIndex, 0);
  std::string q16 = "/Q16 /I250";
  source = Open(dir / "a.raw", q16);
  EXPECT_EQ(source->paletteState.switches.firstIndex, 240);
  source = Open(dir / "a.raw", "/Q16");
  EXPECT_EQ(source->paletteState.switches.firstIndex, 120);
}

TEST(GraphicsSource, RawFramesOfAnyWidthRangeAndRewind) {
  testing_files::ScratchDirectory dir;
  const int w = 5, h = 3;  // rows land on a padded pitch of 8
  testing_files::WriteBytes(dir / "ten.raw", RawFile(10, w, h));
  // /S5 /E3 on ten frames delivers one frame, the fifth.
  auto source = Open(dir / "ten", "/S5 /E3");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->name, dir / "ten.raw");
  EXPECT_EQ(source->kind, kGraphicsRaw);
  EXPECT_EQ(source->frameRate, -6667);
  EXPECT_EQ(source->frames, 1);
  EXPECT_TRUE(ReadGraphicsFrame(*source));  // the first read brings the palette
  EXPECT_TRUE(source->atEnd);
  EXPECT_EQ(source->currentPixels[source->currentPitch * 2 + 4], RawPixel(4, w, 4, 2));
  EXPECT_EQ(source->inputPalette[3 * 7 + 1], 255 - 7);

  // End 50 on ten frames gives all ten; a rewind gives the same frames again.
  source = Open(dir / "ten.raw", "/E50");
  ASSERT_EQ(source->frames, 10);
  std::vector<std::vector<uint8_t>> first;
  for (int f = 0; f < 10; ++f) {
    ReadGraphicsFrame(*source);
    ASSERT_FALSE(source->readError);
    first.push_back(SubFrame(*source));
    EXPECT_EQ(first.back()[w + 3], RawPixel(f, w, 3, 1));
  }
  EXPECT_TRUE(source->atEnd);
  EXPECT_FALSE(ReadGraphicsFrame(*source));  // nothing past the end
  RewindGraphicsInput(*source);
  EXPECT_FALSE(source->atEnd);
  for (int f = 0; f < 10; ++f) {
    EXPECT_EQ(ReadGraphicsFrame(*source), f == 0);
    EXPECT_EQ(SubFrame(*source), first[f]) << "frame " << f;
  }
}

TEST(GraphicsSource, RawFilesWithUnknownTagsOrHugeSizesAreRefused) {
  testing_files::ScratchDirectory dir;
  std::vector<uint8_t> bytes = RawFile(2, 4, 4);
  bytes[20] = 7;  // the palette record's tag
  testing_files::WriteBytes(dir / "tag.raw", bytes);
  Messages messages;
  EXPECT_FALSE(Open(dir / "tag.raw", "", &messages));
  EXPECT_TRUE(messages.HasError("Error opening: " + dir / "tag.raw"));

  ByteWriter huge;
  huge.Text("RAWB").U32(1).U32(100000).U32(100000).U32(0).U32(1);
  testing_files::WriteBytes(dir / "huge.raw", huge.bytes);
  EXPECT_FALSE(Open(dir / "huge.raw"));

}

TEST(GraphicsSource, SubFrameCoversWhatTheInputHas) {
  testing_files::ScratchDirectory dir;
  testing_files::WriteBytes(dir / "a.raw", RawFile(1, 6, 4));
  auto source = Open(dir / "a.raw", "/X2 /Y1 /W7 /H2");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->outputWidth, 7);
  EXPECT_EQ(source->outputPitch, 8);
  EXPECT_EQ(source->outputFrame.size(), 8u * 4u);
  ReadGraphicsFrame(*source);
  EXPECT_EQ(source->copyWidth, 4);
  EXPECT_EQ(source->missingColumns, 3);
  EXPECT_EQ(source->copyHeight, 2);
  EXPECT_EQ(source->missingRows, 0);
  EXPECT_EQ(SubFrame(*source), (std::vector<uint8_t>{RawPixel(0, 6, 2, 1), RawPixel(0, 6, 3, 1), RawPixel(0, 6, 4, 1),
                                                     RawPixel(0, 6, 5, 1), RawPixel(0, 6, 2, 2), RawPixel(0, 6, 3, 2),
                                                     RawPixel(0, 6, 4, 2), RawPixel(0, 6, 5, 2)}));
  source = Open(dir / "a.raw", "/X9");
  ReadGraphicsFrame(*source);
  EXPECT_EQ(source->copyWidth, 0);
  EXPECT_EQ(source->missingColumns, 6);
}

std::vector<uint8_t> WavFile(uint32_t rate, uint16_t channels, uint16_t bits, uint32_t dataBytes) {
  ByteWriter out;
  out.Text("RIFF").U32(36 + dataBytes).Text("WAVE");
  out.Text("LIST").U32(3).Text("abc").U8(0);  // an odd chunk before the format
  out.Text("fmt ").U32(16).U16(1).U16(channels).U32(rate).U32(rate * channels * bits / 8);
  out.U16(channels * bits / 8).U16(bits);
  out.Text("data").U32(dataBytes).Bytes(std::vector<uint8_t>(dataBytes, 0));
  return out.bytes;
}

TEST(GraphicsSource, WavIsABlankVideoOfTheSoundsLength) {
  testing_files::ScratchDirectory dir;
  testing_files::WriteBytes(dir / "one.wav", WavFile(44100, 2, 16, 176400));
  auto source = Open(dir / "one.wav");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->kind, kGraphicsWav);
  EXPECT_EQ(source->frames, 11);
  EXPECT_EQ(source->frameRate, 100);
  EXPECT_EQ(source->inputWidth, 4);
  ReadGraphicsFrame(*source);
  EXPECT_EQ(SubFrame(*source), std::vector<uint8_t>(16, 0));
  // A format with a zero rate is not divided by: the file is refused.
  testing_files::WriteBytes(dir / "zero.wav", WavFile(0, 2, 16, 1000));
  Messages messages;
  EXPECT_FALSE(Open(dir / "zero.wav", "", &messages));
  EXPECT_TRUE(messages.HasError("Error opening: " + dir / "zero.wav"));
  // A sound the sound input cannot read gives no video either.
  testing_files::WriteBytes(dir / "wide.wav", WavFile(44100, 1, 24, 1000));
  EXPECT_FALSE(Open(dir / "wide.wav"));
}

TEST(GraphicsSource, TruncatedWavLastsAsLongAsTheSoundItHolds) {
  testing_files::ScratchDirectory dir;
  std::vector<uint8_t> bytes = WavFile(44100, 2, 16, 176400);  // claims one second
  bytes.resize(bytes.size() - 176400 + 17640 + 1);             // holds a tenth and half a frame
  testing_files::WriteBytes(dir / "cut.wav", bytes);
  auto source = Open(dir / "cut.wav");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->frames, 2);
}

// AVI files written here: uncompressed (8 or 24 bits) or RLE8.
struct AviSpec {
  int width = 6, height = 4, bits = 8;
  uint32_t compression = 0;
  uint32_t scale = 1, rate = 15, length = 0;
  std::vector<std::vector<uint8_t>> samples;  // stored frame data
  bool sound = false;
};

std::vector<uint8_t> AviFile(const AviSpec& spec) {
  ByteWriter out;
  auto list = [&](const char* type) {
    out.Text("LIST").U32(0).Text(type);
    return out.size() - 8;
  };
  auto close = [&](size_t at) { out.PatchU32(at, static_cast<uint32_t>(out.size() - at - 4)); };
  out.Text("RIFF").U32(0).Text("AVI ");
  size_t hdrl = list("hdrl");
  out.Text("avih").U32(56).Bytes(std::vector<uint8_t>(56, 0));
  size_t strl = list("strl");
  out.Text("strh").U32(56).Text("vids").Text("DIB ").U32(0).U32(0).U32(0);
  out.U32(spec.scale).U32(spec.rate).U32(0).U32(spec.length ? spec.length : spec.samples.size());
  out.U32(0).U32(0).U32(0).U16(0).U16(0).U16(spec.width).U16(spec.height);
  const int colours = spec.bits == 8 ? 256 : 0;
  out.Text("strf").U32(40 + colours * 4);
  out.U32(40).U32(spec.width).U32(spec.height).U16(1).U16(spec.bits).U32(spec.compression);
  out.U32(0).U32(0).U32(0).U32(0).U32(0);
  for (int i = 0; i < colours; ++i) out.U8(i).U8(2 * i).U8(255 - i).U8(0);  // B, G, R, 0
  close(strl);
  if (spec.sound) {
    size_t sound = list("strl");
    out.Text("strh").U32(56).Text("auds").U32(0).U32(0).U32(0).U32(0);
    out.U32(1).U32(22050).U32(0).U32(22050).Bytes(std::vector<uint8_t>(20, 0));
    out.Text("strf").U32(16).U16(1).U16(2).U32(22050).U32(88200).U16(4).U16(16);
    close(sound);
  }
  close(hdrl);
  size_t movi = list("movi");
  for (const auto& sample : spec.samples) {
    out.Text("00db").U32(static_cast<uint32_t>(sample.size())).Bytes(sample);
    if (sample.size() & 1) out.U8(0);
    if (spec.sound) out.Text("01wb").U32(4).U32(0);
  }
  close(movi);
  out.PatchU32(4, static_cast<uint32_t>(out.size() - 8));
  return out.bytes;
}

// Bottom-up rows padded to 4 bytes, pixel (x, y from the top) = f * 10 + y * 6 + x.
std::vector<uint8_t> PlainFrame8(int f, int w, int h) {
  std::vector<uint8_t> data;
  int stride = (w + 3) & ~3;
  for (int row = h - 1; row >= 0; --row) {
    for (int x = 0; x < stride; ++x) data.push_back(x < w ? static_cast<uint8_t>(f * 10 + row * 6 + x) : 0);
  }
  return data;
}

TEST(GraphicsSource, AviUncompressedFramesAndSoundShare) {
  testing_files::ScratchDirectory dir;
  AviSpec spec;
  spec.sound = true;
  for (int f = 0; f < 3; ++f) spec.samples.push_back(PlainFrame8(f, 6, 4));
  testing_files::WriteBytes(dir / "clip.avi", AviFile(spec));
  auto source = Open(dir / "clip");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->kind, kGraphicsAvi);
  EXPECT_EQ(source->name, dir / "clip.avi");
  EXPECT_EQ(source->frames, 3);
  EXPECT_EQ(source->frameRate, -6666);
  for (int f = 0; f < 3; ++f) {
    ReadGraphicsFrame(*source);
    ASSERT_FALSE(source->readError);
    EXPECT_EQ(source->currentPixels[source->currentPitch * 3 + 5], f * 10 + 3 * 6 + 5);
    EXPECT_EQ(source->frameDataSize, 8 * 4 + 22050 * 2 * 16 / 8 / 3);
  }
  EXPECT_EQ(source->inputPalette[3 * 9 + 0], 255 - 9);  // R
  EXPECT_EQ(source->inputPalette[3 * 9 + 1], 18);       // G

  // 24-bit frames: ten of them are halftoned by default, nine are not.
  AviSpec colour;
  colour.bits = 24;
  for (int f = 0; f < 10; ++f) {
    std::vector<uint8_t> data;
    for (int row = 3; row >= 0; --row) {
      for (int x = 0; x < 6; ++x) data.insert(data.end(), {uint8_t(x * 40), uint8_t(row * 60), uint8_t(f)});
      data.insert(data.end(), {0, 0});  // rows padded to 4 bytes
    }
    colour.samples.push_back(data);
  }
  testing_files::WriteBytes(dir / "ten.avi", AviFile(colour));
  source = Open(dir / "ten.avi");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->inputBitsPerPixel, 24);
  EXPECT_FALSE(source->workingBuffer.empty());
  ReadGraphicsFrame(*source);
  EXPECT_EQ(source->currentBitsPerPixel, 24);
  EXPECT_EQ(source->currentPixels, source->workingBuffer.data());
  source = Open(dir / "ten.avi", "/E9 /T0");
  EXPECT_TRUE(source->workingBuffer.empty());
  ReadGraphicsFrame(*source);
  EXPECT_EQ(source->currentPixels[source->currentPitch * 1 + 3 * 2], 80);  // B of (2, 1)
  EXPECT_EQ(source->currentPixels[source->currentPitch * 1 + 3 * 2 + 1], 60);
  source = Open(dir / "ten.avi", "/T2");
  EXPECT_TRUE(source->workingBuffer.empty());
}

TEST(GraphicsSource, AviRunLengthFramesBuildOnTheFrameBefore) {
  testing_files::ScratchDirectory dir;
  AviSpec spec;
  spec.compression = 1;
  spec.width = 4;
  spec.height = 2;
  // Frame 0: bottom row 4 × 7, top row literal 1 2 3 4. Frame 1: move to (2, 1), one 9.
  spec.samples.push_back({4, 7, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1});
  spec.samples.push_back({0, 2, 2, 1, 1, 9, 0, 1});
  spec.samples.push_back({});  // dropped: repeats frame 1
  testing_files::WriteBytes(dir / "rle.avi", AviFile(spec));
  auto source = Open(dir / "rle.avi");
  ASSERT_TRUE(source);
  std::vector<std::vector<uint8_t>> frames;
  for (int f = 0; f < 3; ++f) {
    ReadGraphicsFrame(*source);
    frames.push_back(SubFrame(*source));
  }
  EXPECT_EQ(frames[0], (std::vector<uint8_t>{1, 2, 3, 4, 7, 7, 7, 7}));
  EXPECT_EQ(frames[1], (std::vector<uint8_t>{1, 2, 9, 4, 7, 7, 7, 7}));
  EXPECT_EQ(frames[2], frames[1]);
  RewindGraphicsInput(*source);
  for (int f = 0; f < 3; ++f) {
    ReadGraphicsFrame(*source);
    EXPECT_EQ(SubFrame(*source), frames[f]) << f;
  }
  // Starting at the second frame still builds on the first.
  source = Open(dir / "rle.avi", "/S2 /E2");
  ReadGraphicsFrame(*source);
  EXPECT_EQ(SubFrame(*source), frames[1]);
}

TEST(GraphicsSource, AviThatCannotBeDecodedOrHasNoRateIsRefused) {
  testing_files::ScratchDirectory dir;
  AviSpec spec;
  spec.compression = 0x47504A4D;  // a compressed format this reader has no decoder for
  spec.samples.push_back({1, 2, 3});
  testing_files::WriteBytes(dir / "packed.avi", AviFile(spec));
  Messages messages;
  EXPECT_FALSE(Open(dir / "packed.avi", "", &messages));
  EXPECT_TRUE(messages.HasError("Error opening: " + dir / "packed.avi"));
  spec.compression = 0;
  spec.samples = {PlainFrame8(0, 6, 4)};
  spec.rate = 0;
  testing_files::WriteBytes(dir / "norate.avi", AviFile(spec));
  EXPECT_FALSE(Open(dir / "norate.avi"));
  spec.rate = 15;
  spec.samples.clear();
  testing_files::WriteBytes(dir / "empty.avi", AviFile(spec));
  EXPECT_FALSE(Open(dir / "empty.avi"));
}

// A video that holds fewer frames than its header announces delivers the frames it holds;
// then the next frame is an error that says where the video ends.
TEST(GraphicsSource, VideosCutShortEndInAnErrorThatSaysWhere) {
  testing_files::ScratchDirectory dir;
  AviSpec spec;
  spec.length = 9;  // the header announces more frames than are stored
  for (int f = 0; f < 3; ++f) spec.samples.push_back(PlainFrame8(f, 6, 4));
  const std::vector<uint8_t> whole = AviFile(spec);
  // A frame chunk after the end the RIFF header claims is no part of the file.
  ByteWriter after;
  after.Text("00db").U32(24).Bytes(PlainFrame8(3, 6, 4));
  std::vector<uint8_t> bytes = whole;
  bytes.insert(bytes.end(), after.bytes.begin(), after.bytes.end());
  testing_files::WriteBytes(dir / "after.avi", bytes);
  bytes.assign(whole.begin(), whole.end() - 10);  // cut inside its last frame
  testing_files::WriteBytes(dir / "cut.avi", bytes);
  std::vector<uint8_t> raw = RawFile(3, 4, 4);
  raw.resize(raw.size() - 5);  // cut inside its third frame
  testing_files::WriteBytes(dir / "cut.raw", raw);

  struct Case {
    std::string name;
    int32_t announced, held;
    int pixelAt;  // of the frames held: frame f has f * step + base there
    int step, base;
  };
  const Case cases[] = {
      {dir / "after.avi", 9, 3, 3 * 8 + 5, 10, 3 * 6 + 5},
      {dir / "cut.avi", 9, 2, 3 * 8 + 5, 10, 3 * 6 + 5},
      {dir / "cut.raw", 3, 2, 3 * 4 + 2, 16, 3 * 4 + 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Messages messages;
    auto source = Open(c.name, "", &messages);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->frames, c.announced);
    for (int f = 0; f < c.held; ++f) {
      ASSERT_TRUE(NextGraphicsFrame(*source)) << f;
      EXPECT_EQ(source->outputFrame[c.pixelAt], f * c.step + c.base) << f;
    }
    EXPECT_FALSE(Next(*source, messages));
    const std::string expected = "Error reading: " + c.name + " (it ends after " + std::to_string(c.held) +
                                 " of its " + std::to_string(c.announced) + " frames).";
    EXPECT_TRUE(messages.HasError(expected)) << (messages.seen.empty() ? "" : messages.seen.back().second);
  }
}

// Writes a 3 × 2 8-bit picture whose pixels all hold `value`.
void WritePicture(const std::string& path, int value, int width = 3, int height = 2) {
  ImageRecord image;
  ASSERT_EQ(allocimage(&image, width, height, 8), 0);
  for (int y = 0; y < height; ++y) std::memset(image.RowFromTop(y), value, static_cast<size_t>(width));
  for (int i = 0; i < 256; ++i) image.palette[i * 4 + 2] = static_cast<uint8_t>(i);
  ASSERT_EQ(savebmp(path.c_str(), &image, 0), 0);
}

TEST(GraphicsSource, SeriesOf149PicturesReadsInOrder) {
  testing_files::ScratchDirectory dir;
  for (int i = 1; i <= 149; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Exam%03d.BMP", i);
    WritePicture(dir / name, i);
  }
  auto source = Open(dir / "Exam???.BMP*1-149");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->kind, kGraphicsList);
  EXPECT_EQ(source->frames, 149);
  EXPECT_EQ(source->frameRate, 100);
  for (int i = 1; i <= 149; ++i) {
    ReadGraphicsFrame(*source);
    ASSERT_EQ(source->currentPixels[0], i) << i;
  }
  EXPECT_TRUE(source->atEnd);
  // A series with no range has no frames.
  Messages messages;
  EXPECT_FALSE(Open(dir / "Exam???.BMP", "", &messages));
  EXPECT_TRUE(messages.HasError("No files in the list file."));
}

TEST(GraphicsSource, ListEntriesJoinWithTheirRangesAndSkipping) {
  testing_files::ScratchDirectory dir;
  testing_files::WriteBytes(dir / "ten.raw", RawFile(10, 4, 4));
  WritePicture(dir / "big.bmp", 200, 8, 6);
  testing_files::WriteText(dir / "in.lst", "# clips\n\"" + dir / "ten.raw" + "\" /S3 /E6\n" + dir / "big.bmp\n" +
                                               dir / "ten.raw /E2\n");
  auto source = Open(dir / "in.lst");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->frames, 4 + 1 + 2);
  EXPECT_EQ(source->inputWidth, 8);
  EXPECT_EQ(source->inputHeight, 6);
  EXPECT_EQ(source->frameRate, -6667);  // the first entry's
  const int expected[] = {RawPixel(2, 4, 0, 0), RawPixel(3, 4, 0, 0), RawPixel(4, 4, 0, 0),
                          RawPixel(5, 4, 0, 0), 200, RawPixel(0, 4, 0, 0), RawPixel(1, 4, 0, 0)};
  for (int f = 0; f < 7; ++f) {
    ReadGraphicsFrame(*source);
    EXPECT_EQ(source->currentPixels[0], expected[f]) << f;
    EXPECT_EQ(source->copyWidth, f == 4 ? 8 : 4) << f;
    EXPECT_EQ(source->missingColumns, f == 4 ? 0 : 4) << f;
  }
  // /S3 skips two frames: into the first entry, which itself starts at its third.
  source = Open(dir / "in.lst", "/S3");
  ASSERT_EQ(source->frames, 5);
  for (int f = 2; f < 7; ++f) {
    ReadGraphicsFrame(*source);
    EXPECT_EQ(source->currentPixels[0], expected[f]) << f;
  }
  // /S6 skips a whole entry and the picture.
  source = Open(dir / "in.lst", "/S6");
  ReadGraphicsFrame(*source);
  EXPECT_EQ(source->currentPixels[0], expected[5]);

  Messages messages;
  EXPECT_FALSE(Open(dir / "missing.lst", "", &messages));
  EXPECT_TRUE(messages.HasError("Error opening: " + dir / "missing.lst"));
  testing_files::WriteText(dir / "self.lst", dir / "self.lst\n");
  EXPECT_FALSE(Open(dir / "self.lst"));  // a list naming itself ends
}

// An entry that cannot be opened is skipped with a status line; the run goes on with the others.
TEST(GraphicsSource, ListEntriesThatCannotBeOpenedAreSkippedWithAStatusLine) {
  testing_files::ScratchDirectory dir;
  testing_files::WriteBytes(dir / "ten.raw", RawFile(10, 4, 4));
  WritePicture(dir / "my pic.bmp", 90);
  testing_files::WriteText(dir / "in.lst", dir / "gone.bmp\n" + dir / "ten.raw /E2\n" + dir / "my pic.bmp\n");
  Messages messages;
  auto source = Open(dir / "in.lst", "", &messages);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->frames, 3);
  const int expected[] = {RawPixel(0, 4, 0, 0), RawPixel(1, 4, 0, 0), 90};
  for (int f = 0; f < 3; ++f) {
    ASSERT_TRUE(NextGraphicsFrame(*source)) << f;
    EXPECT_EQ(source->currentPixels[0], expected[f]) << f;
  }
  bool statusLine = false;
  for (const auto& [kind, text] : messages.seen) {
    EXPECT_NE(kind, 2) << text;
    statusLine = statusLine || (kind == 1 && text == "Error opening: " + dir / "gone.bmp - skipped.");
  }
  EXPECT_TRUE(statusLine);
}

// A default extension is tried as spelled, then in lower case, then in upper case, for every
// kind of input.
TEST(GraphicsSource, DefaultExtensionsAreTriedInEachSpelling) {
  testing_files::ScratchDirectory dir;
  testing_files::WriteBytes(dir / "a.RAW", RawFile(2, 4, 4));
  WritePicture(dir / "b.BMP", 5);
  AviSpec avi;
  avi.samples.push_back(PlainFrame8(0, 6, 4));
  testing_files::WriteBytes(dir / "c.AVI", AviFile(avi));
  testing_files::WriteBytes(dir / "d.raw", RawFile(3, 4, 4));
  testing_files::WriteBytes(dir / "d.RAW", RawFile(1, 4, 4));
  struct Case { const char* name; const char* opened; GraphicsKind kind; int frames; };
  const Case cases[] = {
      {"a", "a.RAW", kGraphicsRaw, 2},
      {"b", "b.BMP", kGraphicsBmp, 1},
      {"c", "c.AVI", kGraphicsAvi, 1},
      {"d", "d.raw", kGraphicsRaw, 3},  // lower case before upper case
  };
  for (const Case& c : cases) {
    auto source = Open(dir / c.name);
    ASSERT_TRUE(source) << c.name;
    EXPECT_EQ(source->name, dir / c.opened);
    EXPECT_EQ(source->kind, c.kind) << c.name;
    EXPECT_EQ(source->frames, c.frames) << c.name;
  }
}

// A picture that cannot be read is an error with the reason, never a black frame.
TEST(GraphicsSource, APictureThatCannotBeReadIsAnError) {
  testing_files::ScratchDirectory dir;
  WritePicture(dir / "cut.bmp", 7, 40, 30);
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(dir / "cut.bmp");
  bytes.resize(bytes.size() / 2);
  testing_files::WriteBytes(dir / "cut.bmp", bytes);
  Messages messages;
  auto source = Open(dir / "cut.bmp", "", &messages);
  ASSERT_TRUE(source);
  EXPECT_FALSE(Next(*source, messages));
  EXPECT_TRUE(messages.HasError("Error reading: " + dir / "cut.bmp (the picture is damaged or cut short)."))
      << (messages.seen.empty() ? "" : messages.seen.back().second);
}

TEST(GraphicsSource, PicturesAreTriedWithEachExtension) {
  testing_files::ScratchDirectory dir;
  ImageRecord image;
  ASSERT_EQ(allocimage(&image, 5, 3, 24), 0);
  image.RowFromTop(1)[3 * 2 + 2] = 77;  // red of (2, 1)
  ASSERT_EQ(savetga((dir / "pic.tga").c_str(), &image, 1), 0);
  auto source = Open(dir / "pic");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->kind, kGraphicsTga);
  EXPECT_EQ(source->name, dir / "pic.tga");
  EXPECT_EQ(source->inputBitsPerPixel, 24);
  EXPECT_TRUE(source->workingBuffer.empty());  // one frame: no halftone
  ReadGraphicsFrame(*source);
  EXPECT_EQ(source->currentBitsPerPixel, 24);
  EXPECT_EQ(source->currentPixels[source->currentPitch + 3 * 2 + 2], 77);
  EXPECT_GT(source->frameDataSize, 0);

  Messages messages;
  EXPECT_FALSE(Open(dir / "nothing", "", &messages));
  EXPECT_TRUE(messages.HasError("Error opening: " + dir / "nothing"));
}

}  // namespace
}  // namespace toolsupport

namespace toolsupport {
namespace {

TEST(NextGraphicsFrame, PalettedInputPassesThroughAndRewindRepeatsOutput) {
  testing_files::ScratchDirectory dir;
  testing_files::WriteBytes(dir / "a.raw", RawFile(3, 5, 3));
  auto source = Open(dir / "a.raw");
  ASSERT_TRUE(source);
  std::vector<std::vector<uint8_t>> outputs;
  for (int f = 0; f < 3; ++f) {
    ASSERT_TRUE(NextGraphicsFrame(*source));
    EXPECT_EQ(source->outputFrame[source->outputPitch * 2 + 4], RawPixel(f, 5, 4, 2));
    EXPECT_EQ(source->outputPalette[3 * 40 + 1], 255 - 40);
    outputs.push_back(source->outputFrame);
  }
  RewindGraphicsInput(*source);
  for (int f = 0; f < 3; ++f) {
    ASSERT_TRUE(NextGraphicsFrame(*source));
    EXPECT_EQ(source->outputFrame, outputs[f]) << f;
  }
}

TEST(NextGraphicsFrame, TrueColourInputGetsAPaletteThatHoldsItsColours) {
  testing_files::ScratchDirectory dir;
  ImageRecord image;
  ASSERT_EQ(allocimage(&image, 4, 2, 24), 0);
  const uint8_t colours[2][3] = {{10, 200, 30}, {250, 20, 120}};  // B, G, R
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) std::memcpy(image.RowFromTop(y) + x * 3, colours[(x + y) & 1], 3);
  }
  ASSERT_EQ(savebmp((dir / "two.bmp").c_str(), &image, 0), 0);
  auto source = Open(dir / "two.bmp", "/D2");
  ASSERT_TRUE(source);
  ASSERT_TRUE(NextGraphicsFrame(*source));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const uint8_t* rgb = &source->outputPalette[source->outputFrame[source->outputPitch * y + x] * 3];
      const uint8_t* want = colours[(x + y) & 1];
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(rgb[c], want[2 - c], 4) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace toolsupport

#include "toolsupport/picture/flic_writer.h"

namespace toolsupport {
namespace {

TEST(GraphicsSource, FlicFramesAreSkippedWithStatusThenDelivered) {
  testing_files::ScratchDirectory dir;
  FlicWriter writer;
  FlicWriterInit(writer);
  ASSERT_TRUE(CreateFlic(writer, dir / "anim", 6, 3, -6667));
  std::array<uint8_t, 768> palette{};
  for (int f = 0; f < 10; ++f) {
    palette[5] = static_cast<uint8_t>(f < 5 ? 10 : 20);  // the palette changes at the sixth frame
    std::vector<uint8_t> pixels(6 * 3, static_cast<uint8_t>(f + 1));
    ASSERT_TRUE(WriteFlicFrame(writer, palette.data(), pixels.data()));
  }
  CloseFlic(writer);
  FlicWriterFree(writer);

  Messages messages;
  auto source = Open(dir / "anim", "/S5 /E7", &messages);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->kind, kGraphicsFlic);
  EXPECT_EQ(source->name, dir / "anim.flc");
  EXPECT_EQ(source->frameRate, -6667);
  EXPECT_EQ(source->inputWidth, 8);  // padded to a multiple of 4
  EXPECT_EQ(source->inputHeight, 4);
  EXPECT_EQ(source->frames, 3);
  std::vector<std::vector<uint8_t>> frames;
  std::vector<bool> changes;
  for (int f = 0; f < 3; ++f) {
    changes.push_back(ReadGraphicsFrame(*source));
    frames.push_back(SubFrame(*source));
    EXPECT_EQ(source->currentPixels[source->currentPitch + 2], 5 + f) << f;
    EXPECT_EQ(source->currentPixels[source->currentPitch * 3 + 7], 0);  // padding stays black
  }
  EXPECT_EQ(changes, (std::vector<bool>{true, true, false}));
  ASSERT_GE(messages.seen.size(), 4u);
  EXPECT_EQ(messages.seen[0], (std::pair<int, std::string>{1, "Skipping frame 1..."}));
  EXPECT_EQ(messages.seen[3], (std::pair<int, std::string>{0, "Skipping frame 4..."}));
  RewindGraphicsInput(*source);
  for (int f = 0; f < 3; ++f) {
    ReadGraphicsFrame(*source);
    EXPECT_EQ(SubFrame(*source), frames[f]) << f;
  }
}

}  // namespace
}  // namespace toolsupport

namespace toolsupport {
namespace {

// Damaged run-length data and chunk sizes in an AVI's frame list are refused or
// decoded inside the frame (checked by the sanitizer build).
TEST(GraphicsSource, DamagedAviFramesStayInsideTheFrame) {
  testing_files::ScratchDirectory dir;
  AviSpec spec;
  spec.compression = 1;
  spec.width = 7;
  spec.height = 5;
  for (int f = 0; f < 6; ++f) {
    spec.samples.push_back({7, uint8_t(f), 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 2, 2, 5, 9, 0, 1});
  }
  const std::vector<uint8_t> original = AviFile(spec);
  const size_t movi = std::search(original.begin(), original.end(), std::begin("movi"), std::end("movi") - 1) -
                      original.begin();
  ASSERT_LT(movi, original.size());
  uint32_t seed = 99;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  int opened = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = original;
    for (int hits = 1 + next() % 6; hits > 0; --hits) {
      bytes[movi + next() % (bytes.size() - movi)] = static_cast<uint8_t>(next());
    }
    testing_files::WriteBytes(dir / "d.avi", bytes);
    auto source = Open(dir / "d.avi");
    if (!source) continue;
    ++opened;
    while (!source->atEnd) {
      ReadGraphicsFrame(*source);
      ASSERT_LE(source->copyWidth, 7);
    }
  }
  EXPECT_GT(opened, 0);
}

}  // namespace
}  // namespace toolsupport
