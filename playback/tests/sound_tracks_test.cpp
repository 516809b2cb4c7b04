// Sound tracks of an open video: opening, rings, overflow and starvation, pacing by the sound,
// sound on and off, volume, going back to the start, and track data.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/system/tests/fake_clock.h"
#include "playback/library_state.h"
#include "playback/open_video.h"
#include "playback/pacing_sound.h"
#include "playback/tests/sound_test_support.h"
#include "playback/tests/test_video.h"
#include "playback/video_file_format.h"

namespace {

// 8-bit mono at 1000 bytes per second with 100 ms frames: a frame is 100 bytes of sound.
constexpr uint32_t kRaw1000 = vntfile::kRatePresent | 1000;
constexpr int32_t kTenthSecond = -10000;

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i * 7);
  return bytes;
}

// The bytes still in the ring, oldest first.
std::vector<uint8_t> PendingBytes(const SoundTrack* track) {
  std::vector<uint8_t> bytes(track->pending);
  RingCopy(track->pending, track->ringEnd, track->ringStart, track->readPointer, bytes.data());
  return bytes;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class SoundTracksTest : public ::testing::Test {
 protected:
  VantVideo* Open(const std::vector<TrackSound>& tracks, uint32_t frames = 10, uint32_t flags = VANT_OPEN_ALL_TRACKS,
                  int32_t frameRate = kTenthSecond, const std::string& name = "sound.vnt") {
    WriteSoundVideo(dir.File(name), frames, frameRate, tracks);
    return OpenVideo(dir.File(name).c_str(), flags, 0, *videoClock);
  }
  SoundTrack* Track(VantVideo* video, int t) { return video->soundTracks[t]; }

  platform::Clock* videoClock = &platform::SystemClock();
  ScratchDirectory dir;
  FakeSoundDevice device;
  uint8_t picture[16 * 16] = {};
};

// A video opened into an audio context of its own joins that context's back end and track count;
// a context without a back end gets the wave-out one, and the default context is left alone.
TEST_F(SoundTracksTest, TracksJoinTheAudioContextTheirVideoWasOpenedWith) {
  WriteSoundVideo(dir.File("own.vnt"), 10, kTenthSecond, {{kRaw1000, 0, {Bytes(100, 1)}}});
  const SoundBackEnd fake = DefaultAudioContext().backEnd;
  AudioContext own;
  own.backEnd = fake;
  VantVideo* first = OpenVideo(dir.File("own.vnt").c_str(), VANT_OPEN_ALL_TRACKS, 0, platform::SystemClock(), own);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(own.openTrackCount, 1u);
  EXPECT_EQ(DefaultAudioContext().openTrackCount, 0u);
  EXPECT_EQ(device.opens, 1);

  AudioContext fresh;
  VantVideo* second = OpenVideo(dir.File("own.vnt").c_str(), VANT_OPEN_ALL_TRACKS, 0, platform::SystemClock(), fresh);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(fresh.backEnd.open, WaveOutBackEnd().open);
  EXPECT_EQ(DefaultAudioContext().backEnd.open, fake.open);
  ASSERT_NE(second->soundTracks[0], nullptr);  // SDL's dummy driver takes the sound
  EXPECT_EQ(fresh.waveOutTracks, second->soundTracks[0]);
  EXPECT_EQ(device.opens, 1);

  VantClose(second);
  EXPECT_EQ(fresh.waveOutTracks, nullptr);
  EXPECT_EQ(fresh.openTrackCount, 0u);
  VantClose(first);
  EXPECT_EQ(own.openTrackCount, 0u);
  EXPECT_EQ(device.closes, 1);
}

TEST_F(SoundTracksTest, OnlyPresentTracksWithARateOpen) {
  TrackSound good{kRaw1000, 0, {Bytes(100, 1)}};
  TrackSound noRate{vntfile::kRatePresent, 0, {Bytes(100, 1)}};
  TrackSound absent{1000, 0, {Bytes(100, 1)}};
  VantVideo* video = Open({absent, noRate, good, good});
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->pacingTrack, 2);
  EXPECT_EQ(video->keptFlags & VANT_OPEN_ALL_TRACKS, (VANT_OPEN_TRACK_0 << 2) | (VANT_OPEN_TRACK_0 << 3));
  EXPECT_EQ(DefaultAudioContext().openTrackCount, 2u);
  EXPECT_EQ(VantSoundInTrack(video, VANT_OPEN_TRACK_0 | VANT_OPEN_TRACK_0 << 1), 0);
  EXPECT_EQ(VantSoundInTrack(video, VANT_OPEN_TRACK_0 << 3), 1);
  EXPECT_EQ(VantSoundInTrack(nullptr, VANT_OPEN_ALL_TRACKS), 0);
  VantClose(video);
  EXPECT_EQ(device.closes, 2);
  EXPECT_EQ(DefaultAudioContext().openTrackCount, 0u);

  // A device that refuses leaves the video without sound, paced by the clock.
  device.refuseOpen = true;
  video = Open({good});
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->pacingTrack, -1);
  EXPECT_EQ(video->soundTracks[0], nullptr);
  EXPECT_EQ(VantSoundOnOff(video, 0), 0);
  EXPECT_EQ(DefaultAudioContext().openTrackCount, 0u);
  VantClose(video);
}

