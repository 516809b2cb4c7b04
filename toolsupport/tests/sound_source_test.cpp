#include "toolsupport/sound/sound_source.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "toolsupport/tests/media_test_files.h"
#include "toolsupport/tests/sound_test_files.h"
#include "toolsupport/sound/sound_track_encoder.h"
#include "testsupport/file_contents.h"

namespace {

using namespace toolsupport;
using testing_files::ExtraChunk;
using testing_files::MakeAvi;
using testing_files::MakeWav;
using testing_files::ScratchDirectory;
using testing_files::WriteBytes;
using testing_files::WriteText;

// Collects what a source shows (kind 0, or 1 for a line shown at once) and the errors its
// opening returns (kind 2), in order.
struct Reports {
  std::vector<std::pair<int, std::string>> items;
  Progress Shown() {
    return Progress([this](ProgressKind kind, const std::string& text) {
      items.emplace_back(kind == ProgressKind::StatusNow ? 1 : 0, text);
    }, nullptr);
  }
  void Returned(const Status& status) {
    for (const std::string& message : status.messages()) items.emplace_back(2, message);
  }
  std::string LastError() const {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      if (it->first == 2) return it->second;
    }
    return {};
  }
};

std::vector<uint8_t> ReadAll(SoundSource& source, size_t step = 1000) {
  std::vector<uint8_t> all;
  std::vector<uint8_t> buffer(step);
  while (!source.AtEnd()) {
    size_t got = source.ReadConverted(buffer.data(), buffer.size());
    all.insert(all.end(), buffer.begin(), buffer.begin() + got);
    if (got == 0) break;
  }
  return all;
}

std::vector<uint8_t> Ramp8(size_t count, uint32_t first = 0, uint32_t step = 1) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i * step);
  return bytes;
}

std::vector<uint8_t> Samples16(const std::vector<int32_t>& values) {
  std::vector<uint8_t> bytes;
  for (int32_t v : values) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  return bytes;
}

std::vector<int32_t> Values16(const std::vector<uint8_t>& bytes) {
  std::vector<int32_t> values;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) values.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
  return values;
}

class SoundInputTest : public ::testing::Test {
 protected:
  std::unique_ptr<SoundSource> Open(const std::string& name, SoundSwitches switches = {}, bool* found = nullptr) {
    auto opened = OpenSoundInput(reports.Shown(), switches, name, found);
    if (!opened.ok()) {
      reports.Returned(opened.status());
      return nullptr;
    }
    return opened.Take();
  }
  ScratchDirectory dir;
  Reports reports;
};

// ---- WAV files ----

TEST_F(SoundInputTest, WavWithExtraAndOddChunksDeliversItsData) {
  std::vector<uint8_t> data = Ramp8(3001, 7);
  WriteBytes(dir / "a.wav", MakeWav(8000, 8, 1, data, {{"LIST", {1, 2, 3}}, {"junk", std::vector<uint8_t>(9, 0xEE)}}));
  auto source = Open(dir / "a");  // ".wav" is added to a name without an extension
  ASSERT_TRUE(source) << reports.LastError();
  EXPECT_EQ(source->kind, SoundKind::kFile);
  EXPECT_EQ(source->output.rate, 8000u);
  EXPECT_EQ(source->size, data.size());
  EXPECT_EQ(ReadAll(*source, 512), data);
  EXPECT_TRUE(source->AtEnd());

  // Rewinding gives the same bytes again.
  ASSERT_TRUE(SeekSoundInput(*source));
  EXPECT_FALSE(source->AtEnd());
  EXPECT_EQ(ReadAll(*source, 4096), data);
}

