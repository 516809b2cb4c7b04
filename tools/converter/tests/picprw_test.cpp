// The picprw program run as a process on inputs made by our own writers; outputs read back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "toolsupport/picture/flic_writer.h"
#include "toolsupport/picture/graphics_source.h"
#include "platform/image/image.h"
#include "toolsupport/tests/flic_test_support.h"
#include "testsupport/run_program.h"
#include "testsupport/file_contents.h"

namespace {

using testsupport::RunProgram;

constexpr int kWidth = 32, kHeight = 24, kFrames = 4;

struct Frame {
  std::vector<uint8_t> pixels;  // kWidth x kHeight
  std::vector<uint8_t> palette; // 256 x R, G, B
};

// Frames whose pixels and palettes all differ, so that a frame out of place shows.
std::vector<Frame> MakeFrames() {
  std::vector<Frame> frames(kFrames);
  for (int f = 0; f < kFrames; ++f) {
    frames[f].pixels.resize(kWidth * kHeight);
    for (int i = 0; i < kWidth * kHeight; ++i) frames[f].pixels[i] = static_cast<uint8_t>((i * 7 + f * 31) % 200);
    frames[f].palette.resize(768);
    for (int i = 0; i < 768; ++i) frames[f].palette[i] = static_cast<uint8_t>((i * 5 + f * 60) & 0xFC);
  }
  return frames;
}

bool WriteTestFlic(const std::string& name, const std::vector<Frame>& frames) {
  FlicWriter writer;
  FlicWriterInit(writer);
  bool ok = CreateFlic(writer, name, kWidth, kHeight, 100);
  for (const Frame& frame : frames) ok = ok && WriteFlicFrame(writer, frame.palette.data(), frame.pixels.data());
  ok = CloseFlic(writer) > 0 && ok && !writer.error;
  FlicWriterFree(writer);
  return ok;
}

// The frames of any picture input as the picture input delivers them.
std::vector<Frame> ReadFrames(const std::string& name) {
  std::vector<Frame> frames;
  std::unique_ptr<toolsupport::GraphicsSource> source =
      toolsupport::OpenGraphicsInput({}, "", toolsupport::GraphicsSwitches{}, name).Take();
  if (!source) return frames;
  while (!source->atEnd && toolsupport::NextGraphicsFrame(*source)) {
    Frame frame;
    for (int32_t y = 0; y < source->outputHeight; ++y) {
      const uint8_t* row = source->outputFrame.data() + size_t(y) * size_t(source->outputPitch);
      frame.pixels.insert(frame.pixels.end(), row, row + source->outputWidth);
    }
    frame.palette.assign(source->outputPalette.begin(), source->outputPalette.end());
    frames.push_back(std::move(frame));
  }
  return frames;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class PicprwProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("VANT_BIN_DIR")) GTEST_SKIP() << "VANT_BIN_DIR is not set";
    folder = scratch.File("");
    input = scratch.File("in.flc");
    ASSERT_TRUE(WriteTestFlic(input, frames));
  }
  flictest::ScratchDirectory scratch;
  std::string folder, input;
  std::vector<Frame> frames = MakeFrames();
};

TEST_F(PicprwProgram, CopiesAFlicFrameByFrameWithItsPalettes) {
  // No extension: a flic is made.
  const auto run = RunProgram("picprw", {input, scratch.File("out")});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.errors.find("Created " + scratch.File("out.flc") + " in "), std::string::npos) << run.errors;
  const std::vector<Frame> copied = ReadFrames(scratch.File("out.flc"));
  ASSERT_EQ(copied.size(), frames.size());
  for (size_t f = 0; f < frames.size(); ++f) {
    EXPECT_EQ(copied[f].pixels, frames[f].pixels) << "frame " << f;
    EXPECT_EQ(copied[f].palette, frames[f].palette) << "frame " << f;
  }

  // /F sets the output's frame rate: 8 frames a second is a period of 12500 units of 10 us.
  ASSERT_EQ(RunProgram("picprw", {input, scratch.File("out.flc"), "/F8/O"}).exitCode, 0);
  const auto paced = toolsupport::OpenGraphicsInput({}, "", toolsupport::GraphicsSwitches{}, scratch.File("out.flc")).Take();
  ASSERT_TRUE(paced);
  EXPECT_EQ(paced->frameRate, -12500);
}

TEST_F(PicprwProgram, FrameRangeAndSubFrameMakeAPictureSeries) {
  const auto run = RunProgram("picprw", {input, scratch.File("part.bmp"), "/S2/E3", "/X4/Y2/W16/H8", "/O"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"in.flc", "part0.bmp", "part1.bmp"}));
  for (int n = 0; n < 2; ++n) {
    const Frame& original = frames[1 + n];
    platform::Image image;
    const std::string name = scratch.File("part" + std::to_string(n) + ".bmp");
    platform::ImageInfo info;
    ASSERT_EQ(platform::ReadImageInfo(platform::ImageFormat::Bmp, name, info), platform::ImageStatus::Ok);
    ASSERT_EQ(info.width, 16);
    ASSERT_EQ(info.height, 8);
    ASSERT_EQ(platform::AllocateImage(image, 16, 8, 8), platform::ImageStatus::Ok);
    ASSERT_EQ(platform::LoadImage(platform::ImageFormat::Bmp, name, image), platform::ImageStatus::Ok);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 16; ++x) {
        const uint8_t index = original.pixels[(y + 2) * kWidth + x + 4];
        const uint8_t* colour = &image.palette[image.RowFromTop(y)[x] * 4];
        ASSERT_EQ(colour[2], original.palette[index * 3]) << n << " " << x << "," << y;
        ASSERT_EQ(colour[1], original.palette[index * 3 + 1]);
        ASSERT_EQ(colour[0], original.palette[index * 3 + 2]);
      }
    }
    platform::FreeImage(image);
  }
}

