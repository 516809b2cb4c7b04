#include "compressor/compressor_main.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "compressor/demo/demo_clip.h"
#include "compressor/compressor_switches.h"
#include "compressor/data_rate.h"
#include "platform/face/dialogs.h"
#include "platform/image/image.h"
#include "platform/system/little_endian.h"
#include "toolsupport/ui/status_window.h"
#include "compressor/tests/stored_video.h"
#include "toolsupport/tests/report_collector.h"
#include "toolsupport/tests/sound_test_files.h"
#include "testsupport/file_contents.h"

namespace compressor {
namespace {

using platform::DialogAnswer;
using platform::DialogIcon;
using testing::TempFolder;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Runs vantcw in this process, without a display, every dialog answered by the script.
class CompressorProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    environment.NoDisplay();
    ResetStatusWindowForTesting();
    clip = folder / "clip.avi";
    ASSERT_TRUE(democlip::WriteAvi(clip, democlip::MakeDemoClip(64, 48, 10, 10, 11025)));
  }
  void TearDown() override { ResetStatusWindowForTesting(); }

  int Run(const std::string& commandText) {
    ResetStatusWindowForTesting();
    return CompressorMain(commandText);
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& request : dialogs.asked()) texts.push_back(request.text);
    return texts;
  }

  EnvironmentGuard environment;
  platform::ScriptedDialogs dialogs;
  TempFolder folder;
  std::string clip;
};

TEST_F(CompressorProgram, CompressesAnAnimationWithItsSound) {
  const std::string out = folder / "clip";  // ".vnt" is added
  ASSERT_EQ(Run(Quoted(clip) + " " + Quoted(out)), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "clip.vnt"}));  // no temporary file left

  testing::StoredVideo video = testing::ReadStoredVideo(out + ".vnt");
  EXPECT_EQ(video.header.width, 64u);
  EXPECT_EQ(video.header.height, 48u);
  EXPECT_EQ(video.header.frames, 10u);
  EXPECT_EQ(video.header.frameRate, -10000);
  EXPECT_EQ(video.header.soundRates[0], 11025u | 0xC0000000u);
  uint64_t sound = 0;
  for (size_t i = 0; i < video.sizes.size(); ++i) sound += video.SoundBytes(i);
  EXPECT_EQ(sound, 11025u);  // one second, as long as the video
  EXPECT_EQ(CurrentStatusText().rfind("Vanted in ", 0), 0u) << CurrentStatusText();
}

TEST_F(CompressorProgram, BadSwitchesAndMissingNamesShowTheUsage) {
  const std::string out = Quoted(folder / "out.vnt");
  for (const std::string& command :
       {Quoted(clip) + " " + out + " /N-350", Quoted(clip) + " " + out + " /K500",
        Quoted(clip) + " " + out + " /Qx", Quoted(clip) + " " + out + " /Zebra", Quoted(clip),
        std::string(" /O"), Quoted(clip) + " " + out + " " + Quoted(folder / "extra.vnt")}) {
    SCOPED_TRACE(command);
    const size_t before = dialogs.asked().size();
    EXPECT_EQ(Run(command), 1);
    ASSERT_EQ(dialogs.asked().size(), before + 3);
    const auto& asked = dialogs.asked();
    EXPECT_EQ(asked[before].text.rfind("Syntax:  Vant <Input Graphics File> <VantName>[.VNT] [/Switches]", 0), 0u);
    EXPECT_EQ(asked[before].icon, DialogIcon::Error);
    EXPECT_EQ(asked[before + 1].text.rfind("Switches (1 of 2):", 0), 0u);
    EXPECT_EQ(asked[before + 1].icon, DialogIcon::Error);
    EXPECT_EQ(asked[before + 2].text.rfind("Switches (2 of 2):", 0), 0u);
    EXPECT_NE(asked[before + 2].icon, DialogIcon::Error);
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"clip.avi"});
}

// An input frame that cannot be read ends the run with the input's own reason; nothing is
// written, not even a black frame in its place.
TEST_F(CompressorProgram, AnUnreadableInputFailsWithItsReasonAndLeavesNothing) {
  platform::Image picture;
  ASSERT_EQ(platform::AllocateImage(picture, 32, 24, 8), platform::ImageStatus::Ok);
  for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = static_cast<uint8_t>(i * 7);
  const std::string gif = folder / "damaged.gif";
  ASSERT_EQ(platform::SaveImage(platform::ImageFormat::Gif, gif, picture, 0), platform::ImageStatus::Ok);
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(gif);
  bytes.resize(bytes.size() - 60);  // its only picture is cut short
  testing::WriteFile(gif, bytes);
  bytes = testsupport::ReadFileBytes(clip);
  bytes.resize(bytes.size() * 6 / 10);  // the AVI loses its last frames
  testing::WriteFile(folder / "cut.avi", bytes);

  struct Case {
    std::string input, reason;
  };
  const Case cases[] = {
      {gif, "the picture is damaged or cut short"},
      {folder / "cut.avi", "it ends after 6 of its 10 frames"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    for (const char* output : {"out.vnt", "out.flc"}) {
      EXPECT_EQ(Run(Quoted(c.input) + " " + Quoted(folder / output) + " /L-1"), 1);
      ASSERT_FALSE(Messages().empty());
      EXPECT_EQ(Messages().back(), "Error reading: " + c.input + " (" + c.reason + ").");
    }
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "cut.avi", "damaged.gif"}));
}

