#pragma once
// The stored command text of a bound player. A reserved stretch of the program's initialized
// data, between the markers "SELFPLAY" and "VANTREL!", holds a command text that the binder
// writes into a copy of the player; an unbound player's text is all zero bytes. Videos stored
// in the program's own file are named by a ':' and their byte offset in it.
#include <optional>
#include <string>

// The stored text, empty in an unbound player.
std::string StoredCommandText();

// Opens the video file named ":offset" (an optional '-', then decimal digits) inside the
// program's own file and positions the descriptor at the offset. -1 when that cannot be done.
int OpenOwnFileVideo(const std::string& name);

// Tests: a stored text and an own file of their choosing; nullopt goes back to the real ones.
void SetStoredCommandTextForTesting(std::optional<std::string> text);
void SetOwnFileForTesting(std::optional<std::string> path);
