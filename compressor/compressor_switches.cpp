#include "compressor/compressor_switches.h"

#include "toolsupport/picture/graphics_source.h"
#include "toolsupport/base/switches.h"

namespace compressor {

const char* const kUsageSyntax =
    "Syntax:  Vant <Input Graphics File> <VantName>[.VNT] [/Switches]\r\n"
    "\r\n"
    "The input can be a flic (FLI, FLC), an AVI, a Vantrel file (VNT), a picture (BMP, GIF, "
    "TIF, JPG, PCX, TGA), a raw frame file or a WAV file (a blank video with its sound).\r\n"
    "A numbered series of pictures is given as in Exam???.BMP*1-149: one '?' for each digit, "
    "then '*', the first and the last number.\r\n"
    "A list file (.LST) names one input per line.\r\n"
    "\r\n"
    "The output is a Vantrel file (.VNT, added when the name has no extension), or, chosen by "
    "its extension, a flic (.FLC) or a numbered series of BMP, JPG, TGA, TIF, PCX or GIF "
    "pictures.";

const char* const kUsageSwitches1 =
    "Switches (1 of 2):\r\n"
    "/J# - Specify minimum key frame frequency.\r\n"
    "/M  - If compressing to a non-Vant file, then mixed in original frames.\r\n"
    "/Z# - Height compression: 1=interlace or 2=double.\r\n"
    "/A# - Auto key frame at what percentage of change (95% default).\r\n"
    "/N# - Specify the compression ratio for regular frames:\r\n"
    "       1000 and  up: Data rate to compress to (in bytes per second).\r\n"
    "          0 to  100: Compress under this % of error.\r\n"
    "         -1 to -200: Compress to this % of the original file size.\r\n"
    "       -401 to -600: Compress to this % of each frame's size.\r\n"
    "/K# - Specify the compression ratio for key frames (as above).\r\n"
    "/V  - Compress every other frame beginning with frame 2.\r\n"
    "/F# - Override the output frame rate.\r\n"
    "/G  - Create a ring frame for faster looping playback.\r\n"
    "/@filename - Use hint file for frame specific compression options.  Format:\r\n"
    "       StartFrame  EndFrame  DataRate  KeyFrame(0/1)\r\n"
    "/O  - Automatically overwrite the output file.";

const std::string kUsageSwitches2 =
    std::string("Switches (2 of 2):\r\n") + toolsupport::kPictureInputSwitchLines + "\r\n"
    "/L# - Sound compression lossy level: 0 to 9 (lossless to very lossy).\r\n"
    "      Use -1 to not process the sound data in the input file.\r\n"
    "/R# - Output sound rate (11025, 22050, 44100).\r\n"
    "/B# - Output sound bits (8 or 16).\r\n"
    "/C# - Output sound channels (1=mono, 2=stereo).";

std::string CompressorUsageText() {
  return std::string(kUsageSyntax) + "\r\n\r\n" + kUsageSwitches1 + "\r\n\r\n" + kUsageSwitches2;
}

bool IsAcceptedTarget(int32_t value) {
  return (value >= -600 && value <= -401) || (value >= -200 && value <= 100) || value >= 1000;
}

bool ParseCompressorSwitches(std::string& text, CompressorSwitches& s) {
  s = CompressorSwitches{};
  const int32_t interval = GetNumberSwitch(0, 'J', text);
  // 0 forces no key frames; so does a negative interval, which no frame distance reaches.
  s.keyInterval = interval <= 0 ? 0x10000000u : static_cast<uint32_t>(interval);
  s.mixOriginals = GetFlagSwitch('M', text);
  s.heightScaling = static_cast<uint32_t>(GetNumberSwitch(0, 'Z', text));
  if (s.heightScaling > 2) s.heightScaling = 0;
  s.autoKeyPercent = static_cast<uint32_t>(GetNumberSwitch(95, 'A', text));
  if (s.autoKeyPercent > 100) s.autoKeyPercent = 100;
  s.regularTarget = GetNumberSwitch(240000, 'N', text);
  s.keyTarget = GetNumberSwitch(20, 'K', text);
  s.everyOther = GetFlagSwitch('V', text);
  s.frameRate = GetNumberSwitch(0, 'F', text);
  s.ringFrame = GetFlagSwitch('G', text);
  std::string hint;
  if (GetTextSwitch("", hint, '@', text) && !hint.empty() && hint[0] == '*') {
    s.deleteHintFile = true;
    hint.erase(0, 1);
  }
  s.hintFile = hint;
  s.overwrite = GetFlagSwitch('O', text);
  return IsAcceptedTarget(s.regularTarget) && IsAcceptedTarget(s.keyTarget);
}

}  // namespace compressor
