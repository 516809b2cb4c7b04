#include "toolsupport/picture/image_calls.h"

#include <gtest/gtest.h>

#include "toolsupport/tests/media_test_files.h"

namespace toolsupport {
namespace {

// The arguments the graphics output passes to each save call, read back through
// the matching information and load calls.
TEST(ImageCalls, SaveCallsWithTheToolsArgumentsReadBack) {
  testing_files::ScratchDirectory dir;
  ImageRecord image;
  ASSERT_EQ(allocimage(&image, 10, 6, 8), 0);
  for (int i = 0; i < 256; ++i) image.palette[i * 4 + 1] = static_cast<uint8_t>(i);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 10; ++x) image.RowFromTop(y)[x] = static_cast<uint8_t>(x * 6 + y);
  }
  struct Call {
    const char* file;
    int (*save)(const char*, const ImageRecord*);
    int (*info)(const char*, ImageInfoRecord*);
    int (*load)(const char*, ImageRecord*);
  };
  const Call calls[] = {
      {"a.bmp", [](const char* n, const ImageRecord* i) { return savebmp(n, i, 0); }, bmpinfo, loadbmp},
      {"a.tga", [](const char* n, const ImageRecord* i) { return savetga(n, i, 1); }, tgainfo, loadtga},
      {"a.tif", [](const char* n, const ImageRecord* i) { return savetif(n, i, 1); }, tiffinfo, loadtif},
      {"a.pcx", savepcx, pcxinfo, loadpcx},
      {"a.gif", savegif, gifinfo, loadgif},
  };
  for (const Call& call : calls) {
    std::string path = dir / call.file;
    ASSERT_EQ(call.save(path.c_str(), &image), 0) << call.file;
    ImageInfoRecord info;
    ASSERT_EQ(call.info(path.c_str(), &info), 0) << call.file;
    ImageRecord loaded;
    ASSERT_EQ(allocimage(&loaded, info.width, info.height, info.bitsPerPixel), 0);
    ASSERT_EQ(call.load(path.c_str(), &loaded), 0) << call.file;
    EXPECT_EQ(loaded.pixels, image.pixels) << call.file;
    EXPECT_EQ(loaded.palette[77 * 4 + 1], 77) << call.file;
    freeimage(&loaded);
    EXPECT_TRUE(loaded.pixels.empty());
  }
  // JPEG with quality 100 takes the 8-bit image through its palette.
  std::string jpeg = dir / "a.jpg";
  ASSERT_EQ(savejpg(jpeg.c_str(), &image, 100), 0);
  ImageInfoRecord info;
  ASSERT_EQ(jpeginfo(jpeg.c_str(), &info), 0);
  EXPECT_EQ(info.bitsPerPixel, 24);
  EXPECT_NE(savejpg(jpeg.c_str(), &image, 0), 0);
  EXPECT_NE(bmpinfo(jpeg.c_str(), &info), 0);
  EXPECT_NE(tgainfo(jpeg.c_str(), &info), 0);
}

}  // namespace
}  // namespace toolsupport
