#pragma once
// A plain tone on the sound device, where a program of old would have sounded the PC speaker: a
// square wave of one frequency, on until it is stopped. Built on SDL2 audio; the samples are made
// in SDL's audio callback, so nothing needs feeding while the tone sounds.
#include <cstddef>
#include <cstdint>

namespace platform {

inline constexpr uint32_t kToneRate = 22050;
// The lowest frequency the speaker's timer can make; lower ones sound as this.
inline constexpr uint32_t kLowestTone = 19;

// 8-bit unsigned samples of a square wave: the high level for the first half of each period, the
// low level for the second. `phase` carries the place in the period from one call to the next
// (32 bits stand for one period). A frequency of 0, or one of half the rate or more (which the
// samples cannot carry), gives silence.
void FillSquareWave(uint8_t* samples, size_t count, uint32_t frequency, uint32_t rate, uint32_t& phase);

struct ToneOut;

// Starts the tone (a frequency below kLowestTone sounds as kLowestTone). Null when no sound
// device can be opened.
ToneOut* ToneOutStart(uint32_t frequency);

// Stops the tone and closes its device. Null is ignored.
void ToneOutStop(ToneOut* tone);

}  // namespace platform
