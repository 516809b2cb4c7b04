// vantplw itself, started as a program on Qt's offscreen platform: exit codes and the report to
// the front end. Message boxes go to standard error there; the tests of boxes that wait show them
// on a private X server.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "compressor/demo/demo_clip.h"
#include "player/tests/test_videos.h"
#include "testsupport/environment_guard.h"
#include "testsupport/run_program.h"
#include "testsupport/wait_until.h"
#include "testsupport/x_display.h"
#include "platform/system/report_channel.h"
#include "playback/vant.h"
#include "toolsupport/tests/report_collector.h"

namespace {

using Finished = testsupport::ProgramResult;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// On the offscreen platform, where message boxes go to standard error.
testsupport::StartedProgram StartPlayer(const std::vector<std::string>& arguments,
                                        const std::string& program = "vantplw") {
  return testsupport::StartProgram(program, arguments, {.offscreen = true});
}

Finished RunPlayer(const std::vector<std::string>& arguments, const std::string& program = "vantplw") {
  return testsupport::WaitProgram(StartPlayer(arguments, program));
}

// A video of `frames` frames at 10 frames a second with a sound track, made by the compressor.
std::string WriteVideoWithSound(const ScratchDirectory& dir, uint32_t frames) {
  const std::string avi = dir.File("sound.avi"), vnt = dir.File("sound.vnt");
  if (!democlip::WriteAvi(avi, democlip::MakeDemoClip(32, 32, frames, 10))) return {};
  // The compressor's status window takes its console face on the offscreen platform.
  return RunPlayer({avi, vnt, "/O"}, "vantcw").exitCode == 0 ? vnt : std::string();
}

// True once the process runs the sound library's output thread.
bool HasSoundThread(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  return testsupport::WaitUntil([&] {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
      std::ifstream comm(task.path() / "comm");
      std::string name;
      if (std::getline(comm, name) && name.rfind("SDLAudio", 0) == 0) return true;
    }
    return false;
  });
}

std::string Payload(const platform::ReportRequest& request) {
  return std::string(request.data.begin(), request.data.end());
}

constexpr char kReport[] = "VantPlay - V3.0k  Plays Vantrel videos.";
constexpr char kPackageCaption[] = "VantPlay - V3.0k: ";
constexpr char kStoppedLine[] = "Stopped by a signal.\n";

class PlayerProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    video = WriteTestVideo(dir.File("clip.vnt"), 16, 8, 3, 1);
    ASSERT_FALSE(video.path().empty());
  }
  ScratchDirectory dir;
  TestVideo video;
};

TEST_F(PlayerProgram, ExitCodes) {
  Finished usage = RunPlayer({});
  EXPECT_EQ(usage.exitCode, 1);
  EXPECT_NE(usage.errors.find("SYNTAX: VantPly"), std::string::npos);

  EXPECT_EQ(RunPlayer({"/Y", video.path()}).exitCode, 1);

  Finished missing = RunPlayer({dir.File("missing.vnt")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.errors.find("Error opening file: " + dir.File("missing.vnt") + "."),
            std::string::npos);

  Finished played = RunPlayer({video.path(), "/F", "/J", "/S"});
  EXPECT_EQ(played.exitCode, 0);
  EXPECT_NE(played.errors.find("Vantrel Summary: "), std::string::npos);
  EXPECT_NE(played.errors.find("Total frames played: 3\n"), std::string::npos);
  EXPECT_NE(played.errors.find(kPackageCaption), std::string::npos);
}

TEST_F(PlayerProgram, ReportsToTheFrontEndWhenItWantsTheReport) {
  ReportCollector frontEnd("Vantrel for Windows - Player");
  ASSERT_TRUE(frontEnd.listening());
  Finished finished =
      RunPlayer({video.path(), "/F/J", "/#" + std::to_string(frontEnd.number()), "/#"});
  EXPECT_EQ(finished.exitCode, 0);
  const std::vector<platform::ReportRequest> requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].type, platform::ReportRequestType::Message);
  EXPECT_EQ(requests[0].code, 10019u);
  EXPECT_EQ(requests[0].wParam, 0u);
  EXPECT_EQ(requests[0].lParam, 0u);
  EXPECT_EQ(requests[1].type, platform::ReportRequestType::Data);
  EXPECT_EQ(requests[1].code, 0x1234u);
  EXPECT_EQ(Payload(requests[1]), std::string(kReport) + '\0');  // the text and one NUL
  // The front end shows its own about box.
  EXPECT_EQ(finished.errors.find(kPackageCaption), std::string::npos);
}

