#pragma once
// The compressor's temporary block file: a fresh name in the output's folder, created
// exclusively so that no existing file is ever taken over.
#include <cstdint>
#include <string>

namespace compressor {

// 12 characters, character i = 'A' + bits 4i to 4i + 3 of number; the prefix written over the
// first characters and character 8 made '.'; the directory (with its trailing '/', or empty)
// in front.
std::string MakeTempName(uint64_t number, const std::string& prefix, const std::string& directory);

// Creates a new empty file named by MakeTempName from number; on a clash with an existing file
// the next name is tried. Returns the name, or an empty text when no file could be created.
std::string CreateTempFile(uint64_t number, const std::string& prefix, const std::string& directory);

}  // namespace compressor
