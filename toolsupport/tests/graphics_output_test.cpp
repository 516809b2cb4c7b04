#include "toolsupport/picture/graphics_output.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "toolsupport/tests/flic_test_support.h"
#include "platform/face/dialogs.h"
#include "toolsupport/ui/status_window.h"
#include "testsupport/file_contents.h"
#include "toolsupport/ui/tool_run.h"

namespace {

using namespace flictest;
using Palette = std::array<uint8_t, 768>;

// Creates outputs as the tools do, asking before an existing file is overwritten; keeps the
// status of every failure.
struct Outputs {
  std::vector<toolsupport::Status> failures;
  std::unique_ptr<GraphicsOutput> Create(int flags, int32_t frameRate, int sourcePitch, int height, int width,
                                         int32_t frameCount, const std::string& name,
                                         const platform::FileSet& inputs = {}) {
    auto made =
        CreateGraphicsOutput(flags, ConfirmOverwrite, frameRate, sourcePitch, height, width, frameCount, name, inputs);
    if (!made.ok()) {
      failures.push_back(made.status());
      return nullptr;
    }
    return made.Take();
  }
};

Palette Colours() {
  Palette p;
  for (int i = 0; i < 256; ++i) p[i * 3] = i, p[i * 3 + 1] = 255 - i, p[i * 3 + 2] = i * 3;
  return p;
}

// width x height pixels in rows of `pitch`; the padding columns hold 0xEE.
std::vector<uint8_t> Pixels(int width, int height, int pitch, int salt) {
  std::vector<uint8_t> px(pitch * height, 0xEE);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) px[y * pitch + x] = static_cast<uint8_t>(x * 3 + y * 5 + salt);
  return px;
}

platform::Image Load(const std::string& name) {
  platform::ImageFormat format{};
  platform::ImageInfo info;
  platform::Image image;
  EXPECT_TRUE(platform::ImageFormatFromExtension(name, format));
  EXPECT_EQ(platform::ReadImageInfo(format, name, info), platform::ImageStatus::Ok) << name;
  EXPECT_EQ(platform::AllocateImage(image, info.width, info.height, info.bitsPerPixel), platform::ImageStatus::Ok);
  EXPECT_EQ(platform::LoadImage(format, name, image), platform::ImageStatus::Ok) << name;
  return image;
}

TEST(GraphicsOutput, SeriesNumbersItsFilesAndDescribesTheirRange) {
  ScratchDirectory dir;
  Outputs reports;
  const int w = 6, h = 4, pitch = 8;
  auto out = reports.Create(0, 100, pitch, h, w, 120, dir.File("OUT.BMP"));
  ASSERT_TRUE(out);
  Palette palette = Colours();
  for (int i = 0; i < 120; ++i) WriteGraphicsFrame(*out, palette.data(), Pixels(w, h, pitch, i).data());
  EXPECT_FALSE(out->error);
  EXPECT_EQ(out->description, "OUT000.BMP to OUT119.BMP");
  EXPECT_FALSE(std::filesystem::exists(dir.File("OUT000.BMP")));  // the names are taken at the close
  const int64_t size = CloseGraphicsOutput(std::move(out));
  uint64_t sum = 0;
  for (int i = 0; i < 120; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "OUT%03d.BMP", i);
    ASSERT_TRUE(std::filesystem::exists(dir.File(name))) << name;
    sum += std::filesystem::file_size(dir.File(name));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("OUT120.BMP")));
  EXPECT_EQ(size, static_cast<int64_t>(sum));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 120);

  platform::Image image = Load(dir.File("OUT007.BMP"));
  ASSERT_EQ(image.bitsPerPixel, 8);
  std::vector<uint8_t> want = Pixels(w, h, pitch, 7);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int index = image.RowFromTop(y)[x];
      EXPECT_EQ(index, want[y * pitch + x]);
      EXPECT_EQ(image.palette[index * 4 + 2], palette[index * 3]);  // B, G, R, 0
      EXPECT_EQ(image.palette[index * 4], palette[index * 3 + 2]);
    }
  EXPECT_TRUE(reports.failures.empty());
}