TEST_F(PlayerProgram, FrontEndDeclinesTheReport) {
  ReportCollector frontEnd("Vantrel for Windows", [](const platform::ReportRequest& request) {
    return request.code == 10019 ? 8995u : 1u;
  });
  ASSERT_TRUE(frontEnd.listening());
  Finished finished = RunPlayer({video.path(), "/F/J", "/#" + std::to_string(frontEnd.number())});
  EXPECT_EQ(finished.exitCode, 0);
  const std::vector<platform::ReportRequest> requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].code, 10019u);
  EXPECT_EQ(finished.errors.find(kPackageCaption), std::string::npos);
}

TEST_F(PlayerProgram, OtherReceiversGetTheReportWithoutTheQuestion) {
  ReportCollector batch("Batch");
  ASSERT_TRUE(batch.listening());
  // A failed run reports all the same.
  Finished finished =
      RunPlayer({dir.File("missing"), "/#" + std::to_string(batch.number())});
  EXPECT_EQ(finished.exitCode, 1);
  const std::vector<platform::ReportRequest> requests = batch.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].type, platform::ReportRequestType::Data);
  EXPECT_EQ(Payload(requests[0]), std::string(kReport) + '\0');
  EXPECT_NE(finished.errors.find(kPackageCaption), std::string::npos);
}

// What the binder does: the video at a multiple of 512 after a copy of the player, its name and
// the switches in the copy's area. Empty when the player has no area to bind into.
std::string WriteBoundCopy(const ScratchDirectory& dir, const std::string& video, const std::string& switches) {
  std::string program = ReadFile(testsupport::ProgramPath("vantplw"));
  const size_t area = program.find("SELFPLAY");
  if (area == std::string::npos || program.compare(area + 216, 8, "VANTREL!") != 0) return {};
  const size_t offset = (program.size() + 511) / 512 * 512;
  const std::string stored = ":" + std::to_string(offset) + " " + switches;
  program.replace(area + 8, stored.size(), stored);
  program.resize(offset, '\0');
  program += ReadFile(video);
  const std::string bound = dir.File("bound");
  std::ofstream(bound, std::ios::binary) << program;
  return chmod(bound.c_str(), 0700) == 0 ? bound : std::string();
}

TEST_F(PlayerProgram, BoundCopyPlaysTheVideosStoredInItsOwnFile) {
  const std::string program = ReadFile(testsupport::ProgramPath("vantplw"));
  const size_t area = program.find("SELFPLAY");
  ASSERT_NE(area, std::string::npos);
  EXPECT_EQ(program.find("SELFPLAY", area + 1), std::string::npos);  // the binder needs one
  ASSERT_EQ(program.compare(area + 216, 8, "VANTREL!"), 0);
  EXPECT_EQ(program.substr(area + 8, 208), std::string(208, '\0'));  // unbound

  const std::string bound = WriteBoundCopy(dir, video.path(), "/F/J/S");
  ASSERT_FALSE(bound.empty());
  // The command line's switches come after the stored ones.
  Finished finished = RunPlayer({"/L2"}, bound);
  EXPECT_EQ(finished.exitCode, 0);
  EXPECT_NE(finished.errors.find("Total frames played: 6\n"), std::string::npos);
}

