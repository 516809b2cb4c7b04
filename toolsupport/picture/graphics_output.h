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
#include "toolsupport/picture/flic_writer.h"
#include "platform/image/image.h"
#include "platform/system/file_replacement.h"
#include "platform/system/file_set.h"

enum GraphicsOutputKind { kOutputFlc = 0, kOutputBmp, kOutputJpg, kOutputTga, kOutputTif, kOutputPcx, kOutputGif };

// Flags of CreateGraphicsOutput.
inline constexpr int kOutputQuietUnknownType = 1;  // an unknown extension gives no message
inline constexpr int kOutputOverwrite = 2;         // overwrite without asking

struct GraphicsOutput {
  GraphicsOutput() = default;
  // An output destroyed without CloseGraphicsOutput is discarded: no file it was to replace
  // changes, and every temporary file it made goes.
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
  bool error = false;      // a frame could not be written: the caller stops
  std::string errorText;   // and why
  FlicWriter flic;
  std::vector<uint8_t> flicFrame;  // rows of the flic's width when the source pitch differs
  platform::Image image;
  // Every file written, under a temporary name until the output is closed.
  std::vector<platform::FileReplacement> written;
  bool finished = false;  // the last writes are done
  bool closed = false;
};

// Asked whether an existing file may be overwritten; true when it may.
using OverwriteQuestion = std::function<bool(const std::string& fileName)>;

// The output, or why not: an error, no message for an unknown type with
// kOutputQuietUnknownType, or a stop when `mayOverwrite` refused (it is asked unless the
// flags say kOutputOverwrite). An output any of whose files is one of the run's `inputs` is
// refused before anything is asked or written. The frame rate follows the video-header
// convention (negative: 10 microseconds).
toolsupport::Result<std::unique_ptr<GraphicsOutput>> CreateGraphicsOutput(
    int flags, const OverwriteQuestion& mayOverwrite, int32_t frameRate, int sourcePitch, int height, int width,
    int32_t frameCount, const std::string& name, const platform::FileSet& inputs = {});

// Writes one frame: `palette` 256 x R, G, B; `pixels` height rows of the source pitch.
// Failures set the error flag and the text of why.
void WriteGraphicsFrame(GraphicsOutput& output, const uint8_t* palette, const uint8_t* pixels);

// Writes what completes the output (a flic's ring frame and header) without putting anything in
// place yet, so that a run can still stop; false, with the reason in `error`, when the writes
// failed. Once is enough: CloseGraphicsOutput does it when it has not been done.
bool FinishGraphicsOutput(GraphicsOutput& output, std::string* error = nullptr);

// Finishes and frees the output: its files take the places of the names they were written for.
// Returns the bytes written, or -1 (with the reason in `error` when given) when the last writes
// of a flic (its ring frame and header) failed or a file could not be put in place: the names
// not yet replaced then keep what they held.
int64_t CloseGraphicsOutput(std::unique_ptr<GraphicsOutput> output, std::string* error = nullptr);