TEST_F(SoundTracksTest, RingAndClockFollowTheTracksRate) {
  // 22050 Hz 8-bit mono at 66 ms: 1455.3 bytes a frame, a second and two frames of ring.
  VantVideo* video = Open({{vntfile::kRatePresent | 22050, 0, {Bytes(100, 1)}}}, 2, VANT_OPEN_TRACK_0, -6600);
  ASSERT_NE(video, nullptr);
  SoundTrack* track = Track(video, 0);
  EXPECT_EQ(track->bytesPerSecond, 22050u);
  EXPECT_EQ(track->frameBytes, 1490227u);
  EXPECT_EQ(track->ringSize, 28672u);
  EXPECT_EQ(track->lateThreshold, 22050u * 512);
  VantClose(video);

  // 44100 Hz 16-bit stereo: half a second is 88200 bytes.
  const uint32_t cd = vntfile::kRatePresent | vntfile::kRate16Bit | vntfile::kRateStereo | 44100;
  video = Open({{cd, 0, {Bytes(400, 1)}}}, 2, VANT_OPEN_TRACK_0, -6667, "cd.vnt");
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(Track(video, 0)->lateThreshold / 1024, 88200u);
  EXPECT_EQ(Track(video, 0)->ringSize % 4096, 0u);
  EXPECT_GE(Track(video, 0)->ringSize, 176400u + 2 * 11760u);
  VantClose(video);
}

TEST_F(SoundTracksTest, EveryTracksChunkGoesIntoItsRing) {
  // Track 0 (pacing) has no chunk in frame 1; track 1 is raw 16-bit stereo with chunks in
  // both frames and must still get its second one.
  const uint32_t stereo16 = vntfile::kRatePresent | vntfile::kRate16Bit | vntfile::kRateStereo | 1000;
  std::vector<uint8_t> a = Bytes(1100, 3), b = Bytes(4400, 5), c = Bytes(400, 9);
  VantVideo* video = Open({{kRaw1000, 0, {a, {}}}, {stereo16, 0, {b, c}}}, 2);
  ASSERT_NE(video, nullptr);
  ASSERT_NE(Track(video, 1), nullptr);
  VantDoFrame(video);
  VantNextFrame(video);
  VantDoFrame(video);
  EXPECT_EQ(PendingBytes(Track(video, 1)), Concat({b, c}));
  EXPECT_EQ(Track(video, 1)->delivered, 4800u);
  EXPECT_EQ(Track(video, 0)->noData, 1u);
  EXPECT_EQ(Track(video, 1)->noData, 0u);
  // The pacing track's sound has ended: it plays a frame of silence so the video keeps time.
  EXPECT_EQ(PendingBytes(Track(video, 0)), Concat({a, std::vector<uint8_t>(100, 0x80)}));
  VantClose(video);
}