TEST_F(CompressorProgram, TheInputIsNeverTheOutput) {
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink(clip.c_str(), (folder / "link.avi").c_str()), 0);
  const std::vector<uint8_t> original = testsupport::ReadFileBytes(clip);
  for (const std::string& same : {folder / "sub/../clip.avi", folder / "link.avi"}) {
    SCOPED_TRACE(same);
    EXPECT_EQ(Run(Quoted(clip) + " " + Quoted(same) + " /O"), 1);
    EXPECT_EQ(Messages().back(), "Output filename must be different than the input filename.");
  }
  EXPECT_EQ(testsupport::ReadFileBytes(clip), original);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "link.avi", "sub"}));
}

TEST_F(CompressorProgram, AFramePeriodOfZeroStopsPercentagesAndSoundWithoutOutput) {
  // /F200000 asks for more frames a second than a period can hold: no pacing, period 0.
  const std::string out = Quoted(folder / "out.vnt");
  EXPECT_EQ(Run(Quoted(clip) + " " + out + " /F200000 /N-50 /L-1"), 1);
  EXPECT_EQ(Messages().back(), kZeroPeriodMessage);
  EXPECT_EQ(Run(Quoted(clip) + " " + out + " /F200000 /N-450 /L-1"), 1);
  EXPECT_EQ(Messages().back(), kZeroPeriodMessage);
  EXPECT_EQ(Run(Quoted(clip) + " " + out + " /F200000"), 1);
  EXPECT_EQ(Messages().back(), "Error: a sound track needs a frame rate, but the frame rate is 0.");
  EXPECT_EQ(Run(Quoted(clip) + " " + Quoted(folder / "out.flc") + " /F200000 /N-50"), 1);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"clip.avi"});
  // Without sound or percentages a video without pacing is fine.
  EXPECT_EQ(Run(Quoted(clip) + " " + out + " /F200000 /L-1"), 0);
  EXPECT_EQ(testing::ReadStoredVideo(folder / "out.vnt").header.frameRate, 0);
}

void PatchU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) { platform::StoreLE32(bytes.data() + at, value); }

TEST_F(CompressorProgram, DamagedSoundStopsTheRunWithoutOutputUnlessSoundIsOff) {
  const std::vector<uint8_t> avi = democlip::AviBytes(democlip::MakeDemoClip(32, 16, 4, 10, 8000));
  const size_t lastSound = testing::LastChunk(avi, "01wb");
  std::vector<uint8_t> cutAtTheEnd(avi.begin(), avi.begin() + static_cast<std::ptrdiff_t>(lastSound + 20));
  std::vector<uint8_t> claimsTooMuch = avi;
  PatchU32(claimsTooMuch, lastSound + 4, 1u << 24);  // more than the file holds
  std::vector<uint8_t> notPcm = avi;
  notPcm[testing::LastChunk(avi, "strf") + 8] = 0x55;  // the sound stream's format tag
  const std::vector<uint8_t> samples(4000, 128);
  const std::vector<uint8_t> cutWav = testing_files::MakeWav(8000, 8, 1, samples, {}, 1, 9000);
  const std::vector<uint8_t> streamedWav = testing_files::MakeWav(8000, 8, 1, samples, {}, 1, 0xFFFFFFFF);
  democlip::Clip silent = democlip::MakeDemoClip(32, 16, 4, 10, 8000);
  silent.sound.clear();

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;  // null: compressed
    bool sound = false;  // compressed with a sound track
  };
  const Case cases[] = {
      {"cut.avi", cutAtTheEnd, "cut.avi: the sound ends after 2412 of its 3200 bytes."},
      {"long.avi", claimsTooMuch, "long.avi: the sound ends after 3200 of its 16779616 bytes."},
      {"mulaw.avi", notPcm, "Error reading AVI file."},
      {"cut.wav", cutWav, "cut.wav: the sound ends after 4000 of its 9000 bytes."},
      {"streamed.wav", streamedWav, nullptr, true},  // its data runs to the end of the file
      {"silent.avi", democlip::AviBytes(silent), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder here;
    const std::string input = here / c.name, output = here / "out.vnt";
    testing::WriteFile(input, c.bytes);
    const size_t asked = dialogs.asked().size();
    if (c.error != nullptr) {
      EXPECT_EQ(Run(Quoted(input) + " " + Quoted(output)), 1);
      EXPECT_TRUE(Messages().back().ends_with(c.error)) << Messages().back();
      EXPECT_EQ(here.Names(), std::vector<std::string>{c.name});
    } else {
      EXPECT_EQ(Run(Quoted(input) + " " + Quoted(output)), 0);
      EXPECT_EQ(dialogs.asked().size(), asked);
      EXPECT_EQ(testing::ReadStoredVideo(output).header.soundRates[0] != 0, c.sound);
    }
    // Without sound every one of them is a video.
    EXPECT_EQ(Run(Quoted(input) + " " + Quoted(output) + " /O /L-1"), 0);
    EXPECT_EQ(here.Names().size(), 2u);
  }
}

