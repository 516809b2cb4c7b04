#pragma once
// The output of the graphics processor and of the compressor when it writes no video: the
// 8-bit frames of a picture input go into an FLC animation or into a numbered series of
// pictures (BMP, JPG, TGA, TIF, PCX, GIF), chosen by the output name's extension.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolsupport/base/status.h"
#include "toolsupport/colour/colour_reduce.h"
#include "toolsupport/io/output_file.h"
#include "toolsupport/picture/flic_writer.h"
#include "platform/image/image.h"

enum GraphicsOutputKind { kOutputFlc = 0, kOutputBmp, kOutputJpg, kOutputTga, kOutputTif, kOutputPcx, kOutputGif };

// Flags of CreateGraphicsOutput.
inline constexpr int kOutputQuietUnknownType = 1;  // an unknown extension gives no message
inline constexpr int kOutputOverwrite = 2;         // overwrite without asking

struct GraphicsOutput {
  GraphicsOutput() = default;
  // An output destroyed without CloseGraphicsOutput is discarded: every file it made goes.
  ~GraphicsOutput();
  GraphicsOutput(const GraphicsOutput&) = delete;
  GraphicsOutput& operator=(const GraphicsOutput&) = delete;

  // The output name; for a series the parts around the number and its least digit count.
  std::string name;
  std::string seriesPrefix, seriesExtension;
  int seriesDigits = 0;  // 0: one picture, written under the name as given
  std::string firstName;
  std::string description;  // the name, or "first to last" for a series
  int width = 0, height = 0;
  int sourcePitch = 0;
  int nextNumber = 0;
  GraphicsOutputKind kind = kOutputFlc;
  int bitsPerPixel = 8;
  int64_t totalSize = 0;
  bool error = false;  // a frame could not be written: the caller stops
  FlicWriter flic;
  std::vector<uint8_t> flicFrame;  // rows of the flic's width when the source pitch differs
  platform::Image image;
  std::vector<toolsupport::OutputFile> written;  // every file made, removed unless closed
  bool closed = false;
};

// Asked whether an existing file may be overwritten; true when it may.
using OverwriteQuestion = std::function<bool(const std::string& fileName)>;

// The output, or why not: an error, no message for an unknown type with
// kOutputQuietUnknownType, or a stop when `mayOverwrite` refused (it is asked unless the
// flags say kOutputOverwrite). The frame rate follows the video-header convention
// (negative: 10 microseconds).
toolsupport::Result<std::unique_ptr<GraphicsOutput>> CreateGraphicsOutput(
    int flags, const OverwriteQuestion& mayOverwrite, int32_t frameRate, int sourcePitch, int height, int width,
    int32_t frameCount, const std::string& name);

// Writes one frame: `palette` 256 x R, G, B; `pixels` height rows of the source pitch.
// Failures set the error flag.
void WriteGraphicsFrame(GraphicsOutput& output, const uint8_t* palette, const uint8_t* pixels);

// Finishes and frees the output, keeping its files; returns the bytes written, or -1 when the
// last writes of a flic (its ring frame and header) failed: the incomplete file is then removed.
int64_t CloseGraphicsOutput(std::unique_ptr<GraphicsOutput> output);