TEST_F(SoundTracksTest, StarvationSilenceAndOverflowNeverPassTheRing) {
  // Ring of 8192 bytes; frame chunks of up to 3000 bytes (the frame chunk size).
  std::vector<uint8_t> a = Bytes(3000, 1), b = Bytes(3000, 2), c = Bytes(1692, 3), d = Bytes(400, 4),
                       e = Bytes(3000, 5);
  VantVideo* video = Open({{kRaw1000, 0, {a, b, c, d, e}}}, 5);
  ASSERT_NE(video, nullptr);
  SoundTrack* track = Track(video, 0);
  ASSERT_EQ(track->ringSize, 8192u);
  ASSERT_EQ(track->frameChunkSize, 3000u);
  for (int i = 0; i < 3; ++i) {
    VantDoFrame(video);
    VantNextFrame(video);
  }
  EXPECT_EQ(track->pending, 7692u);
  // The device ran dry meanwhile: the 400-byte chunk would be padded to 3000 with silence, but
  // only 500 bytes are free. The silence takes them and the chunk is cut, never written over
  // sound that has not been played.
  track->starved = 1;
  VantDoFrame(video);
  EXPECT_EQ(track->pending, 8192u);
  EXPECT_EQ(track->soundSkips, 1u);
  EXPECT_EQ(track->overflows, 1u);
  EXPECT_EQ(PendingBytes(track), Concat({a, b, c, std::vector<uint8_t>(500, 0x80)}));
  EXPECT_EQ(track->delivered, 8192u);

  // The device takes it all; the next chunk goes in whole, with no second padding.
  device.takeAll = true;
  VantNextFrame(video);
  VantDoFrame(video);
  EXPECT_EQ(track->starved, 0u);
  EXPECT_EQ(track->soundSkips, 1u);
  EXPECT_EQ(track->pending, 0u);
  EXPECT_EQ(device.taken, Concat({a, b, c, std::vector<uint8_t>(500, 0x80), e}));
  VantClose(video);
}

TEST_F(SoundTracksTest, PacingWaitsForTheSoundAndSkipsLateFrames) {
  std::vector<std::vector<uint8_t>> frames{Bytes(1100, 1)};
  for (int i = 1; i < 10; ++i) frames.push_back(Bytes(100, static_cast<uint8_t>(i)));
  for (uint32_t flags : {0u, static_cast<uint32_t>(VANT_OPEN_NEVER_SKIP)}) {
    VantVideo* video = Open({{kRaw1000, 0, frames}}, 10, VANT_OPEN_TRACK_0 | flags,
                            kTenthSecond, "pace" + std::to_string(flags) + ".vnt");
    ASSERT_NE(video, nullptr);
    ASSERT_EQ(VantToBuffer(video, 0, 0, 16, 16, picture, 0), 1);
    device.position = 0;
    // Frame 0 is due to end at 100 bytes and late at 600.
    EXPECT_EQ(VantDoFrame(video), 0);
    EXPECT_EQ(VantWait(video), 1);
    device.position = 91;
    EXPECT_EQ(VantWait(video), 1);
    device.position = 92;
    EXPECT_EQ(VantWait(video), 0);
    VantNextFrame(video);
    // Frame 1: due at 200, late at 700.
    device.position = 699;
    EXPECT_EQ(VantDoFrame(video), 0);
    EXPECT_EQ(VantWait(video), 0);
    VantNextFrame(video);
    device.position = 800;  // frame 2 is late (at 800)
    EXPECT_EQ(VantDoFrame(video), 1);
    VantSummaryInfo info{};
    VantSummary(video, &info);
    EXPECT_EQ(info.framesSkipped, flags ? 0u : 1u);
    EXPECT_EQ(info.framesPlayed, 3u);
    VantClose(video);
  }
}

