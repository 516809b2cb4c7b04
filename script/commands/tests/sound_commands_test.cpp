// SOUND and MCISENDSTRING: how long a tone lasts, what it sounds like on SDL's disk driver, and
// WAV files played through the media commands.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "testsupport/environment_guard.h"
#include "platform/audio/tone_out.h"
#include "playback/audio_context.h"
#include "playback/sound_track.h"
#include "script/tests/script_runner.h"
#include "platform/system/tests/fake_clock.h"

namespace {


void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// An 8-bit mono WAV file of the samples.
std::string WavFile(const std::string& samples, uint32_t rate) {
  std::string file = "RIFF";
  PutLittleEndian(file, static_cast<uint32_t>(36 + samples.size()), 4);
  file += "WAVEfmt ";
  PutLittleEndian(file, 16, 4);
  PutLittleEndian(file, 1, 2);
  PutLittleEndian(file, 1, 2);
  PutLittleEndian(file, rate, 4);
  PutLittleEndian(file, rate, 4);
  PutLittleEndian(file, 1, 2);
  PutLittleEndian(file, 8, 2);
  file += "data";
  PutLittleEndian(file, static_cast<uint32_t>(samples.size()), 4);
  return file + samples;
}

// Samples that never sound like silence and never repeat within a short run.
std::string Pattern(size_t count) {
  std::string samples;
  for (size_t i = 0; i < count; ++i) samples += static_cast<char>(1 + (i * 37 + i / 251) % 250);
  return samples;
}

TEST(ScriptSound, ToneWaitsItsDurationAndNothingForANegativeOne) {
  const std::vector<std::pair<std::string, uint64_t>> cases = {
      {"sound 440 100", 100}, {"sound 440 -5", 0}, {"sound 0 50", 50},
      {"sound -300 50", 50},  {"sound 65976 30", 30}, {"sound 440 0", 0},
  };
  for (const auto& [line, waited] : cases) {
    SCOPED_TRACE(line);
    ScriptRunner runner;
    const std::string path = runner.Write("tone.ss", line + "\n");
    FakeClock clock;
    auto context = ScriptRunner::NewContext(clock);
    const uint64_t before = clock.Now();
    EXPECT_EQ(script::RunCommandScript(*context, "\"" + path + "\""), 0);
    EXPECT_EQ(clock.Now() - before, waited);
  }
  // On the real clock, with the dummy device sounding it.
  ScriptRunner runner;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(runner.Run("sound 440 300\n").exitCode, 0);
  const auto lasted = std::chrono::steady_clock::now() - start;
  EXPECT_GE(lasted, std::chrono::milliseconds(300));
  EXPECT_LT(lasted, std::chrono::milliseconds(5300));
}

// The lengths of the runs of equal samples, the first and last (cut) runs left out.
std::vector<size_t> InnerRuns(const std::string& samples) {
  std::vector<size_t> runs;
  size_t start = 0;
  for (size_t i = 1; i <= samples.size(); ++i) {
    if (i == samples.size() || samples[i] != samples[start]) {
      runs.push_back(i - start);
      start = i;
    }
  }
  if (runs.size() < 2) return {};
  return std::vector<size_t>(runs.begin() + 1, runs.end() - 1);
}

TEST(ScriptSound, ASquareWaveOfTheFrequencyReachesTheDevice) {
  struct Case {
    const char* line;
    size_t halfPeriod;  // samples at 22050 Hz
  };
  for (const Case c : {Case{"sound 1000 300", 11}, Case{"sound 19 400", 580}, Case{"sound 10 400", 580}}) {
    SCOPED_TRACE(c.line);
    ScriptRunner runner;
    testsupport::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "disk");
    environment.Set("SDL_DISKAUDIOFILE", runner.File("out.raw").c_str());
    ASSERT_EQ(runner.Run(std::string(c.line) + "\n").exitCode, 0);
    const std::vector<size_t> runs = InnerRuns(runner.Read("out.raw"));
    ASSERT_GE(runs.size(), 4u);
    for (size_t run : runs) {
      EXPECT_GE(run, c.halfPeriod);
      EXPECT_LE(run, c.halfPeriod + 1);
    }
  }
  std::string silent(64, 'x');
  uint32_t phase = 0;
  for (uint32_t frequency : {0u, 11025u, 30000u}) {
    platform::FillSquareWave(reinterpret_cast<uint8_t*>(silent.data()), silent.size(), frequency, 22050, phase);
    EXPECT_EQ(silent, std::string(64, '\x80')) << frequency;
  }
}

TEST(ScriptSound, UseDirectSoundPutsTheStreamBackEndInPlace) {
  const SoundBackEnd saved = DefaultAudioContext().backEnd;
  DefaultAudioContext().backEnd = SoundBackEnd{};
  ScriptRunner runner;
  EXPECT_EQ(runner.Run("systemusedirectsound\n").exitCode, 0);
  EXPECT_EQ(DefaultAudioContext().backEnd.open, StreamBackEnd().open);
  DefaultAudioContext().backEnd = saved;
}