TEST_F(CompressorProgram, RingFrameComesOnTopOfEveryOtherFrame) {
  const std::string out = folder / "ring.vnt";
  ASSERT_EQ(Run(Quoted(clip) + " " + Quoted(out) + " /V /G /L-1"), 0);
  testing::StoredVideo video = testing::ReadStoredVideo(out);
  EXPECT_EQ(video.header.frames, 5u);  // 10 input frames, every other one
  EXPECT_EQ(video.header.flags, 1u);
  EXPECT_EQ(video.sizes.size(), 6u);
}

TEST_F(CompressorProgram, HintFileMarkedForDeletionIsReadAndDeleted) {
  const std::string hints = folder / "hints.txt";
  testing::WriteFile(hints, {'3', ' ', '4', ' ', '0', ' ', '1', '\n'});
  const std::string out = folder / "hinted.vnt";
  // A path holds '/', so the name goes in quotes, the '*' inside them.
  ASSERT_EQ(Run(Quoted(clip) + " " + Quoted(out) + " /@" + Quoted("*" + hints) + " /L-1"), 0);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "hinted.vnt"}));

  // A hint file that cannot be opened is reported; the compression goes on.
  ASSERT_EQ(Run(Quoted(clip) + " " + Quoted(out) + " /O /@" + Quoted(folder / "none.txt") + " /L-1"), 0);
  EXPECT_EQ(Messages().back(), "Error opening the hint file: " + folder / "none.txt");
}

TEST_F(CompressorProgram, AnExistingOutputIsKeptWhenTheUserSaysNo) {
  const std::string out = folder / "kept.vnt";
  testing::WriteFile(out, {9, 9, 9});
  dialogs.Answer(DialogAnswer::No);
  EXPECT_EQ(Run(Quoted(clip) + " " + Quoted(out)), 1);
  EXPECT_EQ(dialogs.asked().back().text, "File " + out + " exists, overwrite?");
  EXPECT_EQ(testsupport::ReadFileBytes(out), (std::vector<uint8_t>{9, 9, 9}));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "kept.vnt"}));
}

TEST_F(CompressorProgram, PicturesOtherThanVideoGoThroughTheGraphicsOutput) {
  const std::string out = folder / "clip.flc";
  ASSERT_EQ(Run(Quoted(clip) + " " + Quoted(out) + " /G"), 0);
  EXPECT_EQ(CurrentStatusText().rfind("Created " + out + " in ", 0), 0u) << CurrentStatusText();
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"clip.avi", "clip.flc"}));
  EXPECT_GT(testsupport::ReadFileBytes(out).size(), 128u);
}

TEST_F(CompressorProgram, ReportsToTheFrontEnd) {
  ReportCollector receiver;
  ASSERT_TRUE(receiver.listening());
  const std::string out = folder / "reported.vnt";
  ASSERT_EQ(Run(Quoted(clip) + " " + Quoted(out) + " /#" + std::to_string(receiver.number()) + " /#"), 0);
  std::vector<platform::ReportRequest> requests = receiver.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].code, platform::kStatusReportKind);
  const std::string text(requests[0].data.begin(), requests[0].data.end());

  const uint64_t in = testsupport::ReadFileBytes(clip).size(), made = testsupport::ReadFileBytes(out).size();
  const uint64_t ratio = in * 10 / made;
  const std::string tail = ".  From " + std::to_string(in) + " To: " + std::to_string(made) + " (" +
                           std::to_string(ratio / 10) + "." + std::to_string(ratio % 10) + ":1)." + '\0';
  const std::string head = "Vant - Vantrel compressor. V 3.0k\r\n  Vanted in ";
  ASSERT_GT(text.size(), head.size() + tail.size());
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  // The time in milliseconds, or in seconds on a slow or busy machine.
  EXPECT_NE(text.find("second"), std::string::npos);
}

}  // namespace
}  // namespace compressor