TEST(GraphicsOutput, OnePictureKeepsItsNameAndTgaExpandsThePalette) {
  ScratchDirectory dir;
  const int w = 5, h = 3, pitch = 8;
  auto out = Outputs().Create(0, 100, pitch, h, w, 1, dir.File("still.tga"));
  ASSERT_TRUE(out);
  EXPECT_EQ(out->bitsPerPixel, 24);
  Palette palette = Colours();
  WriteGraphicsFrame(*out, palette.data(), Pixels(w, h, pitch, 40).data());
  EXPECT_EQ(out->description, "still.tga");
  CloseGraphicsOutput(std::move(out));
  platform::Image image = Load(dir.File("still.tga"));
  ASSERT_EQ(image.bitsPerPixel, 24);
  std::vector<uint8_t> want = Pixels(w, h, pitch, 40);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* bgr = image.RowFromTop(y) + x * 3;
      const uint8_t* rgb = &palette[want[y * pitch + x] * 3];
      EXPECT_EQ((std::array<uint8_t, 3>{bgr[2], bgr[1], bgr[0]}), (std::array<uint8_t, 3>{rgb[0], rgb[1], rgb[2]}));
    }
}

TEST(GraphicsOutput, ExtensionChoosesTheKind) {
  ScratchDirectory dir;
  Outputs reports;
  auto flc = reports.Create(0, 70, 8, 4, 8, 2, dir.File("anim"));
  ASSERT_TRUE(flc);
  EXPECT_EQ(flc->kind, kOutputFlc);
  EXPECT_EQ(flc->name, dir.File("anim.flc"));
  CloseGraphicsOutput(std::move(flc));
  EXPECT_TRUE(std::filesystem::exists(dir.File("anim.flc")));

  const std::pair<const char*, GraphicsOutputKind> kinds[] = {{"a.Flc", kOutputFlc}, {"a.jpg", kOutputJpg},
                                                              {"a.TIF", kOutputTif}, {"a.pcx", kOutputPcx},
                                                              {"a.gif", kOutputGif}, {"a.bmp", kOutputBmp}};
  for (const auto& [name, kind] : kinds) {
    auto out = reports.Create(kOutputOverwrite, 70, 8, 4, 8, 2, dir.File(name));
    ASSERT_TRUE(out) << name;
    EXPECT_EQ(out->kind, kind) << name;
    out.reset();  // discarded
  }
  EXPECT_TRUE(reports.failures.empty());

  EXPECT_FALSE(reports.Create(0, 70, 8, 4, 8, 2, dir.File("a.xyz")));
  ASSERT_EQ(reports.failures.size(), 1u);
  EXPECT_EQ(reports.failures[0].messages(), std::vector<std::string>{"Unsupported output file type."});
  EXPECT_FALSE(reports.Create(kOutputQuietUnknownType, 70, 8, 4, 8, 2, dir.File("b.xyz")));
  ASSERT_EQ(reports.failures.size(), 2u);  // an unknown type that says nothing
  EXPECT_TRUE(reports.failures[1].messages().empty());
  EXPECT_FALSE(reports.failures[1].stopped());
}

TEST(GraphicsOutput, ExistingFilesAreOverwrittenOnlyWhenAllowed) {
  ScratchDirectory dir;
  std::ofstream(dir.File("old.flc")) << "keep";
  std::ofstream(dir.File("pic0.bmp")) << "keep";
  Outputs reports;
  {
    platform::ScriptedDialogs dialogs;
    dialogs.Answer(platform::DialogAnswer::No);
    dialogs.Answer(platform::DialogAnswer::No);
    EXPECT_FALSE(reports.Create(0, 70, 8, 4, 8, 2, dir.File("old")));
    EXPECT_FALSE(reports.Create(0, 70, 8, 4, 8, 5, dir.File("pic.bmp")));
    ASSERT_EQ(dialogs.asked().size(), 2u);
    EXPECT_EQ(dialogs.asked()[0].text, "File " + dir.File("old.flc") + " exists, overwrite?");
    EXPECT_EQ(dialogs.asked()[1].text, "File " + dir.File("pic0.bmp") + " exists, overwrite?");
  }
  ASSERT_EQ(reports.failures.size(), 2u);
  for (const toolsupport::Status& refused : reports.failures) EXPECT_TRUE(refused.stopped());
  EXPECT_EQ(ReadFileBytes(dir.File("old.flc")).size(), 4u);
  auto out = reports.Create(kOutputOverwrite, 70, 8, 4, 8, 2, dir.File("old"));
  ASSERT_TRUE(out);
  CloseGraphicsOutput(std::move(out));
  EXPECT_EQ(ReadFileBytes(dir.File("old.flc")).size(), 128u);
}