// A sound input that holds less than it announces is refused, saying after how much it ends; a
// WAV written by a streaming writer announces the largest size and runs to the end of the file.
TEST_F(SoundInputTest, ACutSoundInputIsRefusedSayingWhereItEnds) {
  const std::vector<uint8_t> data = Ramp8(1001);
  std::vector<uint8_t> avi = MakeAvi(100000, 2, 8000, 16, 1, {Ramp8(400, 0), Ramp8(400, 100)});
  avi.erase(avi.end() - 150, avi.end());  // into the last sound chunk
  WriteBytes(dir / "cut.wav", MakeWav(11025, 16, 2, data, {}, 1, 1 << 20));
  WriteBytes(dir / "streamed.wav", MakeWav(11025, 16, 2, data, {}, 1, 0xFFFFFFFF));
  WriteBytes(dir / "t.avi", avi);
  WriteBytes(dir / "whole.wav", MakeWav(1000, 8, 1, Ramp8(50)));
  WriteText(dir / "list.lst", dir / "whole.wav" + "\n" + dir / "cut.wav" + "\n");
  const std::string cutWav = "Error reading " + dir / "cut.wav" + ": the sound ends after 1000 of its 1048576 bytes.";
  const struct {
    std::string name, error;
  } cases[] = {
      {dir / "cut.wav", cutWav},
      {dir / "streamed.wav", ""},
      {dir / "t.avi", "Error reading " + dir / "t.avi" + ": the sound ends after 650 of its 800 bytes."},
      {dir / "list.lst", cutWav},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bool found = false;
    auto source = Open(c.name, {}, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(!source, !c.error.empty());
    EXPECT_EQ(reports.LastError(), c.error);
    if (source) {
      EXPECT_EQ(ReadAll(*source), std::vector<uint8_t>(data.begin(), data.begin() + 1000));
    }
    reports.items.clear();
  }
}

// A file that shrinks once it is open ends the reading with the same rule.
TEST_F(SoundInputTest, SoundThatEndsWhileItIsReadIsTheReadStatus) {
  WriteBytes(dir / "shrinks.wav", MakeWav(1000, 8, 1, Ramp8(5000)));
  auto source = Open(dir / "shrinks.wav");
  ASSERT_TRUE(source) << reports.LastError();
  ASSERT_EQ(truncate((dir / "shrinks.wav").c_str(), 44 + 3000), 0);
  EXPECT_EQ(ReadAll(*source, 1000), Ramp8(3000));
  EXPECT_EQ(source->ReadStatus().message(),
            "Error reading " + dir / "shrinks.wav" + ": the sound ends after 3000 of its 5000 bytes.");
}

TEST_F(SoundInputTest, UnusableWavFilesAreRefusedWithAReason) {
  // Not PCM: the file is not taken as a WAV and no other reader takes it either.
  WriteBytes(dir / "float.wav", MakeWav(8000, 16, 1, Ramp8(100), {}, 3));
  EXPECT_FALSE(Open(dir / "float.wav"));
  EXPECT_EQ(reports.LastError(), "Error opening the input file.");

  // A rate of zero would be divided by; 24-bit samples cannot be delivered.
  WriteBytes(dir / "zero.wav", MakeWav(0, 8, 1, Ramp8(100)));
  EXPECT_FALSE(Open(dir / "zero.wav"));
  WriteBytes(dir / "wide.wav", MakeWav(8000, 24, 1, Ramp8(99)));
  EXPECT_FALSE(Open(dir / "wide.wav"));

  // No sound at all, or less than one sample frame.
  WriteBytes(dir / "empty.wav", MakeWav(8000, 8, 1, {}));
  EXPECT_FALSE(Open(dir / "empty.wav"));
  EXPECT_EQ(reports.LastError(), "No sound found in the input file.");
  WriteBytes(dir / "half.wav", MakeWav(8000, 16, 1, {1}));
  EXPECT_FALSE(Open(dir / "half.wav"));

  // Truncated inside the header.
  std::vector<uint8_t> whole = MakeWav(8000, 8, 1, Ramp8(100));
  WriteBytes(dir / "short.wav", std::vector<uint8_t>(whole.begin(), whole.begin() + 30));
  EXPECT_FALSE(Open(dir / "short.wav"));

  EXPECT_FALSE(Open(dir / "missing.wav"));
  EXPECT_EQ(reports.LastError(), "Error opening the input file.");
}

// The extensible form of the format chunk: read as PCM when its sub-format is PCM.
TEST_F(SoundInputTest, ExtensibleWavWithAPcmSubFormatIsPcm) {
  struct Case {
    const char* name;
    uint32_t bits, channels;
    uint8_t subFormat;  // first byte of the sub-format GUID: 1 PCM, 3 floating point
    bool taken;
  };
  const Case cases[] = {
      {"pcm16.wav", 16, 2, 1, true},
      {"pcm8.wav", 8, 1, 1, true},
      {"float.wav", 16, 1, 3, false},
      {"pcm24.wav", 24, 1, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> data = Ramp8(12 * c.bits / 8 * c.channels, 3);
    const uint32_t block = c.bits / 8 * c.channels;
    testing_files::ByteWriter w;
    w.Text("RIFF").U32(0).Text("WAVE");
    w.Text("fmt ").U32(40).U16(0xFFFE).U16(c.channels).U32(8000).U32(8000 * block).U16(block).U16(c.bits);
    w.U16(22).U16(c.bits).U32(c.channels == 2 ? 3 : 4);
    w.U8(c.subFormat).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0x10).U8(0);
    w.U8(0x80).U8(0).U8(0).U8(0xAA).U8(0).U8(0x38).U8(0x9B).U8(0x71);
    w.Text("data").U32(static_cast<uint32_t>(data.size())).Bytes(data);
    w.PatchU32(4, static_cast<uint32_t>(w.size() - 8));
    WriteBytes(dir / c.name, w.bytes);
    auto source = Open(dir / c.name);
    EXPECT_EQ(source != nullptr, c.taken);
    if (!source) continue;
    EXPECT_EQ(source->output.bits, c.bits);
    EXPECT_EQ(source->output.channels, c.channels);
    EXPECT_EQ(ReadAll(*source), data);
  }
}

TEST_F(SoundInputTest, UnsupportedOutputRequestsAreRefused) {
  WriteBytes(dir / "a.wav", MakeWav(8000, 8, 1, Ramp8(100)));
  SoundSwitches s;
  s.bits = 12;
  EXPECT_FALSE(Open(dir / "a.wav", s));
  s = {};
  s.channels = 3;
  EXPECT_FALSE(Open(dir / "a.wav", s));
  s = {};
  s.rate = -5;
  EXPECT_FALSE(Open(dir / "a.wav", s));
  EXPECT_EQ(reports.items.size(), 3u);
}

// ---- Cuts ----

TEST_F(SoundInputTest, StartAndEndCutTheSoundInMilliseconds) {
  // 1000 bytes per second: one byte per millisecond.
  std::vector<uint8_t> data = Ramp8(2000);
  WriteBytes(dir / "ms.wav", MakeWav(1000, 8, 1, data));
  auto cut = [&](int32_t start, int32_t end) {
    SoundSwitches s;
    s.start = start;
    s.end = end;
    auto source = Open(dir / "ms.wav", s);
    return source ? ReadAll(*source) : std::vector<uint8_t>{};
  };
  EXPECT_EQ(cut(300, 0), std::vector<uint8_t>(data.begin() + 300, data.end()));
  EXPECT_EQ(cut(300, 800), std::vector<uint8_t>(data.begin() + 300, data.begin() + 800));
  EXPECT_EQ(cut(0, 250), std::vector<uint8_t>(data.begin(), data.begin() + 250));
  // Files take negative values as milliseconds.
  EXPECT_EQ(cut(-300, -800), std::vector<uint8_t>(data.begin() + 300, data.begin() + 800));
  // An end far beyond the sound keeps all of it (the product needs more than 32 bits).
  EXPECT_EQ(cut(0, INT32_MAX), data);
  // Starting at or past the end leaves nothing, which is refused.
  EXPECT_TRUE(cut(2000, 0).empty());
  EXPECT_TRUE(cut(INT32_MAX, 0).empty());
  EXPECT_EQ(reports.LastError(), "No sound found in the input file.");
}

// ---- Conversions ----

TEST_F(SoundInputTest, SampleSizeAndChannelConversions) {
  // 8-bit mono ramp to 16-bit stereo and back.
  std::vector<uint8_t> ramp = Ramp8(256);
  WriteBytes(dir / "m8.wav", MakeWav(8000, 8, 1, ramp));
  SoundSwitches s;
  s.bits = 16;
  s.channels = 2;
  auto wide = Open(dir / "m8.wav", s);
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->size, 256u * 4);
  std::vector<int32_t> values = Values16(ReadAll(*wide));
  ASSERT_EQ(values.size(), 512u);
  for (size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(values[2 * i], (static_cast<int32_t>(i) - 128) * 256) << i;
    EXPECT_EQ(values[2 * i + 1], values[2 * i]) << i;
  }

  // 16-bit stereo to 8-bit mono: left and right averaged, then rounded to 8 bits.
  std::vector<int32_t> stereo;
  for (int32_t i = 0; i < 200; ++i) {
    stereo.push_back(-25600 + i * 256);        // left
    stereo.push_back(-25600 + i * 256 + 512);  // right, two 8-bit steps above
  }
  WriteBytes(dir / "s16.wav", MakeWav(8000, 16, 2, Samples16(stereo)));
  s = {};
  s.bits = 8;
  s.channels = 1;
  auto narrow = Open(dir / "s16.wav", s);
  ASSERT_TRUE(narrow);
  std::vector<uint8_t> bytes = ReadAll(*narrow);
  ASSERT_EQ(bytes.size(), 200u);
  for (size_t i = 0; i < 200; ++i) EXPECT_EQ(bytes[i], 128 - 100 + i + 1) << i;

  // Extremes stay in range.
  WriteBytes(dir / "edge.wav", MakeWav(8000, 16, 1, Samples16({32767, -32768, 32767})));
  auto edge = Open(dir / "edge.wav", s);
  ASSERT_TRUE(edge);
  EXPECT_EQ(ReadAll(*edge), (std::vector<uint8_t>{255, 0, 255}));
}

