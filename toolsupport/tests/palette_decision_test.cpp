#include "toolsupport/colour/palette_decision.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

namespace {

using Palette = std::array<uint8_t, kPaletteBytes>;

struct FakeFrame {
  int bits = 8;
  std::vector<uint8_t> pixels;
  Palette palette{};
};

// An input of prepared frames, width x height, rows of width * bytes per pixel.
class FakeInput : public PaletteInput {
 public:
  FakeInput(int width, int height, std::vector<FakeFrame> frames, std::vector<std::string>* reports)
      : width_(width), height_(height), frames_(std::move(frames)), reports_(reports) {}
  FakeInput(const FakeInput&) = delete;
  FakeInput& operator=(const FakeInput&) = delete;

  bool ReadFrame() override {
    ++read_;
    return read_ == 1 || frames_[read_ - 1].palette != frames_[read_ - 2].palette;
  }
  ColourFrame Frame() const override {
    const FakeFrame& f = frames_[read_ - 1];
    return ColourFrame{f.pixels.data(), static_cast<ptrdiff_t>(width_ * f.bits / 8), f.bits, width_, height_, 0, 0,
                       f.palette.data()};
  }
  bool AtEnd() const override { return read_ == static_cast<int32_t>(frames_.size()); }
  int32_t FramesRead() const override { return read_; }
  int32_t FrameCount() const override { return static_cast<int32_t>(frames_.size()); }
  int InputBitsPerPixel() const override { return frames_[0].bits > 8 ? 24 : 8; }
  std::string ActionWord() const override { return "Processing"; }
  // Status lines as "0 text" (shown at most every quarter second) or "1 text" (at once); the
  // stop comes once there are more than stopAfter_ of them.
  const toolsupport::Progress& Reporter() const override { return progress_; }
  toolsupport::Result<std::unique_ptr<PaletteInput>> OpenAnalysisSource() override {
    ++analysisOpened;
    if (failAnalysis) return toolsupport::Status::Error("Error opening: analysis");
    auto copy = std::make_unique<FakeInput>(width_, height_, frames_, reports_);
    copy->stopAfter_ = stopAfter_;
    return std::unique_ptr<PaletteInput>(std::move(copy));
  }

  int analysisOpened = 0;
  bool failAnalysis = false;
  int stopAfter_ = -1;

