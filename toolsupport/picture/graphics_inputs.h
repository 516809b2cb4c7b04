#pragma once
// The inputs behind a GraphicsSource, one per kind. Each opener returns none when
// the file is not of its kind (the caller reports the failure), else an input with
// its description filled.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/io/list_file.h"

namespace toolsupport {

// One frame as an input delivers it: the whole input picture.
struct InputFrame {
  const uint8_t* pixels = nullptr;  // top-left pixel
  ptrdiff_t pitch = 0;              // signed step between rows
  int32_t width = 0, height = 0;
  int32_t bitsPerPixel = 8;  // 8, 16 (5-5-5), 24 (B, G, R) or 32 (B, G, R, x)
  int64_t dataSize = 0;      // bytes of input behind the frame
};

struct InputDescription {
  std::string name;  // as opened
  GraphicsKind kind = kGraphicsNone;
  int32_t width = 0, height = 0;
  int32_t frames = 0;
  int32_t frameRate = 100;
  int32_t bitsPerPixel = 8;  // 8 or 24
  int64_t fileSize = -1;     // -1: the size of the file named
  platform::FileSet files;   // files read besides the one named (a list's entries)
  std::string refusal;       // why a file of a known kind cannot be taken, when it is known
};

class FrameInput {
 public:
  virtual ~FrameInput() = default;
  // Reads the next frame; paletted frames update `palette` (R, G, B). False when
  // the frame could not be read whole, with the reason in `error`; `frame` then
  // still describes a frame.
  virtual bool Read(InputFrame& frame, std::array<uint8_t, 768>& palette) = 0;
  // Passes over `count` frames before the first read; false when asked to stop.
  virtual bool Skip(int32_t count, const Progress& progress, std::array<uint8_t, 768>& palette);
  virtual void Rewind() = 0;

  // The input's own message for the last frame that could not be read.
  std::string error;

 protected:
  // Sets `error` to "Error reading: <name> (<reason>)." and returns false.
  bool ReadFailed(const std::string& name, const std::string& reason);
  // The reason of a video that holds fewer frames than its header announces.
  static std::string EndsEarly(int64_t held, int64_t announced);
};

// The name with ".ext" added when it has none: spelled as given when such a file
// exists, else in lower case, else in upper case.
std::string WithDefaultExtension(const std::string& name, const char* extension);
bool HasExtensionOf(const std::string& name, const char* extension);  // case ignored

std::unique_ptr<FrameInput> OpenWavInput(const std::string& name, InputDescription& description);
std::unique_ptr<FrameInput> OpenFlicInput(const std::string& name, InputDescription& description);
std::unique_ptr<FrameInput> OpenVntInput(const std::string& name, InputDescription& description);
std::unique_ptr<FrameInput> OpenPictureInput(const std::string& name, InputDescription& description);
std::unique_ptr<FrameInput> OpenAviInput(const std::string& name, InputDescription& description);
std::unique_ptr<FrameInput> OpenRawInput(const std::string& name, InputDescription& description);
// A list file or a series; entries are opened through OpenGraphicsInput, and those that
// cannot be are skipped with a status line. "No files in the list file." when no entry
// gives a frame.
Result<std::unique_ptr<FrameInput>> OpenListInput(const Progress& progress, ListWalker walker,
                                                  InputDescription& description);

}  // namespace toolsupport
