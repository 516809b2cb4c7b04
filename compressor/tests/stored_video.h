#pragma once
// Reading back what the compressor wrote: the file's tables and chunk headers, read without the
// playback library, and scratch folders for the files.
#include <unistd.h>

#include <algorithm>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "playback/vant.h"
#include "playback/video_file_format.h"
#include "testsupport/file_contents.h"

namespace compressor::testing {

// A fresh folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantcw-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// The offset of the last chunk with this four-character id in a RIFF file's bytes; the size
// when there is none.
inline size_t LastChunk(const std::vector<uint8_t>& bytes, const std::string& id) {
  for (size_t at = bytes.size() < 8 ? 0 : bytes.size() - 8; at-- > 0;) {
    if (std::equal(id.begin(), id.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at))) return at;
  }
  return bytes.size();
}

// The container as stored, read without the library.
struct StoredVideo {
  VideoFileHeader header{};
  std::vector<uint32_t> sizes;
  std::vector<uint8_t> types;
  std::vector<uint64_t> offsets;  // of every stored frame
  std::vector<uint8_t> bytes;

  // The sound bytes that the audio chunk of track 0 in frame i holds (0 without one).
  uint32_t SoundBytes(size_t i) const {
    if (!(types[i] & vntfile::TypeAudio(0))) return 0;
    uint64_t at = offsets[i];
    if (types[i] & vntfile::kTypePalette) at += uint64_t{bytes[at]} * 4;
    return vntfile::LoadLE32(&bytes[at + 4]);
  }
  // The first byte of frame i's palette chunk (its length / 4), or 0 without one.
  uint8_t PaletteChunkWords(size_t i) const {
    return (types[i] & vntfile::kTypePalette) ? bytes[offsets[i]] : 0;
  }
};

inline StoredVideo ReadStoredVideo(const std::string& path) {
  StoredVideo video;
  video.bytes = testsupport::ReadFileBytes(path);
  if (video.bytes.size() < vntfile::kHeaderSize) return video;
  video.header = vntfile::ParseHeader(video.bytes.data());
  const uint64_t n = vntfile::StoredFrameCount(video.header);
  if (video.bytes.size() < vntfile::kHeaderSize + 5 * n) return video;
  for (uint64_t i = 0; i < n; ++i) {
    video.sizes.push_back(vntfile::LoadLE32(&video.bytes[vntfile::kHeaderSize + 4 * i]));
    video.types.push_back(video.bytes[vntfile::kHeaderSize + 4 * n + i]);
  }
  uint64_t at = vntfile::FirstFrameOffset(video.header);
  for (uint32_t size : video.sizes) {
    video.offsets.push_back(at);
    at += size;
  }
  return video;
}

}  // namespace compressor::testing
