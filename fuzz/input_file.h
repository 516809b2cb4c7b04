#pragma once
// The fuzz input as a file, for readers that take only a name. Each process has its own file
// per extension, made under $TMPDIR (or /tmp) with a unique name and rewritten for every input,
// so runs side by side never share one; it is removed when the process ends.
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Writes the bytes to the process's file of that extension (".vnt", ".wav", ...) and returns
// its name; empty when the file cannot be written.
const std::string& WriteInputFile(const uint8_t* data, size_t size, const std::string& extension);

}  // namespace fuzz