TEST_F(SoundInputTest, LowerRatesAverageAndHigherRatesInterpolate) {
  // A 16-bit ramp rising by 64 per frame at 3000 Hz.
  std::vector<int32_t> ramp;
  for (int32_t i = 0; i < 900; ++i) ramp.push_back(-28800 + 64 * i);
  WriteBytes(dir / "r.wav", MakeWav(3000, 16, 1, Samples16(ramp)));

  // Halving: each output frame is the mean of two source frames.
  SoundSwitches s;
  s.rate = 1500;
  auto half = Open(dir / "r.wav", s);
  ASSERT_TRUE(half);
  EXPECT_EQ(half->size, 450u * 2);
  std::vector<int32_t> halved = Values16(ReadAll(*half, 98));
  ASSERT_EQ(halved.size(), 450u);
  for (size_t k = 0; k < halved.size(); ++k) EXPECT_EQ(halved[k], (ramp[2 * k] + ramp[2 * k + 1]) / 2) << k;

  // Doubling: frames between source frames lie half-way.
  s.rate = 6000;
  auto twice = Open(dir / "r.wav", s);
  ASSERT_TRUE(twice);
  EXPECT_EQ(twice->size, 1800u * 2);
  std::vector<int32_t> doubled = Values16(ReadAll(*twice, 1002));
  ASSERT_EQ(doubled.size(), 1800u);
  for (size_t k = 0; k + 2 < doubled.size(); ++k) EXPECT_EQ(doubled[k], -28800 + 32 * static_cast<int32_t>(k)) << k;

  // An uneven ratio: 3000 to 2000 and to 4410 Hz stay on the ramp (within rounding).
  for (int32_t rate : {2000, 4410}) {
    s.rate = rate;
    auto other = Open(dir / "r.wav", s);
    ASSERT_TRUE(other);
    const uint64_t frames = 900ull * rate / 3000;
    EXPECT_EQ(other->size, frames * 2);
    std::vector<int32_t> got = Values16(ReadAll(*other, 333));
    ASSERT_EQ(got.size(), frames);
    for (size_t k = 1; k + 2 < got.size(); ++k) {
      const double time = static_cast<double>(k) * 3000 / rate;  // in source frames
      // Averaging spans whole source frames, so lower rates sit near the middle of their span.
      const double expected = -28800 + 64 * (rate < 3000 ? time + (3000.0 / rate - 1) / 2 : time);
      EXPECT_NEAR(got[k], expected, 33) << rate << " " << k;
    }
  }
}