TEST_F(PicprwProgram, UsageSameFileAndUnknownTypesFailWithoutOutput) {
  const std::vector<uint8_t> original = testsupport::ReadFileBytes(input);
  auto run = RunProgram("picprw", {});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("Syntax:  PicPr <Input Graphics File> <Output Graphics File> [/Switches]"),
            std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("Switches:"), std::string::npos);
  EXPECT_EQ(RunProgram("picprw", {input, scratch.File("x.flc"), "/Z"}).exitCode, 1);  // a '/' left
  // A word more than the two names: the usage, and no file named after the last two words.
  run = RunProgram("picprw", {input, scratch.File("b.flc"), scratch.File("c.flc")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("Syntax:  PicPr"), std::string::npos) << run.errors;

  ASSERT_EQ(symlink(input.c_str(), scratch.File("link.flc").c_str()), 0);
  for (const std::string& same : {input, scratch.File("link.flc")}) {
    run = RunProgram("picprw", {input, same, "/O"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("Output filename must be different than the input filename."), std::string::npos);
  }
  EXPECT_EQ(testsupport::ReadFileBytes(input), original);

  run = RunProgram("picprw", {input, scratch.File("x.doc")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("Unsupported output file type."), std::string::npos) << run.errors;
  EXPECT_EQ(RunProgram("picprw", {scratch.File("none.flc"), scratch.File("x.flc")}).exitCode, 1);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"in.flc", "link.flc"}));
}

TEST_F(PicprwProgram, AFailedWriteLeavesNoOutput) {
  // Uncompressible frames, larger together than the limit: writes fail part way.
  std::vector<Frame> noisy = frames;
  uint32_t seed = 1;
  for (Frame& frame : noisy) {
    for (uint8_t& pixel : frame.pixels) pixel = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  }
  const std::vector<Frame> once = noisy;
  for (int copies = 0; copies < 3; ++copies) noisy.insert(noisy.end(), once.begin(), once.end());
  ASSERT_TRUE(WriteTestFlic(input, noisy));
  const auto run = RunProgram("picprw", {input, scratch.File("big.flc")}, {.fileSizeLimit = 6000});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("Error writing to disk: File too large."), std::string::npos) << run.errors;
  EXPECT_EQ(Names(folder), std::vector<std::string>{"in.flc"});
}

// An input that cannot be read all through fails with its own reason and leaves no output.
TEST_F(PicprwProgram, AnUnreadableInputFailsWithItsReasonAndLeavesNoOutput) {
  platform::Image picture;
  ASSERT_EQ(platform::AllocateImage(picture, kWidth, kHeight, 8), platform::ImageStatus::Ok);
  for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = static_cast<uint8_t>(i * 13);
  const std::string gif = scratch.File("damaged.gif");
  ASSERT_EQ(platform::SaveImage(platform::ImageFormat::Gif, gif, picture, 0), platform::ImageStatus::Ok);
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(gif);
  bytes.resize(bytes.size() - 60);  // its only picture is cut short
  flictest::WriteAll(gif, bytes);
  bytes = testsupport::ReadFileBytes(input);
  bytes.resize(bytes.size() * 2 / 3);  // the flic loses its last frames
  flictest::WriteAll(scratch.File("cut.flc"), bytes);

  struct Case {
    std::string input, reason;
  };
  const Case cases[] = {
      {gif, "the picture is damaged or cut short"},
      {scratch.File("cut.flc"), "it ends after 3 of its 4 frames"},
  };
  for (const Case& c : cases) {
    for (const char* output : {"out.flc", "out.bmp"}) {
      const auto run = RunProgram("picprw", {c.input, scratch.File(output)});
      EXPECT_EQ(run.exitCode, 1) << c.input << " " << output;
      EXPECT_NE(run.errors.find("Error reading: " + c.input + " (" + c.reason + ")."), std::string::npos)
          << run.errors;
      EXPECT_EQ(run.errors.find("Created"), std::string::npos) << run.errors;
    }
  }
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"cut.flc", "damaged.gif", "in.flc"}));
}

// Every file the program creates gets the normal mode: 0666 less the umask.
TEST_F(PicprwProgram, OutputsGetTheNormalMode) {
  const mode_t old = umask(027);
  for (const char* output : {"f.flc", "s.bmp", "s.gif", "s.jpg", "s.pcx", "s.tga", "s.tif"}) {
    const auto run = RunProgram("picprw", {input, scratch.File(output), "/E1"});
    ASSERT_EQ(run.exitCode, 0) << output << run.errors;
  }
  umask(old);
  for (const std::string& name : Names(folder)) {
    if (name == "in.flc") continue;
    struct stat info {};
    ASSERT_EQ(stat(scratch.File(name).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << name;
  }
}

}  // namespace
