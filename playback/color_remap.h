#pragma once
// Mapping the video's colours onto another palette.
#include <cstdint>

// Fills `table` with, for each of the 256 colours of `video` (red, green, blue), the index of the
// nearest of the first `count` (1 to 256) entries of `target`, laid out as `layoutFlags` say
// (the VANT_COLORS_ flags). Each search starts at entry i mod count and wraps around, so the
// entry with the colour's own index wins a tie and otherwise the nearest after it.
void BuildColorTranslation(const uint8_t video[256][3], const uint8_t* target, uint32_t count,
                           uint32_t layoutFlags, uint8_t table[256]);