// ---- Raw PCM ----

TEST_F(SoundInputTest, RawPcmTakesItsFormatFromTheSwitches) {
  std::vector<uint8_t> bytes = Ramp8(1003);
  WriteBytes(dir / "raw.pcm", bytes);
  SoundSwitches s;
  s.rawKind = 4;  // 16-bit stereo
  s.rawRate = 22050;
  s.skipBytes = 2;
  auto source = Open(dir / "raw.pcm", s);
  ASSERT_TRUE(source) << reports.LastError();
  EXPECT_EQ(source->source.bits, 16u);
  EXPECT_EQ(source->source.channels, 2u);
  EXPECT_EQ(source->source.rate, 22050u);
  EXPECT_EQ(RawFormatWord(s), 3u + 22050u * 8);
  EXPECT_EQ(ReadAll(*source), std::vector<uint8_t>(bytes.begin() + 2, bytes.begin() + 1002));

  // /Y5 reads as 8-bit mono; a skip past the end leaves less than a frame.
  s.rawKind = 5;
  s.skipBytes = 5000;
  auto tail = Open(dir / "raw.pcm", s);
  ASSERT_TRUE(tail);
  EXPECT_EQ(ReadAll(*tail), std::vector<uint8_t>{bytes.back()});

  // A rate of zero and an empty file are refused, not divided by.
  s.skipBytes = 0;
  s.rawRate = 0;
  EXPECT_FALSE(Open(dir / "raw.pcm", s));
  s.rawRate = 8000;
  WriteBytes(dir / "none.pcm", {});
  EXPECT_FALSE(Open(dir / "none.pcm", s));
  EXPECT_EQ(reports.LastError(), "No sound found in the input file.");
}

