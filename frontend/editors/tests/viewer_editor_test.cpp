#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>

#include <filesystem>

#include "frontend/console/tests/console_fixture.h"
#include "frontend/editors/image_viewer.h"
#include "frontend/editors/text_editor.h"
#include "platform/face/dialogs.h"
#include "testsupport/file_contents.h"

using namespace frontend;
using frontend_testing::Write;

namespace {

class Viewer : public frontend_testing::ConsoleTest {};
class Editor : public frontend_testing::ConsoleTest {};

// A 24-bit picture: red across, green down, the blue of the quarter.
platform::Image Gradient(int32_t width, int32_t height) {
  platform::Image image;
  EXPECT_EQ(platform::AllocateImage(image, width, height, 24), platform::ImageStatus::Ok);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* bgr = image.RowFromTop(y) + x * 3;
      bgr[0] = (x < width / 2) == (y < height / 2) ? 200 : 20;
      bgr[1] = static_cast<uint8_t>(y * 255 / (height - 1));
      bgr[2] = static_cast<uint8_t>(x * 255 / (width - 1));
    }
  }
  return image;
}

TEST_F(Viewer, EveryPictureFormatIsShownAndOtherFilesAreNot) {
  const platform::Image picture = Gradient(40, 24);
  platform::Image paletted;
  ASSERT_EQ(platform::ConvertRgbToPalette(picture, paletted), platform::ImageStatus::Ok);
  struct Case {
    const char* name;
    platform::ImageFormat format;
    const platform::Image* image;
    int tolerance;
  } cases[] = {
      {"p.bmp", platform::ImageFormat::Bmp, &picture, 0},   {"p.pcx", platform::ImageFormat::Pcx, &paletted, 40},
      {"p.tga", platform::ImageFormat::Tga, &picture, 0},   {"p.gif", platform::ImageFormat::Gif, &paletted, 40},
      {"p.jpg", platform::ImageFormat::Jpeg, &picture, 40}, {"p.tif", platform::ImageFormat::Tiff, &picture, 0},
      // The name's extension does not count: the readers decide.
      {"looks-like.gif", platform::ImageFormat::Bmp, &picture, 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(platform::SaveImage(c.format, Path(c.name), *c.image, c.format == platform::ImageFormat::Jpeg   ? 95
                                     : c.format == platform::ImageFormat::Tiff ? 1
                                                                               : 0),
              platform::ImageStatus::Ok)
        << c.name;
    const ViewedPicture viewed = LoadViewedPicture(Path(c.name));
    ASSERT_EQ(viewed.status, platform::ImageStatus::Ok) << c.name;
    const QImage shown = ToQImage(viewed.image);
    ASSERT_EQ(shown.size(), QSize(40, 24)) << c.name;
    for (const QPoint at : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 23), QPoint(39, 23), QPoint(20, 12)}) {
      const uint8_t* bgr = picture.RowFromTop(at.y()) + at.x() * 3;
      const QRgb got = shown.pixel(at);
      EXPECT_LE(std::abs(qRed(got) - bgr[2]) + std::abs(qGreen(got) - bgr[1]) + std::abs(qBlue(got) - bgr[0]),
                c.tolerance * 3)
          << c.name << " at " << at.x() << "," << at.y();
    }
    EXPECT_TRUE(ViewImageFile(frontEnd_, Path(c.name))) << c.name;
  }
  ImageViewer window(frontEnd_, Path("p.bmp"), ToQImage(LoadViewedPicture(Path("p.bmp")).image));
  EXPECT_EQ(window.windowTitle().toStdString(), "View graphics file: p.bmp");
  EXPECT_EQ(window.size(), QSize(50, 34));

  Write(Path("notes.txt"), "just some text, no picture at all\n");
  EXPECT_EQ(LoadViewedPicture(Path("notes.txt")).status, platform::ImageStatus::WrongFormat);
  EXPECT_FALSE(ViewImageFile(frontEnd_, Path("notes.txt")));
  EXPECT_FALSE(ViewImageFile(frontEnd_, Path("missing.bmp")));
}

TEST_F(Viewer, APictureTooLargeToShowIsRefusedBeforeAnythingIsAllocated) {
  // A run-length BMP of 6000 x 6000 pixels in a few bytes.
  std::vector<uint8_t> file = {'B', 'M'};
  const auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  const auto put16 = [&](uint16_t v) {
    file.push_back(static_cast<uint8_t>(v));
    file.push_back(static_cast<uint8_t>(v >> 8));
  };
  put32(14 + 40 + 1024 + 2);
  put32(0);
  put32(14 + 40 + 1024);
  put32(40);
  put32(6000);
  put32(6000);
  put16(1);
  put16(8);
  put32(1);  // run-length coded
  for (int i = 0; i < 5; ++i) put32(0);
  file.resize(file.size() + 1024, 0);
  file.push_back(0);
  file.push_back(1);  // the end of the picture
  Write(Path("huge.bmp"), std::string(file.begin(), file.end()));
  EXPECT_EQ(LoadViewedPicture(Path("huge.bmp")).status, platform::ImageStatus::OutOfMemory);
  EXPECT_FALSE(ViewImageFile(frontEnd_, Path("huge.bmp")));
}

