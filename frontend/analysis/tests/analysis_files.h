#pragma once
// .vnt files as far as the analysis reads them: a header and the frame-size table.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "playback/video_file_format.h"

namespace frontend::testing {

// A header with this frame-rate word and frame count, then the sizes (fewer than the count
// makes a table cut short), then `tail` zero bytes.
inline void WriteAnalysisFile(const std::string& path, int32_t frameRate, const std::vector<uint32_t>& sizes,
                              int64_t declaredFrames = -1, size_t tail = 0) {
  VideoFileHeader header{};
  for (int i = 0; i < 4; ++i) header.magic[i] = vntfile::kMagic[i];
  header.width = 320;
  header.height = 200;
  header.frames = static_cast<uint32_t>(declaredFrames < 0 ? int64_t(sizes.size()) : declaredFrames);
  header.frameRate = frameRate;
  std::vector<uint8_t> bytes(vntfile::kHeaderSize + 4 * sizes.size() + tail, 0);
  vntfile::SerializeHeader(header, bytes.data());
  for (size_t i = 0; i < sizes.size(); ++i) vntfile::StoreLE32(bytes.data() + vntfile::kHeaderSize + 4 * i, sizes[i]);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace frontend::testing