// A stop signal ends playback with sound as Esc does: at once, without a summary box, exit 1.
TEST_F(PlayerProgram, StopSignalsEndPlaybackWithSound) {
  const std::string withSound = WriteVideoWithSound(dir, 300);  // 30 seconds
  ASSERT_FALSE(withSound.empty());
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    const testsupport::StartedProgram player = StartPlayer({withSound, "/J", "/S"});
    const pid_t pid = player.pid;
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(testsupport::CatchesSignal(pid, signalNumber)) << signalNumber;
    ASSERT_TRUE(HasSoundThread(pid)) << signalNumber;  // well into the playback, its sound open
    const testsupport::StoppedProgram stopped = testsupport::StopProgram(player, signalNumber);
    const Finished& finished = stopped.result;
    EXPECT_LT(stopped.took, testsupport::kStopTime) << signalNumber;
    EXPECT_EQ(finished.exitCode, 1) << signalNumber << finished.errors;
    EXPECT_EQ(finished.errors.find("Vantrel Summary"), std::string::npos) << finished.errors;
    EXPECT_EQ(finished.errors.find(kPackageCaption), std::string::npos) << finished.errors;
    EXPECT_NE(finished.errors.find(kStoppedLine), std::string::npos) << finished.errors;
  }
}

// On a display that a person sees the closing boxes wait for an answer. A stop signal closes
// the one that waits, and the player (a bound copy too) ends within a second, exit code 1. Qt
// says nothing there of a missing runtime directory.
TEST_F(PlayerProgram, StopSignalsEndThePlayerWhileItsClosingBoxWaits) {
  testsupport::XDisplay display;
  if (!display.CanFindWindows()) GTEST_SKIP() << "needs Xvfb and xwininfo";
  testsupport::EnvironmentGuard environment;
  environment.Set("XDG_RUNTIME_DIR", nullptr);
  const std::string bound = WriteBoundCopy(dir, video.path(), "/F/J/S");
  ASSERT_FALSE(bound.empty());
  struct Case {
    const char* name;
    std::string program;
    std::vector<std::string> arguments;
    const char* box;  // its caption
  };
  const std::vector<Case> cases = {
      {"summary box", "vantplw", {video.path(), "/F/J/S"}, "Vantrel Summary"},
      {"package box", "vantplw", {video.path(), "/F/J"}, "VantPlay - V3.0k"},
      {"bound copy's summary box", bound, {}, "Vantrel Summary"},
  };
  for (const Case& c : cases) {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
      SCOPED_TRACE(std::string(c.name) + ", signal " + std::to_string(signalNumber));
      const testsupport::StartedProgram player =
          testsupport::StartProgram(c.program, c.arguments, {.display = display.name()});
      ASSERT_GT(player.pid, 0);
      const bool shown = display.WaitForWindow(c.box);
      const testsupport::StoppedProgram stopped = testsupport::StopProgram(player, signalNumber);
      ASSERT_TRUE(shown) << stopped.result.errors;
      EXPECT_EQ(stopped.result.exitCode, 1) << stopped.result.errors;
      EXPECT_LT(stopped.took, testsupport::kStopTime);
      EXPECT_EQ(stopped.result.errors.rfind(kStoppedLine, 0), 0u) << stopped.result.errors;
      EXPECT_EQ(stopped.result.errors.find("XDG_RUNTIME_DIR"), std::string::npos) << stopped.result.errors;
    }
  }
}

TEST_F(PlayerProgram, WithoutAnyDisplayItSaysSo) {
  const Finished finished = testsupport::RunProgram("vantplw", {video.path(), "/J"});
  EXPECT_EQ(finished.exitCode, 1);
  EXPECT_NE(finished.errors.find("No display was found"), std::string::npos) << finished.errors;
  EXPECT_NE(finished.errors.find("QT_QPA_PLATFORM=offscreen plays without one"), std::string::npos);
  EXPECT_EQ(finished.errors.find("graphics buffer"), std::string::npos);
}

