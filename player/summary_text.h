#pragma once
// The text of the player's summary box.
#include <cstdint>
#include <string>

#include "playback/vant.h"

// n / d with one decimal, "12.3"; a zero d counts as 1.
std::string RateText(uint64_t numerator, uint64_t denominator);

// The statistics of the last video played, with the screen colours and the blitter name of the
// last display buffer.
std::string BuildSummaryText(const VantSummaryInfo& summary, int32_t screenColors,
                             const std::string& blitterName);