// ---- AVI sound ----

TEST_F(SoundInputTest, AviSoundIsTheStreamsChunksInOrder) {
  std::vector<std::vector<uint8_t>> pieces = {Ramp8(101, 0), Ramp8(300, 101), Ramp8(57, 145), Ramp8(200, 9)};
  std::vector<uint8_t> all;
  for (const auto& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  // 100 ms frames, 8-bit mono at 1000 Hz: a frame is 100 bytes.
  WriteBytes(dir / "clip.avi", MakeAvi(100000, 5, 1000, 8, 1, pieces));
  auto source = Open(dir / "clip.avi");
  ASSERT_TRUE(source) << reports.LastError();
  EXPECT_EQ(source->kind, SoundKind::kAvi);
  EXPECT_EQ(ReadAll(*source, 64), all);

  // Negative cut values are frames of the video.
  SoundSwitches s;
  s.start = -2;
  s.end = -5;
  auto frames = Open(dir / "clip.avi", s);
  ASSERT_TRUE(frames);
  EXPECT_EQ(ReadAll(*frames), std::vector<uint8_t>(all.begin() + 200, all.begin() + 500));

  // Only the first sound stream exists: no sound is found.
  s = {};
  s.track = 1;
  bool found = true;
  EXPECT_FALSE(Open(dir / "clip.avi", s, &found));
  EXPECT_EQ(reports.LastError(), "Error opening the input file.");
  EXPECT_FALSE(found);

  // Sound is found, but cannot be read.
  WriteBytes(dir / "adpcm.avi", MakeAvi(100000, 5, 1000, 8, 1, pieces, 2));
  EXPECT_FALSE(Open(dir / "adpcm.avi", {}, &found));
  EXPECT_EQ(reports.LastError(), "Error reading AVI file.");
  EXPECT_TRUE(found);
}

TEST_F(SoundInputTest, WaveListPlaysItsEntriesInTheFirstEntrysFormat) {
  std::vector<uint8_t> first = Ramp8(500, 0);
  WriteBytes(dir / "one.wav", MakeWav(1000, 8, 1, first));
  // A 16-bit stereo entry at twice the rate: averaged to 8-bit mono at 1000 Hz.
  std::vector<int32_t> loud;
  for (int32_t i = 0; i < 400; ++i) {
    loud.push_back(((i / 2) % 100) * 256 - 12800);
    loud.push_back(((i / 2) % 100) * 256 - 12800);
  }
  WriteBytes(dir / "two.wav", MakeWav(2000, 16, 2, Samples16(loud)));
  // A series whose name holds a '%', which must stay a plain character.
  WriteBytes(dir / "s%s01.wav", MakeWav(1000, 8, 1, Ramp8(10, 200)));
  WriteBytes(dir / "s%s02.wav", MakeWav(1000, 8, 1, Ramp8(10, 210)));
  WriteText(dir / "list.lst", "# sound for the intro\n" + dir / "one.wav" + " /S100 /E300\n\n\"" + dir / "two.wav" +
                                  "\"\n" + dir / "s%s??.wav*1-2\n");
  auto source = Open(dir / "list.lst");
  ASSERT_TRUE(source) << reports.LastError();
  EXPECT_EQ(source->kind, SoundKind::kWaveList);
  EXPECT_EQ(source->output.rate, 1000u);
  EXPECT_EQ(source->output.bits, 8u);
  EXPECT_EQ(source->output.channels, 1u);
  EXPECT_EQ(source->size, 200u + 200u + 20u);

  std::vector<uint8_t> expected(first.begin() + 100, first.begin() + 300);
  for (int32_t i = 0; i < 200; ++i) expected.push_back(static_cast<uint8_t>(i % 100 + 128 - 50));
  for (uint8_t v : Ramp8(20, 200)) expected.push_back(v);
  EXPECT_EQ(ReadAll(*source, 77), expected);
  ASSERT_TRUE(SeekSoundInput(*source));
  EXPECT_EQ(ReadAll(*source, 4096), expected);

  // The list's own cut works across its entries.
  SoundSwitches s;
  s.start = 150;
  s.end = 260;
  auto cut = Open(dir / "list.lst", s);
  ASSERT_TRUE(cut);
  EXPECT_EQ(ReadAll(*cut), std::vector<uint8_t>(expected.begin() + 150, expected.begin() + 260));
}

TEST_F(SoundInputTest, BadWaveListsAreRefused) {
  WriteText(dir / "empty.lst", "# nothing here\n\n");
  EXPECT_FALSE(Open(dir / "empty.lst"));
  EXPECT_EQ(reports.LastError(), "No files in the wave list file.");

  WriteText(dir / "self.lst", dir / "self.lst" + "\n");
  EXPECT_FALSE(Open(dir / "self.lst"));

  WriteText(dir / "none.lst", dir / "gone.wav" + "\n");
  EXPECT_FALSE(Open(dir / "none.lst"));
  EXPECT_EQ(reports.LastError(), "No files in the wave list file.");
}

// An entry that cannot be opened is skipped with a status line; the others make the list, the
// first of them giving its format.
TEST_F(SoundInputTest, WaveListEntriesThatCannotBeOpenedAreSkipped) {
  WriteBytes(dir / "ok.wav", MakeWav(1000, 8, 1, Ramp8(50)));
  WriteBytes(dir / "my take.wav", MakeWav(1000, 8, 1, Ramp8(30, 100)));
  WriteText(dir / "gap.lst", dir / "gone.wav" + "\n" + dir / "ok.wav" + " /S0\n" + dir / "gone2.wav\n" +
                                 dir / "my take.wav\n");
  auto source = Open(dir / "gap.lst");
  ASSERT_TRUE(source) << reports.LastError();
  EXPECT_EQ(reports.LastError(), "");
  std::vector<uint8_t> expected = Ramp8(50);
  for (uint8_t v : Ramp8(30, 100)) expected.push_back(v);
  EXPECT_EQ(ReadAll(*source), expected);
  int skipped = 0;
  for (const auto& [kind, text] : reports.items) {
    if (kind == 1 && text == dir / "gone.wav" + ": Error opening the input file. - skipped.") ++skipped;
  }
  EXPECT_EQ(skipped, 1) << "each entry that is skipped is reported once";
}

// An entry that goes away after the list was opened ends the reading, and the reason is kept for
// the caller instead of being shown.
TEST_F(SoundInputTest, AWaveListEntryGoneWhileReadingIsTheReadStatus) {
  WriteBytes(dir / "one.wav", MakeWav(1000, 8, 1, Ramp8(50)));
  WriteBytes(dir / "two.wav", MakeWav(1000, 8, 1, Ramp8(30, 100)));
  WriteText(dir / "both.lst", dir / "one.wav" + "\n" + dir / "two.wav" + "\n");
  auto source = Open(dir / "both.lst");
  ASSERT_TRUE(source) << reports.LastError();
  EXPECT_TRUE(source->ReadStatus().ok());
  std::remove((dir / "two.wav").c_str());
  EXPECT_EQ(ReadAll(*source), Ramp8(50));
  EXPECT_EQ(source->ReadStatus().message(), "Error opening the input file.");
  EXPECT_EQ(reports.LastError(), "");
  ASSERT_TRUE(source->Rewind());  // a new pass starts without the old reason
  EXPECT_TRUE(source->ReadStatus().ok());
}

// ---- Progress and the track encoder ----

TEST_F(SoundInputTest, ReportsProgressWhileReading) {
  WriteBytes(dir / "p.wav", MakeWav(1000, 8, 1, Ramp8(1000)));
  auto source = Open(dir / "p.wav");
  ASSERT_TRUE(source);
  std::vector<uint8_t> buffer(250);
  for (int i = 0; i < 4; ++i) source->ReadConverted(buffer.data(), buffer.size());
  std::vector<std::string> texts;
  for (const auto& [kind, text] : reports.items) {
    EXPECT_EQ(kind, 0);
    texts.push_back(text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Processing sound data (0%)...", "Processing sound data (25%)...",
                                             "Processing sound data (50%)...", "Processing sound data (75%)..."}));
}