// The sound reaches the device through either back end: on SDL's disk driver it holds the
// track's samples in order (the player closes the video after its last frame, before the second
// of sound ahead has played). Silence is left out on both sides: the devices pad with it.
TEST_F(PlayerProgram, EitherSoundBackEndPlaysTheTracksSamples) {
  const std::string withSound = WriteVideoWithSound(dir, 10);
  ASSERT_FALSE(withSound.empty());
  std::string decoded;
  VantVideo* opened = VantOpen(withSound.c_str(), 0, 0);
  ASSERT_NE(opened, nullptr);
  std::vector<char> buffer(opened->header.audioSizes[0]);
  for (uint32_t i = 0; i < opened->header.frames; ++i) {
    decoded.append(buffer.data(), VantGetTrackData(opened, buffer.data(), VANT_OPEN_TRACK_0));
    VantNextFrame(opened);
  }
  VantClose(opened);
  std::erase(decoded, '\x80');

  for (const char* backEnd : {"", "/Z"}) {
    SCOPED_TRACE(backEnd);
    testsupport::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "disk");
    environment.Set("SDL_DISKAUDIOFILE", dir.File("device.raw").c_str());
    std::vector<std::string> arguments = {withSound, "/J"};
    if (*backEnd) arguments.push_back(backEnd);
    const Finished finished = RunPlayer(arguments);
    EXPECT_EQ(finished.exitCode, 0) << finished.errors;
    std::string played = ReadFile(dir.File("device.raw"));
    std::erase(played, '\x80');
    EXPECT_GT(played.size(), 22050u / 4);
    EXPECT_EQ(played, decoded.substr(0, played.size()));
  }
}

// No sound device, or no sound library to open one with: no lines of the sound library, and one
// line that says so for the whole run.
TEST_F(PlayerProgram, WithoutASoundDeviceItSaysSoOnceAndPlays) {
  const std::string withSound = WriteVideoWithSound(dir, 5);
  ASSERT_FALSE(withSound.empty());
  // A library folder whose SDL is a file that does not load, as where SDL is not installed.
  const std::string libraries = dir.File("libraries");
  ASSERT_EQ(mkdir(libraries.c_str(), 0700), 0);
  std::ofstream(libraries + "/libSDL2-2.0.so.0").close();
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, std::string>> settings;
    const char* reason;  // what the notice says beyond "no sound device"
  };
  const Case cases[] = {
      {"no such device", {{"SDL_AUDIODRIVER", "alsa"}, {"AUDIODEV", "no-such-sound-device"}}, ""},
      {"no sound library", {{"LD_LIBRARY_PATH", libraries}}, "libSDL2-2.0.so.0 could not be loaded"},
  };
  for (const Case& c : cases) {
    for (const char* backEnd : {"", "/Z"}) {
    SCOPED_TRACE(std::string(c.name) + " " + backEnd);
    testsupport::EnvironmentGuard environment;
    for (const auto& [name, value] : c.settings) environment.Set(name, value.c_str());
    std::vector<std::string> arguments = {withSound, withSound, "/F", "/J", "/S"};
    if (*backEnd) arguments.push_back(backEnd);
    const Finished finished = RunPlayer(arguments);
    EXPECT_EQ(finished.exitCode, 0) << finished.errors;
    EXPECT_EQ(finished.errors.find("ALSA"), std::string::npos) << finished.errors;
    const std::string notice = "playing without sound";
    const size_t first = finished.errors.find(notice);
    EXPECT_NE(first, std::string::npos) << finished.errors;
    EXPECT_EQ(finished.errors.find(notice, first + 1), std::string::npos) << finished.errors;
    EXPECT_NE(finished.errors.find(c.reason), std::string::npos) << finished.errors;
    EXPECT_NE(finished.errors.find("Total frames played: 5\n"), std::string::npos) << finished.errors;
    }
  }
}

}  // namespace