TEST(ScriptMediaCommands, RefusalsAnswerWithAnErrorText) {
  ScriptRunner runner;
  runner.Write("tune.mid", "MThd");
  runner.Write("fake.wav", "not a riff file");
  runner.Write("snd.wav", WavFile(Pattern(100), 8000));
  const std::vector<std::string> commands = {
      "open \"" + runner.File("missing.wav") + "\" alias snd",
      "open \"" + runner.File("fake.wav") + "\"",
      "open \"" + runner.File("tune.mid") + "\" alias m",
      "open \"" + runner.File("snd.wav") + "\" type sequencer alias x",
      "open new type waveaudio alias rec",
      "open waveaudio",
      "record snd",
      "play nothing",
      "",
      "status all mode",
  };
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const ScriptRun run = runner.Run("mcisendstring a '" + command + "'\n");
    ASSERT_EQ(run.exitCode, 0) << run.LastBox();
    EXPECT_EQ(run.Variable("A").substr(0, 7), "Error: ") << run.Variable("A");
  }
  const ScriptRun alias = runner.Run("mcisendstring a 'open \"" + runner.File("snd.wav") + "\" alias s'\n" +
                                     "mcisendstring b 'open waveaudio!" + runner.File("snd.wav") + " alias S'\n" +
                                     "mcisendstring c 'status s volume'\nmcisendstring d 'seek s to 10'\n"
                                     "mcisendstring e 'play s from 0'\n");
  EXPECT_EQ(alias.Variable("A"), "1");
  for (const char* name : {"B", "C", "D", "E"}) EXPECT_EQ(alias.Variable(name).substr(0, 7), "Error: ") << name;
  // An answer longer than a value may be is cut.
  const ScriptRun longAnswer = runner.Run("mcisendstring a '" + std::string(740, 'x') + "'\n");
  EXPECT_EQ(longAnswer.Variable("A").size(), 767u);
}

TEST(ScriptMediaCommands, PlayingWithWaitWritesTheSamplesToTheDevice) {
  ScriptRunner runner;
  testsupport::EnvironmentGuard environment;
  environment.Set("SDL_AUDIODRIVER", "disk");
  environment.Set("SDL_DISKAUDIOFILE", runner.File("out.raw").c_str());
  const std::string samples = Pattern(1600);
  runner.Write("clip.wav", WavFile(samples, 8000));
  const ScriptRun run = runner.Run(
      "mcisendstring o 'open \"" + runner.File("clip.wav") + "\" type waveaudio alias Clip wait'\n"
      "mcisendstring l 'status clip length'\nmcisendstring p 'play clip wait'\n"
      "mcisendstring m 'status clip mode'\nmcisendstring q 'status clip position'\n"
      "mcisendstring c 'close CLIP'\nmcisendstring a 'status clip mode'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  const std::map<std::string, std::string> expected = {
      {"O", "1"}, {"L", "200"}, {"P", ""}, {"M", "stopped"}, {"Q", "200"}, {"C", ""}};
  for (const auto& [name, value] : expected) EXPECT_EQ(run.Variable(name), value) << name;
  EXPECT_EQ(run.Variable("A").substr(0, 7), "Error: ");
  EXPECT_NE(runner.Read("out.raw").find(samples), std::string::npos);
}

// A device that does not finish its sound within the sound's length and five seconds more is
// given up; the time is the run's.
TEST(ScriptMediaCommands, WaitingForTheEndGivesUpOnTheRunsClock) {
  ScriptRunner runner;
  runner.Write("long.wav", WavFile(Pattern(8000 * 20), 8000));
  FakeClock clock;
  ScriptRun run;
  run.context = ScriptRunner::NewContext(clock);
  const uint64_t before = clock.Now();
  runner.RunIn(run, "mcisendstring o 'open \"" + runner.File("long.wav") + "\" alias a'\n"
                    "mcisendstring p 'play a wait'\nmcisendstring m 'status a mode'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  EXPECT_EQ(run.Variable("P"), "Error: The sound device stopped playing.");
  EXPECT_EQ(run.Variable("M"), "stopped");
  EXPECT_EQ(clock.Now() - before, 20000u + 5000u);
}

TEST(ScriptMediaCommands, PauseResumeStopAndSeekWhileTheScriptGoesOn) {
  ScriptRunner runner;
  runner.Write("long.wav", WavFile(Pattern(8000 * 20), 8000));
  const ScriptRun run = runner.Run(
      "mcisendstring o 'open \"" + runner.File("long.wav") + "\" alias a'\nmcisendstring p 'play a'\n"
      "mcisendstring m1 'status a mode'\ndelay 100\nmcisendstring u 'pause a'\nmcisendstring m2 'status a mode'\n"
      "mcisendstring q1 'status a position'\ndelay 100\nmcisendstring q2 'status a position'\n"
      "mcisendstring r 'resume a'\nmcisendstring m3 'status a mode'\nmcisendstring s 'stop a'\n"
      "mcisendstring m4 'status a mode'\nmcisendstring k 'seek a to start'\nmcisendstring q3 'status a position'\n"
      "mcisendstring c 'close all'\n");
  ASSERT_EQ(run.exitCode, 0) << run.LastBox();
  const std::map<std::string, std::string> expected = {
      {"O", "1"}, {"P", ""},  {"M1", "playing"}, {"U", ""}, {"M2", "paused"}, {"R", ""},
      {"M3", "playing"}, {"S", ""}, {"M4", "stopped"}, {"K", ""}, {"Q3", "0"}, {"C", ""}};
  for (const auto& [name, value] : expected) EXPECT_EQ(run.Variable(name), value) << name;
  EXPECT_GT(std::stoi(run.Variable("Q1")), 0);
  EXPECT_LT(std::stoi(run.Variable("Q1")), 20000);
  EXPECT_EQ(run.Variable("Q1"), run.Variable("Q2"));  // a paused sound stays where it is
}

}  // namespace