TEST_F(Editor, NamesGetTheBatchExtensionAndKeepTheirCase) {
  Write(Path("Upper.SBT"), "");
  struct Case {
    std::string typed, expected;
  } cases[] = {
      {"", ""},
      {"\"My Batch\"", Path("My Batch.sbt")},
      {"Upper", Path("Upper.SBT")},
      {"Notes.TXT", Path("Notes.TXT")},
      {"/Abs/Dir/Run", "/Abs/Dir/Run.sbt"},
  };
  for (const Case& c : cases) EXPECT_EQ(EditorFileName(frontEnd_, c.typed), c.expected) << c.typed;
}

TEST_F(Editor, FindWrapsOnceAndGotoStopsAtTheLastLine) {
  const QString text = QStringLiteral("Alpha beta\ngamma BETA\nend");
  struct Find {
    const char* needle;
    qsizetype from, expected;
  } finds[] = {{"beta", 0, 6}, {"beta", 6, 17}, {"beta", 17, 6}, {"ALPHA", 3, 0}, {"zeta", 0, -1}, {"", 0, -1}};
  for (const Find& f : finds) EXPECT_EQ(FindTextFrom(text, QString::fromUtf8(f.needle), f.from), f.expected) << f.needle;
  struct Goto {
    int line;
    std::optional<qsizetype> expected;
  } gotos[] = {{1, 10}, {2, 21}, {3, 25}, {4, std::nullopt}, {0, std::nullopt}, {-2, std::nullopt}};
  for (const Goto& g : gotos) EXPECT_EQ(LineEndPosition(text, g.line), g.expected) << g.line;
}

TEST_F(Editor, SavesWhatItLoadedByteForByteAndNeverDropsAnUnsavedText) {
  const std::string latin = std::string("echo caf") + '\xE9' + "\r\nrem\n";
  Write(Path("Old.sbt"), latin);
  platform::ScriptedDialogs dialogs;
  Teditform editor(frontEnd_, Path("Old.sbt"));
  EXPECT_EQ(editor.windowTitle().toStdString(), "Vantrel Text Editor: " + Path("Old.sbt"));
  EXPECT_FALSE(editor.modified());
  editor.memo()->appendPlainText("rem more");
  EXPECT_TRUE(editor.modified());
  ASSERT_TRUE(editor.Save());
  EXPECT_EQ(testsupport::ReadFileText(Path("Old.sbt")), std::string("echo caf") + '\xE9' + "\nrem\n\nrem more");

  // Save As keeps the name as typed.
  frontEnd_.dialogs.askOutputName = [&](const OutputNameRequest& request) {
    EXPECT_EQ(request.caption, "Save As Filename:");
    return Path("Kept Case.SBT");
  };
  ASSERT_TRUE(editor.SaveAs());
  EXPECT_EQ(editor.fileName(), Path("Kept Case.SBT"));

  // A file that cannot be written keeps the text and the editor open.
  editor.LoadFile(Path("no dir/new.sbt"));
  EXPECT_EQ(editor.memo()->toPlainText().toStdString(), "");
  editor.memo()->insertPlainText("keep me");
  dialogs.Answer(platform::DialogAnswer::Yes);  // save the changes
  EXPECT_FALSE(editor.MayDiscard());
  ASSERT_GE(dialogs.asked().size(), 2u);
  EXPECT_EQ(dialogs.asked()[0].text, "Save changes to " + Path("no dir/new.sbt") + " ?");
  EXPECT_EQ(dialogs.asked()[1].text, "Error, could not save file.");
  EXPECT_TRUE(editor.modified());
  dialogs.Answer(platform::DialogAnswer::Cancel);
  editor.NewFile();
  EXPECT_EQ(editor.memo()->toPlainText().toStdString(), "keep me");
  dialogs.Answer(platform::DialogAnswer::No);
  editor.NewFile();
  EXPECT_EQ(editor.windowTitle().toStdString(), "Vantrel Text Editor: Untitled");
  EXPECT_FALSE(std::filesystem::exists(Path("no dir")));

  // Find Text with nothing found says so.
  frontEnd_.dialogs.askText = [](const TextRequest& request) -> std::optional<std::string> {
    EXPECT_EQ(request.helpContext, 1098);
    return "absent";
  };
  editor.FindText();
  EXPECT_EQ(dialogs.asked().back().text, "Find text was not found.");
}

}  // namespace