TEST_F(SoundTracksTest, DueClockStaysContinuousAcrossTheFold) {
  // 22050 bytes a second at 66 ms: 1455.3 bytes a frame, folded every 176 frames or so.
  device.takeAll = true;
  device.keepTaken = false;
  VantVideo* video = Open({{vntfile::kRatePresent | 22050, 0, {Bytes(23505, 1), {}}}}, 2, VANT_OPEN_TRACK_0, -6600);
  ASSERT_NE(video, nullptr);
  SoundTrack* track = Track(video, 0);
  VantDoFrame(video);
  VantNextFrame(video);
  uint64_t folds = 0, previousBase = 0;
  for (uint64_t frame = 2; frame <= 100001; ++frame) {
    ProcessFrameSound(video);
    // Base and fraction together are exactly the frames' sound so far.
    ASSERT_EQ(track->dueBase * 1024 + track->dueFraction, frame * track->frameBytes) << frame;
    ASSERT_EQ(track->lateThreshold - track->dueFraction, 22050u * 512) << frame;
    ASSERT_GE(track->delivered, track->dueBase + track->dueFraction / 1024) << frame;
    folds += track->dueBase != previousBase;
    previousBase = track->dueBase;
  }
  EXPECT_GT(folds, 500u);
  EXPECT_GT(track->dueBase, uint64_t{1} << 27);
  VantClose(video);
}

TEST_F(SoundTracksTest, SoundOffAndOnAgain) {
  std::vector<std::vector<uint8_t>> frames{Bytes(1100, 1)};
  for (int i = 1; i < 10; ++i) frames.push_back(Bytes(100, static_cast<uint8_t>(i)));
  VantVideo* video = Open({{kRaw1000, 0, frames}});
  ASSERT_NE(video, nullptr);
  SoundTrack* track = Track(video, 0);
  VantDoFrame(video);
  VantNextFrame(video);
  VantDoFrame(video);
  EXPECT_EQ(track->pending, 1200u);

  EXPECT_EQ(VantSoundOnOff(video, 0), 1);
  EXPECT_EQ(device.stops, 1);
  EXPECT_EQ(track->pending, 0u);
  EXPECT_EQ(track->delivered, 0u);
  EXPECT_EQ(track->readPointer, track->ringStart);
  // While off no sound is queued and the clock paces.
  VantNextFrame(video);
  VantDoFrame(video);
  EXPECT_EQ(track->delivered, 0u);

  // Back on mid-video: the due clock starts at the device's position and a frame chunk of
  // silence lies ahead of it.
  device.position = 250;
  EXPECT_EQ(VantSoundOnOff(video, 1), 1);
  EXPECT_EQ(device.starts, 1);
  EXPECT_EQ(track->dueBase, 250u);
  EXPECT_EQ(track->dueFraction, 0u);
  EXPECT_EQ(track->lateThreshold, 1000u * 512);
  EXPECT_EQ(track->delivered, 1100u);
  EXPECT_EQ(PendingBytes(track), std::vector<uint8_t>(1100, 0x80));

  VantClose(video);
}

// A track whose device cannot start again leaves the sound off: nothing is queued for it and
// the clock paces the frames, instead of every wait waiting for sound that never plays.
TEST_F(SoundTracksTest, SoundThatCannotStartAgainStaysOffAndTheClockPaces) {
  std::vector<std::vector<uint8_t>> frames(10, Bytes(100, 3));
  FakeClock clock;
  videoClock = &clock;
  VantVideo* video = Open({{kRaw1000, 0, frames}, {kRaw1000, 0, frames}});
  ASSERT_NE(video, nullptr);
  VantDoFrame(video);
  VantNextFrame(video);
  EXPECT_EQ(VantSoundOnOff(video, 0), 1);
  device.refuseStart = true;
  EXPECT_EQ(VantSoundOnOff(video, 1), 0);
  EXPECT_EQ(video->soundOff, 1u);
  EXPECT_EQ(device.stops, 2);  // both tracks once, when the sound went off

  for (int frame = 0; frame < 3; ++frame) {
    VantDoFrame(video);
    EXPECT_EQ(Track(video, 0)->delivered, 0u);
    const uint64_t start = clock.Now();
    int waits = 0;
    while (VantWait(video) && waits < 1000) {
      clock.Advance(1);
      ++waits;
    }
    EXPECT_EQ(clock.Now() - start, 100u) << frame;  // one period of 100 ms
    VantNextFrame(video);
  }
  VantClose(video);
}

