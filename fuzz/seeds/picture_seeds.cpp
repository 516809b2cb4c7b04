// Pictures saved through the image layer in every format and the variants it writes.
#include "fuzz/seeds/seed_folder.h"
#include "platform/image/image.h"

namespace fuzzseeds {
namespace {

using platform::ImageFormat;

platform::Image MakeImage(int32_t width, int32_t height, int32_t bits) {
  platform::Image image;
  if (platform::AllocateImage(image, width, height, bits) != platform::ImageStatus::Ok) CannotMake("an image");
  const int32_t colours = bits >= 8 ? 256 : 1 << bits;
  for (int32_t i = 0; i < colours && bits <= 8; ++i) {
    image.palette[4 * i] = static_cast<uint8_t>(i * 3);
    image.palette[4 * i + 1] = static_cast<uint8_t>(255 - i);
    image.palette[4 * i + 2] = static_cast<uint8_t>(i * 7);
  }
  image.coloursUsed = bits <= 8 ? colours : 0;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = image.RowFromTop(y);
    for (int32_t b = 0; b < image.pitch; ++b) row[b] = static_cast<uint8_t>(b * 13 + y * 29);
  }
  return image;
}

}  // namespace

void WritePictureSeeds(const SeedFolders& folders) {
  const platform::Image paletted = MakeImage(13, 7, 8);
  const platform::Image trueColour = MakeImage(9, 5, 24);
  const struct {
    const char* target;
    const char* name;
    ImageFormat format;
    const platform::Image* image;
    int option;
  } pictures[] = {
      {"bmp", "paletted.bmp", ImageFormat::Bmp, &paletted, 0},
      {"bmp", "true_colour.bmp", ImageFormat::Bmp, &trueColour, 0},
      {"pcx", "paletted.pcx", ImageFormat::Pcx, &paletted, 0},
      {"pcx", "true_colour.pcx", ImageFormat::Pcx, &trueColour, 0},
      {"tga", "paletted.tga", ImageFormat::Tga, &paletted, 0},
      {"tga", "paletted_runs.tga", ImageFormat::Tga, &paletted, 1},
      {"tga", "true_colour_runs.tga", ImageFormat::Tga, &trueColour, 1},
      {"gif", "paletted.gif", ImageFormat::Gif, &paletted, 0},
      {"jpeg", "true_colour.jpg", ImageFormat::Jpeg, &trueColour, 90},
      {"jpeg", "paletted.jpg", ImageFormat::Jpeg, &paletted, 40},
      {"tiff", "paletted.tif", ImageFormat::Tiff, &paletted, 1},
      {"tiff", "paletted_lzw.tif", ImageFormat::Tiff, &paletted, 5},
      {"tiff", "true_colour_packbits.tif", ImageFormat::Tiff, &trueColour, 32773},
  };
  for (const auto& each : pictures) {
    const std::string path = folders.Path(each.target, each.name);
    if (platform::SaveImage(each.format, path, *each.image, each.option) != platform::ImageStatus::Ok) {
      CannotMake(path);
    }
  }
  for (const int32_t bits : {1, 4}) {
    const std::string path = folders.Path("bmp", "depth" + std::to_string(bits) + ".bmp");
    if (platform::SaveImage(ImageFormat::Bmp, path, MakeImage(11, 3, bits), 0) != platform::ImageStatus::Ok) {
      CannotMake(path);
    }
  }
}

}  // namespace fuzzseeds