 private:
  int width_, height_;
  std::vector<FakeFrame> frames_;
  std::vector<std::string>* reports_;
  int32_t read_ = 0;
  toolsupport::Progress progress_{
      [this](toolsupport::ProgressKind kind, const std::string& text) {
        if (reports_) reports_->push_back((kind == toolsupport::ProgressKind::StatusNow ? "1 " : "0 ") + text);
      },
      [this] { return stopAfter_ >= 0 && reports_ && static_cast<int>(reports_->size()) > stopAfter_; }};
};

Palette RandomPalette(uint32_t seed) {
  Palette p;
  for (auto& b : p) b = static_cast<uint8_t>((seed = seed * 1664525 + 1013904223) >> 24);
  return p;
}

FakeFrame Paletted(int w, int h, const Palette& palette, int salt) {
  FakeFrame f{8, std::vector<uint8_t>(w * h), palette};
  for (int i = 0; i < w * h; ++i) f.pixels[i] = static_cast<uint8_t>(i * 7 + salt);
  return f;
}

FakeFrame TrueColour(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  FakeFrame f{24, std::vector<uint8_t>(w * h * 3), {}};
  for (int i = 0; i < w * h; ++i) f.pixels[i * 3] = b, f.pixels[i * 3 + 1] = g, f.pixels[i * 3 + 2] = r;
  return f;
}

std::array<uint8_t, 3> ColourAt(const Palette& p, int index) {
  return {p[index * 3], p[index * 3 + 1], p[index * 3 + 2]};
}

struct Outcome {
  std::vector<std::vector<uint8_t>> frames;
  std::vector<Palette> palettes;
  std::vector<bool> newPalettes;
};

Outcome RunAll(FakeInput& input, PaletteState& state, int w, int h) {
  Outcome run;
  Palette palette{};
  std::vector<uint8_t> out(w * h);
  while (!input.AtEnd()) {
    if (!NextPaletteFrame(input, state, palette.data(), out.data(), w).ok()) break;
    run.frames.push_back(out);
    run.palettes.push_back(palette);
    run.newPalettes.push_back(state.newPalette);
  }
  return run;
}

TEST(PaletteDecision, EightBitInputPassesThroughWithDefaultSwitches) {
  const int w = 16, h = 8;
  std::vector<FakeFrame> frames;
  for (int i = 0; i < 6; ++i) frames.push_back(Paletted(w, h, RandomPalette(i / 3), i));
  std::vector<std::string> reports;
  FakeInput input(w, h, frames, &reports);
  PaletteState state;
  Outcome run = RunAll(input, state, w, h);
  ASSERT_EQ(run.frames.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(run.frames[i], frames[i].pixels) << i;
    EXPECT_EQ(run.palettes[i], frames[i].palette) << i;
    EXPECT_FALSE(run.newPalettes[i]);
  }
  EXPECT_EQ(input.analysisOpened, 0);
  EXPECT_EQ(reports.front(), "0 Processing frame 1 of 6...");
}

TEST(PaletteDecision, NewPaletteWhereTheInputPaletteChanges) {
  const int w = 8, h = 4;
  Palette first = RandomPalette(1), second = RandomPalette(2);
  std::vector<FakeFrame> frames;
  for (int i = 0; i < 60; ++i) frames.push_back(Paletted(w, h, i < 30 ? first : second, i));
  FakeInput input(w, h, frames, nullptr);
  PaletteState state;
  state.switches.paletteMode = 2;
  state.switches.systemColours = 2;
  Outcome run = RunAll(input, state, w, h);
  ASSERT_EQ(run.frames.size(), 60u);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(run.newPalettes[i], i == 0 || i == 30) << i;
  EXPECT_EQ(input.analysisOpened, 1);
  // Each output pixel shows (at 6 bits) the colour of its input pixel.
  for (int i : {0, 29, 30, 59}) {
    for (int p = 0; p < w * h; ++p) {
      uint32_t want = PaletteKey(frames[i].palette.data(), frames[i].pixels[p]);
      uint32_t got = PaletteKey(run.palettes[i].data(), run.frames[i][p]);
      EXPECT_EQ(got, want) << "frame " << i << " pixel " << p;
    }
  }
}

TEST(PaletteDecision, SingleColourTrueColourInput) {
  const int w = 8, h = 8;
  std::vector<FakeFrame> frames(3, TrueColour(w, h, 200, 100, 40));
  FakeInput input(w, h, frames, nullptr);
  PaletteState state;
  Outcome run = RunAll(input, state, w, h);
  ASSERT_EQ(run.frames.size(), 3u);
  EXPECT_EQ(run.newPalettes, (std::vector<bool>{true, false, false}));
  int index = run.frames[0][0];
  EXPECT_EQ(ColourAt(run.palettes[0], index), (std::array<uint8_t, 3>{200, 100, 40}));
  EXPECT_EQ(index, 10);  // the first entry after the low system colours
  for (const auto& f : run.frames) EXPECT_EQ(f, std::vector<uint8_t>(w * h, index));
}

TEST(PaletteDecision, SixteenColoursFromZeroPlaceSystemAndNewColours) {
  const int w = 32, h = 8;
  FakeFrame frame{24, std::vector<uint8_t>(w * h * 3), {}};
  for (int i = 0; i < w * h; ++i) {
    frame.pixels[i * 3] = static_cast<uint8_t>(i % w * 8);
    frame.pixels[i * 3 + 1] = 128;
    frame.pixels[i * 3 + 2] = static_cast<uint8_t>(255 - i / w * 30);
  }
  FakeInput input(w, h, {frame}, nullptr);
  PaletteState state;
  state.switches.colours = 16;
  state.switches.firstIndex = 0;
  Outcome run = RunAll(input, state, w, h);
  ASSERT_EQ(run.frames.size(), 1u);
  Palette system{};
  PutSystemColours(system.data());
  const Palette& p = run.palettes[0];
  EXPECT_TRUE(std::equal(system.begin(), system.begin() + 30, p.begin()));
  EXPECT_TRUE(std::equal(system.begin() + 246 * 3, system.end(), p.begin() + 246 * 3));
  for (uint8_t index : run.frames[0]) EXPECT_LT(index, 16);
  // The six new colours are distinct and all of them are used.
  std::set<int> used(run.frames[0].begin(), run.frames[0].end());
  std::set<std::array<uint8_t, 3>> made;
  for (int e = 10; e < 16; ++e) {
    made.insert(ColourAt(p, e));
    EXPECT_TRUE(used.count(e)) << e;
  }
  EXPECT_EQ(made.size(), 6u);
}

TEST(PaletteDecision, IntervalsKeepTheAnalysisInStep) {
  const int w = 4, h = 4;
  std::vector<FakeFrame> frames;
  for (int i = 0; i < 25; ++i)
    frames.push_back(i < 10 ? TrueColour(w, h, 252, 0, 0) : i < 20 ? TrueColour(w, h, 0, 252, 0)
                                                                   : TrueColour(w, h, 0, 0, 252));
  FakeInput input(w, h, frames, nullptr);
  PaletteState state;
  state.switches.interval = 10;
  state.switches.colours = 1;
  state.switches.systemColours = 2;
  Outcome run = RunAll(input, state, w, h);
  ASSERT_EQ(run.frames.size(), 25u);
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ(run.newPalettes[i], i % 10 == 0) << i;
    std::array<uint8_t, 3> want = i < 10 ? std::array<uint8_t, 3>{252, 0, 0}
                                  : i < 20 ? std::array<uint8_t, 3>{0, 252, 0}
                                           : std::array<uint8_t, 3>{0, 0, 252};
    EXPECT_EQ(ColourAt(run.palettes[i], run.frames[i][0]), want) << i;
  }
}

TEST(PaletteDecision, FailuresStopTheFrames) {
  const int w = 4, h = 4;
  std::vector<std::string> reports;
  FakeInput input(w, h, {TrueColour(w, h, 1, 2, 3)}, &reports);
  input.failAnalysis = true;
  PaletteState state;
  Palette palette{};
  std::vector<uint8_t> out(w * h);
  const toolsupport::Status failed = NextPaletteFrame(input, state, palette.data(), out.data(), w);
  EXPECT_EQ(failed.messages(), (std::vector<std::string>{"Error opening: analysis", "Error opening palette graphics file."}));

  FakeInput stopped(w, h, {TrueColour(w, h, 1, 2, 3)}, &reports);
  stopped.stopAfter_ = static_cast<int>(reports.size()) + 1;  // stop during the analysis
  PaletteState again;
  EXPECT_TRUE(NextPaletteFrame(stopped, again, palette.data(), out.data(), w).stopped());
}

}  // namespace
