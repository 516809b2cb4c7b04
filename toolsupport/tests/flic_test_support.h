#pragma once
// Helpers of the flic tests: a scratch folder, a walker over the frames and chunks of a flic
// file, and an independent reader (Python's imaging library) run as a separate process.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace flictest {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vant-flic-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::vector<uint8_t> ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

struct ChunkInfo {
  uint16_t type;
  size_t dataOffset, dataSize;
};
struct FrameInfo {
  size_t offset, size;
  std::vector<ChunkInfo> chunks;
};

// Every frame after the 128-byte header, to the end of the file.
inline std::vector<FrameInfo> WalkFrames(const std::vector<uint8_t>& file) {
  std::vector<FrameInfo> frames;
  size_t at = 128;
  while (at + 16 <= file.size()) {
    FrameInfo f{at, Le32(file, at), {}};
    if (Le16(file, at + 4) != 0xF1FA || f.size < 16 || at + f.size > file.size()) break;
    size_t c = at + 16;
    for (uint32_t i = 0; i < Le16(file, at + 6) && c + 6 <= at + f.size; ++i) {
      uint32_t size = Le32(file, c);
      f.chunks.push_back({static_cast<uint16_t>(Le16(file, c + 4)), c + 6, size - 6});
      c += size;
    }
    frames.push_back(f);
    at += f.size;
  }
  return frames;
}

// A python3 that has the imaging library, or empty.
inline std::string PythonWithImaging() {
  for (const char* candidate : {"/usr/bin/python3", "python3"}) {
    std::string probe = std::string(candidate) + " -c 'import PIL.FliImagePlugin' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) return candidate;
  }
  return {};
}

// Decodes every frame the header counts with the imaging library; the frames' pixel indices
// one after the other. False when the reader failed.
inline bool ReadWithImaging(const std::string& python, const std::string& flic, const std::string& scratch,
                            std::vector<uint8_t>& pixels) {
  std::string script = scratch + ".py", output = scratch + ".raw";
  std::ofstream(script) << "import sys\n"
                           "from PIL import Image\n"
                           "im = Image.open(sys.argv[1])\n"
                           "with open(sys.argv[2], 'wb') as out:\n"
                           "    for i in range(im.n_frames):\n"
                           "        im.seek(i)\n"
                           "        out.write(im.tobytes())\n";
  std::string command = python + " '" + script + "' '" + flic + "' '" + output + "'";
  if (std::system(command.c_str()) != 0) return false;
  pixels = ReadAll(output);
  return true;
}

}  // namespace flictest