TEST_F(SoundInputTest, FeedsTheTrackEncoderWithLoopingAndLeadSilence) {
  std::vector<uint8_t> data = Ramp8(300, 1);
  WriteBytes(dir / "loop.wav", MakeWav(1000, 8, 1, data));
  SoundSwitches s;
  auto source = Open(dir / "loop.wav", s);
  ASSERT_TRUE(source);
  BufferedFile out;
  ASSERT_TRUE(out.Create((dir / "track").c_str()));
  SoundTrackOptions options;
  options.length_ms = 1000;
  options.lead_silence_ms = 100;
  options.loop_source = true;
  options.raw_chunks = true;
  auto encoder = OpenSoundTrack(std::move(source), options, &out);
  ASSERT_TRUE(encoder);
  ASSERT_TRUE(CompressAudioChunk(2000, *encoder));
  EXPECT_EQ(encoder->last_sound_bytes, 1000u);  // lead silence, then the sound looped to the length
  ASSERT_TRUE(CompressAudioChunk(2000, *encoder));
  EXPECT_EQ(encoder->last_sound_bytes, 0u);
  CloseSoundTrack(encoder);
  out.Close();
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(dir / "track");
  ASSERT_EQ(bytes.size(), 4u + 1000u);
  std::vector<uint8_t> expected(100, 0x80);
  for (int i = 0; i < 900; ++i) expected.push_back(data[i % 300]);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 4, bytes.end()), expected);
}

