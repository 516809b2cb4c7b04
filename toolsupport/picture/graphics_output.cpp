#include "toolsupport/picture/graphics_output.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "toolsupport/base/file_errors.h"
#include "toolsupport/base/paths.h"

namespace {

bool KindFromExtension(const std::string& name, GraphicsOutputKind& kind) {
  size_t dot = FindExtension(name);
  if (dot == std::string::npos) {
    kind = kOutputFlc;
    return true;
  }
  std::string ext = name.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const struct {
    const char* ext;
    GraphicsOutputKind kind;
  } kKinds[] = {{".FLC", kOutputFlc}, {".BMP", kOutputBmp}, {".JPG", kOutputJpg}, {".TGA", kOutputTga},
                {".TIF", kOutputTif}, {".PCX", kOutputPcx}, {".GIF", kOutputGif}};
  for (const auto& k : kKinds) {
    if (ext == k.ext) {
      kind = k.kind;
      return true;
    }
  }
  return false;
}

// Digits of the series number: enough for the frame count, none for a single picture.
int SeriesDigits(int32_t frameCount) {
  if (frameCount >= 10000) return 5;
  if (frameCount >= 1000) return 4;
  if (frameCount >= 100) return 3;
  if (frameCount >= 10) return 2;
  if (frameCount >= 2) return 1;
  return 0;
}

std::string SeriesFileName(const GraphicsOutput& out, int number) {
  if (out.seriesDigits == 0) return out.name;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%0*d", out.seriesDigits, number);
  return out.seriesPrefix + digits + out.seriesExtension;
}

std::string NameAndExtension(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

platform::ImageFormat FormatOf(GraphicsOutputKind kind) {
  switch (kind) {
    case kOutputJpg: return platform::ImageFormat::Jpeg;
    case kOutputTga: return platform::ImageFormat::Tga;
    case kOutputTif: return platform::ImageFormat::Tiff;
    case kOutputPcx: return platform::ImageFormat::Pcx;
    case kOutputGif: return platform::ImageFormat::Gif;
    default: return platform::ImageFormat::Bmp;
  }
}

// The option each format is saved with: BMP uncompressed, JPEG at quality 100, TGA with
// run-length packets, TIFF uncompressed.
int SaveOption(GraphicsOutputKind kind) {
  switch (kind) {
    case kOutputJpg: return 100;
    case kOutputTga:
    case kOutputTif: return 1;
    default: return 0;
  }
}

void WriteSeriesFrame(GraphicsOutput& out, const uint8_t* palette, const uint8_t* pixels) {
  std::string fileName = SeriesFileName(out, out.nextNumber++);
  platform::Image& image = out.image;
  for (int y = 0; y < out.height; ++y) {
    const uint8_t* in = pixels + static_cast<ptrdiff_t>(y) * out.sourcePitch;
    uint8_t* row = image.RowFromTop(y);
    if (out.bitsPerPixel == 8) {
      std::memcpy(row, in, out.width);
    } else {
      for (int x = 0; x < out.width; ++x, row += 3) {
        const uint8_t* rgb = palette + in[x] * 3;
        row[0] = rgb[2], row[1] = rgb[1], row[2] = rgb[0];
      }
    }
  }
  if (out.bitsPerPixel == 8) {
    for (int i = 0; i < 256; ++i) {
      image.palette[i * 4] = palette[i * 3 + 2];
      image.palette[i * 4 + 1] = palette[i * 3 + 1];
      image.palette[i * 4 + 2] = palette[i * 3];
      image.palette[i * 4 + 3] = 0;
    }
    image.coloursUsed = 256;
  }
  platform::FileReplacement file;
  if (const int error = file.Begin(fileName); error != 0) {
    out.error = true;
    out.errorText = toolsupport::FileErrorText("Error creating", fileName, error);
    return;
  }
  errno = 0;
  if (platform::SaveImage(FormatOf(out.kind), file.Path(), image, SaveOption(out.kind)) != platform::ImageStatus::Ok) {
    out.error = true;
    out.errorText = toolsupport::WriteErrorText(errno);
    return;
  }
  out.totalSize += static_cast<int64_t>(GetFileLength(file.Path()));
  out.written.push_back(std::move(file));
  if (out.firstName.empty()) {
    out.firstName = fileName;
    out.description = NameAndExtension(fileName);
  } else {
    out.description = NameAndExtension(out.firstName) + " to " + NameAndExtension(fileName);
  }
}

}  // namespace

GraphicsOutput::~GraphicsOutput() {
  if (closed) return;
  if (kind == kOutputFlc && !finished) FlicWriterFree(flic);
  platform::FreeImage(image);
}

toolsupport::Result<std::unique_ptr<GraphicsOutput>> CreateGraphicsOutput(
    int flags, const OverwriteQuestion& mayOverwrite, int32_t frameRate, int sourcePitch, int height, int width,
    int32_t frameCount, const std::string& name, const platform::FileSet& inputs) {
  using toolsupport::Status;
  auto out = std::make_unique<GraphicsOutput>();
  if (!KindFromExtension(name, out->kind)) {
    return Status::Error(flags & kOutputQuietUnknownType ? "" : "Unsupported output file type.");
  }
  auto refused = [&](const std::string& fileName) {
    return !(flags & kOutputOverwrite) && mayOverwrite && !mayOverwrite(fileName);
  };
  const Status sameFile = Status::Error(kSameFileMessage);
  out->name = name;
  out->width = width;
  out->height = height;
  out->sourcePitch = sourcePitch;
  out->bitsPerPixel = out->kind == kOutputTga ? 24 : 8;

  if (out->kind == kOutputFlc) {
    std::string fileName = name;
    if (FindExtension(fileName) == std::string::npos) fileName += ".flc";
    if (inputs.Holds(fileName)) return sameFile;
    if (refused(fileName)) return Status::Stopped();
    FlicWriterInit(out->flic);
    platform::FileReplacement file;
    const int error = file.Begin(fileName);
    if (error != 0) return Status::Error(toolsupport::FileErrorText("Error creating the output flic.", fileName, error));
    if (sourcePitch < 0 || !CreateFlic(out->flic, file.Path(), (width + 3) & ~3, height, frameRate)) {
      return Status::Error("Error creating the output flic.");
    }
    out->name = out->description = out->firstName = fileName;
    out->written.push_back(std::move(file));
    return out;
  }

  if (sourcePitch < width ||
      platform::AllocateImage(out->image, width, height, out->bitsPerPixel) != platform::ImageStatus::Ok) {
    return Status::Error("Out of memory.");
  }
  out->seriesDigits = SeriesDigits(frameCount);
  size_t dot = FindExtension(name);
  out->seriesPrefix = name.substr(0, dot);
  out->seriesExtension = name.substr(dot);
  out->description = NameAndExtension(name);
  for (int32_t number = 0; !inputs.Empty() && number < std::max(frameCount, 1); ++number) {
    if (inputs.Holds(SeriesFileName(*out, number))) return sameFile;
  }
  std::string first = SeriesFileName(*out, 0);
  if (refused(first)) return Status::Stopped();
  return out;
}

void WriteGraphicsFrame(GraphicsOutput& out, const uint8_t* palette, const uint8_t* pixels) {
  if (out.kind != kOutputFlc) {
    WriteSeriesFrame(out, palette, pixels);
    return;
  }
  const int flicWidth = out.flic.width;
  const uint8_t* frame = pixels;
  if (out.sourcePitch != flicWidth) {
    out.flicFrame.assign(static_cast<size_t>(flicWidth) * out.height, 0);
    const int copy = std::min(out.sourcePitch, flicWidth);
    for (int y = 0; y < out.height; ++y)
      std::memcpy(&out.flicFrame[static_cast<size_t>(y) * flicWidth], pixels + static_cast<ptrdiff_t>(y) * out.sourcePitch,
                  copy);
    frame = out.flicFrame.data();
  }
  if (!WriteFlicFrame(out.flic, palette, frame)) {
    out.error = true;
    out.errorText = toolsupport::WriteErrorText(out.flic.file.WriteErrorNumber());
  }
}

bool FinishGraphicsOutput(GraphicsOutput& out, std::string* error) {
  if (!out.finished && out.kind == kOutputFlc) {
    out.totalSize = CloseFlic(out.flic);
    if (out.flic.error) {
      out.totalSize = -1;
      out.errorText = toolsupport::WriteErrorText(out.flic.file.WriteErrorNumber());
    }
    FlicWriterFree(out.flic);
  }
  out.finished = true;
  if (error != nullptr) *error = out.totalSize < 0 ? out.errorText : std::string();
  return out.totalSize >= 0;
}

int64_t CloseGraphicsOutput(std::unique_ptr<GraphicsOutput> out, std::string* error) {
  if (!out) return 0;
  std::string why;
  FinishGraphicsOutput(*out, &why);
  platform::FreeImage(out->image);
  out->closed = true;
  // A flic whose ring frame or header could not be written is unusable: it must not replace
  // anything.
  for (platform::FileReplacement& file : out->written) {
    if (out->totalSize < 0) break;
    if (const int failed = file.Commit(); failed != 0) {
      out->totalSize = -1;
      why = toolsupport::FileErrorText("Error writing", file.Target(), failed);
    }
  }
  if (error != nullptr) *error = why;
  return out->totalSize;
}
