#pragma once
// Playing a video through the playback calls the way a player does, into a memory picture.
#include <string>

// Plays every frame of the video at `path` once, paced by its frame rate, and prints what each
// frame changed and the summary. With `picturePath`, the last picture is written there as a
// PPM file through the video's palette. Returns false when the video cannot be opened.
bool PlayFile(const std::string& path, const std::string& picturePath);