TEST(GraphicsOutput, FailuresSayWhyAndReplaceNothing) {
  ScratchDirectory dir;
  Outputs reports;
  EXPECT_FALSE(reports.Create(0, 70, 8, 4, 8, 2, dir.File("no/such/dir.flc")));
  ASSERT_EQ(reports.failures.size(), 1u);
  EXPECT_EQ(reports.failures[0].messages(),
            std::vector<std::string>{"Error creating the output flic " + dir.File("no/such/dir.flc") +
                                     ": No such file or directory."});

  Palette palette = Colours();
  auto lost = reports.Create(0, 70, 8, 4, 8, 3, dir.File("no/such/pic.bmp"));
  ASSERT_TRUE(lost);
  WriteGraphicsFrame(*lost, palette.data(), Pixels(8, 4, 8, 0).data());
  EXPECT_TRUE(lost->error);
  EXPECT_EQ(lost->errorText, "Error creating " + dir.File("no/such/pic0.bmp") + ": No such file or directory.");
  CloseGraphicsOutput(std::move(lost));

  // A device named through a link is written in place; its failure leaves the link as it was.
  std::filesystem::create_symlink("/dev/full", dir.File("full.flc"));
  auto full = reports.Create(kOutputOverwrite, 70, 8, 4, 8, 3, dir.File("full.flc"));
  ASSERT_TRUE(full);
  WriteGraphicsFrame(*full, palette.data(), Pixels(8, 4, 8, 0).data());
  std::string why;
  EXPECT_EQ(CloseGraphicsOutput(std::move(full), &why), -1);
  EXPECT_EQ(why, kWriteErrorMessage);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("full.flc")));

  // A series that stops part way replaces none of the old pictures and leaves no new one.
  std::ofstream(dir.File("part0.gif")) << "old";
  auto series = reports.Create(kOutputOverwrite, 70, 8, 4, 8, 3, dir.File("part.gif"));
  ASSERT_TRUE(series);
  WriteGraphicsFrame(*series, palette.data(), Pixels(8, 4, 8, 0).data());
  WriteGraphicsFrame(*series, palette.data(), Pixels(8, 4, 8, 1).data());
  series.reset();  // a run that stops discards its output
  EXPECT_EQ(ReadFileBytes(dir.File("part0.gif")).size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("part1.gif")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "a temporary file stayed";

  // Nor is any of the run's inputs ever an output: a flic, or a picture of a series.
  platform::FileSet inputs;
  std::ofstream(dir.File("in.flc")) << "in";
  inputs.Add(dir.File("in.flc"));
  inputs.Add(dir.File("part0.gif"));
  EXPECT_FALSE(reports.Create(kOutputOverwrite, 70, 8, 4, 8, 3, dir.File("in"), inputs));
  EXPECT_FALSE(reports.Create(kOutputOverwrite, 70, 8, 4, 8, 3, dir.File("part.gif"), inputs));
  ASSERT_EQ(reports.failures.size(), 3u);
  EXPECT_EQ(reports.failures[1].message(), kSameFileMessage);
  EXPECT_EQ(reports.failures[2].message(), kSameFileMessage);
}

TEST(GraphicsOutput, FlicFramesOfAPaddedSourceReadBackExactly) {
  std::string python = PythonWithImaging();
  if (python.empty()) GTEST_SKIP() << "no python3 with the imaging library";
  ScratchDirectory dir;
  const int w = 30, h = 6, pitch = 36;  // the flic is 32 wide: two padding columns kept
  auto out = Outputs().Create(0, -6667, pitch, h, w, 3, dir.File("pad.flc"));
  ASSERT_TRUE(out);
  Palette palette = Colours();
  std::vector<uint8_t> expected;
  for (int i = 0; i < 3; ++i) {
    std::vector<uint8_t> px = Pixels(w, h, pitch, i * 11);
    WriteGraphicsFrame(*out, palette.data(), px.data());
    for (int y = 0; y < h; ++y) expected.insert(expected.end(), &px[y * pitch], &px[y * pitch + 32]);
  }
  EXPECT_FALSE(out->error);
  int64_t size = CloseGraphicsOutput(std::move(out));
  EXPECT_EQ(size, static_cast<int64_t>(std::filesystem::file_size(dir.File("pad.flc"))));
  std::vector<uint8_t> seen;
  ASSERT_TRUE(ReadWithImaging(python, dir.File("pad.flc"), dir.File("pad"), seen));
  EXPECT_TRUE(seen == expected);
}

}  // namespace