// ---- Switches ----

TEST(SoundSwitchesTest, ReadsOnlyTheLettersAsked) {
  std::string text = "\"in.wav\" /R22050/C1 /B16 /S-3 /E900 /T2 /Y3 /D8000 /K44 /L4 /P";
  SoundSwitches s;
  ParseSoundSwitches(text, "RCBSETYDK", s);
  EXPECT_EQ(s.rate, 22050);
  EXPECT_EQ(s.channels, 1);
  EXPECT_EQ(s.bits, 16);
  EXPECT_EQ(s.start, -3);
  EXPECT_EQ(s.end, 900);
  EXPECT_EQ(s.track, 2);
  EXPECT_EQ(s.rawKind, 3);
  EXPECT_EQ(s.rawRate, 8000);
  EXPECT_EQ(s.skipBytes, 44);
  EXPECT_EQ(s.lossLevel, 0);
  EXPECT_FALSE(s.loop);
  EXPECT_EQ(RawFormatWord(s), 2u + 8000u * 8);
  ParseSoundSwitches(text, "LP", s);
  EXPECT_EQ(s.lossLevel, 4);
  EXPECT_TRUE(s.loop);
  EXPECT_EQ(text.find('/', 9), std::string::npos) << text;

  SoundSwitches notRaw;
  notRaw.rawKind = 6;
  EXPECT_FALSE(notRaw.IsRaw());
  EXPECT_EQ(RawFormatWord(notRaw), 0u);
}

}  // namespace
