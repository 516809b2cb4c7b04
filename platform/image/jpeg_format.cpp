// JPEG files through libjpeg-turbo. Grey pictures load as 8 bits with a grey
// palette, colour ones (YCbCr, RGB, CMYK) as 24 bits.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <cstring>
#include <memory>

#include "platform/image/image_codec.h"

namespace platform::image_codec {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return.
struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void OnJpegMessage(j_common_ptr) {}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

ImageStatus CheckSignature(const std::string& path) {
  std::vector<uint8_t> head;
  uint64_t fileSize = 0;
  ImageStatus status = ReadFileBytes(path, head, fileSize, 3);
  if (status != ImageStatus::Ok) return status;
  if (head.size() < 3 || head[0] != 0xFF || head[1] != 0xD8 || head[2] != 0xFF) return ImageStatus::WrongFormat;
  return ImageStatus::Ok;
}

// Reads the header and, when `picture` is given, the pixels. No object with a
// destructor is made between setjmp and the end of the decoding.
ImageStatus Decode(std::FILE* file, ImageInfo& info, Picture* picture) {
  jpeg_decompress_struct jpeg;
  JpegError error;
  jpeg.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.output_message = OnJpegMessage;
  std::vector<uint8_t> cmykRow;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&jpeg);
    return ImageStatus::Corrupt;
  }
  jpeg_create_decompress(&jpeg);
  jpeg_stdio_src(&jpeg, file);
  if (jpeg_read_header(&jpeg, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&jpeg);
    return ImageStatus::Corrupt;
  }
  const bool grey = jpeg.num_components == 1;
  const bool cmyk = jpeg.jpeg_color_space == JCS_CMYK || jpeg.jpeg_color_space == JCS_YCCK;
  if (!SizeAcceptable(jpeg.image_width, jpeg.image_height, 24)) {
    AnnounceSize(info, jpeg.image_width, jpeg.image_height);
    jpeg_destroy_decompress(&jpeg);
    return ImageStatus::OutOfMemory;
  }
  info.width = static_cast<int32_t>(jpeg.image_width);
  info.height = static_cast<int32_t>(jpeg.image_height);
  info.bitsPerPixel = grey ? 8 : 24;
  if (!picture) {
    jpeg_destroy_decompress(&jpeg);
    return ImageStatus::Ok;
  }
  jpeg.out_color_space = grey ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_EXT_BGR);
  if (picture->Allocate(info.width, info.height, info.bitsPerPixel) != ImageStatus::Ok) {
    jpeg_destroy_decompress(&jpeg);
    return ImageStatus::OutOfMemory;
  }
  if (cmyk) cmykRow.resize(static_cast<size_t>(info.width) * 4);
  jpeg_start_decompress(&jpeg);
  while (jpeg.output_scanline < jpeg.output_height) {
    uint8_t* row = picture->Row(static_cast<int32_t>(jpeg.output_scanline));
    JSAMPROW target = cmyk ? cmykRow.data() : row;
    jpeg_read_scanlines(&jpeg, &target, 1);
    if (cmyk) {  // stored inverted by most writers
      const bool inverted = jpeg.saw_Adobe_marker;
      for (int32_t x = 0; x < info.width; ++x) {
        int k = cmykRow[x * 4 + 3];
        for (int c = 0; c < 3; ++c) {
          int v = cmykRow[x * 4 + c];
          int value = inverted ? v * k / 255 : (255 - v) * (255 - k) / 255;
          row[x * 3 + 2 - c] = static_cast<uint8_t>(value);
        }
      }
    }
  }
  jpeg_finish_decompress(&jpeg);
  jpeg_destroy_decompress(&jpeg);
  if (grey) {
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c) picture->palette[i * 3 + c] = static_cast<uint8_t>(i);
    }
    picture->paletteSize = 256;
  }
  return ImageStatus::Ok;
}

ImageStatus Encode(std::FILE* file, const Image& image, int quality) {
  jpeg_compress_struct jpeg;
  JpegError error;
  jpeg.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.output_message = OnJpegMessage;
  std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&jpeg);
    return ImageStatus::CannotWrite;
  }
  jpeg_create_compress(&jpeg);
  jpeg_stdio_dest(&jpeg, file);
  jpeg.image_width = static_cast<JDIMENSION>(image.width);
  jpeg.image_height = static_cast<JDIMENSION>(image.height);
  jpeg.input_components = 3;
  jpeg.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&jpeg);
  jpeg_set_quality(&jpeg, quality, TRUE);
  jpeg_start_compress(&jpeg, TRUE);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* in = image.RowFromTop(y);
    if (image.bitsPerPixel == 8) {  // expand through the palette
      for (int32_t x = 0; x < image.width; ++x) std::memcpy(&row[x * 3], &image.palette[in[x] * 4], 3);
    } else {
      std::memcpy(row.data(), in, row.size());
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&jpeg, &line, 1);
  }
  jpeg_finish_compress(&jpeg);
  jpeg_destroy_compress(&jpeg);
  return ImageStatus::Ok;
}

}  // namespace

ImageStatus JpegInfo(const std::string& path, ImageInfo& info) {
  ImageStatus status = CheckSignature(path);
  if (status != ImageStatus::Ok) return status;
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return ImageStatus::CannotOpen;
  return Decode(file.get(), info, nullptr);
}

ImageStatus JpegLoad(const std::string& path, Picture& picture) {
  ImageStatus status = CheckSignature(path);
  if (status != ImageStatus::Ok) return status;
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return ImageStatus::CannotOpen;
  ImageInfo info;
  return Decode(file.get(), info, &picture);
}

ImageStatus JpegSave(const std::string& path, const Image& image, int option) {
  if (option < 1 || option > 100) return ImageStatus::Unsupported;
  if (image.width > JPEG_MAX_DIMENSION || image.height > JPEG_MAX_DIMENSION) return ImageStatus::Unsupported;
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) return ImageStatus::CannotWrite;
  ImageStatus status = Encode(file.get(), image, option);
  bool closed = std::fclose(file.release()) == 0;
  if (status == ImageStatus::Ok && !closed) status = ImageStatus::CannotWrite;
  if (status != ImageStatus::Ok) std::remove(path.c_str());
  return status;
}

}  // namespace platform::image_codec