TEST_F(SoundTracksTest, VolumeAndPanAreLimitedAndReachOpenTracks) {
  VantVideo* video = Open({{kRaw1000, 0, {Bytes(100, 1)}}}, 1, VANT_OPEN_TRACK_0);
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(VantVolumePan(video, VANT_OPEN_TRACK_0, 0x30000, 0x20000), 1);
  EXPECT_EQ(device.lastVolume, 0x10000u);
  EXPECT_EQ(device.lastPan, 0x10000u);
  EXPECT_EQ(VantVolumePan(video, VANT_OPEN_TRACK_0 << 1, 0x100, 0x100), 0);
  EXPECT_EQ(device.lastVolume, 0x10000u);
  EXPECT_EQ(VantVolumePan(nullptr, VANT_OPEN_TRACK_0, 1, 1), 0);
  VantClose(video);
}

TEST_F(SoundTracksTest, FirstFrameAgainResetsTracksOfThisVideoOnly) {
  std::vector<std::vector<uint8_t>> frames{Bytes(1100, 1), Bytes(100, 2), Bytes(100, 3)};
  VantVideo* video = Open({{kRaw1000, 0, frames}}, 3);
  ASSERT_NE(video, nullptr);
  SoundTrack* track = Track(video, 0);
  VantDoFrame(video);
  VantNextFrame(video);
  VantDoFrame(video);
  VantGoto(video, 1);
  EXPECT_EQ(device.resets, 1);
  EXPECT_EQ(track->delivered, 0u);
  EXPECT_EQ(track->pending, 0u);
  EXPECT_EQ(track->dueBase + track->dueFraction, 0u);
  VantDoFrame(video);
  EXPECT_EQ(PendingBytes(track), frames[0]);

  // With another video's track open the device clock is shared: no reset.
  VantVideo* other = Open({{kRaw1000, 0, frames}}, 3, VANT_OPEN_TRACK_0, kTenthSecond, "other.vnt");
  ASSERT_NE(other, nullptr);
  VantNextFrame(video);
  VantDoFrame(video);
  VantGoto(video, 1);
  EXPECT_EQ(device.resets, 1);
  EXPECT_EQ(track->delivered, 1200u);
  VantClose(other);
  VantClose(video);
}

TEST_F(SoundTracksTest, TrackDataOfRawChunksIsCappedAtTheHeadersAudioSize) {
  std::vector<uint8_t> a = Bytes(601, 1);
  // Frame 1 holds an empty chunk (length 4), frame 2 none; the header claims 500 bytes at most.
  VantVideo* video = Open({{kRaw1000, 500, {a, std::vector<uint8_t>{}, {}}}}, 3, 0);
  ASSERT_NE(video, nullptr);
  std::vector<uint8_t> buffer(500, 0xEE);
  EXPECT_EQ(VantGetTrackData(video, buffer.data(), VANT_OPEN_TRACK_0), 500u);
  EXPECT_EQ(buffer, std::vector<uint8_t>(a.begin(), a.begin() + 500));
  EXPECT_EQ(VantGetTrackData(video, buffer.data(), 0), 0u);
  EXPECT_EQ(VantGetTrackData(nullptr, buffer.data(), VANT_OPEN_TRACK_0), 0u);
  VantNextFrame(video);
  std::fill(buffer.begin(), buffer.end(), 0xEE);
  EXPECT_EQ(VantGetTrackData(video, buffer.data(), VANT_OPEN_TRACK_0), 0u);
  EXPECT_EQ(buffer, std::vector<uint8_t>(500, 0xEE));
  VantNextFrame(video);
  EXPECT_EQ(VantGetTrackData(video, buffer.data(), VANT_OPEN_TRACK_0), 0u);
  VantClose(video);
}

}  // namespace
