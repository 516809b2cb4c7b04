#pragma once
// The Player page's commands, built from its settings record alone: the player's switches (also
// bound into self-playing programs), the player's command, and the test for a video by its
// magic.
#include <cstdint>
#include <string>

#include "frontend/core/settings.h"

namespace frontend {

// All seven sound tracks: the player's default, which needs no switch.
inline constexpr int32_t kAllTracks = 127;

// The switches in the player's fixed order, joined without blanks.
std::string PlayerSwitches(const PlaySettings& settings);

// Why the player would misread a number, or "" when every number is fine.
std::string CheckPlaySettings(const PlaySettings& settings);

// "VantPly " + the video (quoted, without its directory when it lies in `directory`) + " " +
// the switches.
std::string BuildPlayCommand(const std::string& video, const std::string& directory, const std::string& switches);

// Whether the file begins with "VNT2"; an unreadable or shorter file does not.
bool HasVideoMagic(const std::string& path);

// The Defaults button: all tracks, every list at its first item, every box off and every
// number empty; the file list's state and the page shown stay.
void ResetPlayOptions(PlaySettings& settings);

}  // namespace frontend
