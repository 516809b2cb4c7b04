#pragma once
// Where the seed writers put their files: one folder per fuzz target under the corpus folder.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzzseeds {

class SeedFolders {
 public:
  explicit SeedFolders(std::filesystem::path root) : root_(std::move(root)) {}

  // The name of a seed file of the target (its folder is made when needed).
  std::string Path(const std::string& target, const std::string& name) const;
  void Write(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) const;
  void WriteText(const std::string& target, const std::string& name, const std::string& text) const;
  // The same file as a seed of another target too.
  void CopyTo(const std::string& from, const std::string& name, const std::string& to) const;

 private:
  std::filesystem::path root_;
};

// Little-endian building of the seeds that no writer of ours makes.
struct Bytes {
  std::vector<uint8_t> out;
  Bytes& U8(uint32_t v) { out.push_back(static_cast<uint8_t>(v)); return *this; }
  Bytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  Bytes& U32(uint32_t v) { return U16(v).U16(v >> 16); }
  Bytes& Text(const std::string& text) {
    for (char c : text) out.push_back(static_cast<uint8_t>(c));
    return *this;
  }
};

// Each writer fills the folders of the targets it makes seeds for and throws
// std::runtime_error when a file cannot be made.
void WriteMediaSeeds(const SeedFolders& folders);    // vnt, flic, avi, sound, rawb
void WritePictureSeeds(const SeedFolders& folders);  // bmp, pcx, tga, gif, jpeg, tiff
void WriteTextSeeds(const SeedFolders& folders);     // list, hints, script, params, settings, report

// The inputs kept from fuzzing runs (regressions/<target>/<name>.hex: hexadecimal bytes, '#'
// lines are notes) into the folders as regression-<name>.
void WriteRegressionSeeds(const SeedFolders& folders, const std::filesystem::path& regressions);

[[noreturn]] void CannotMake(const std::string& what);

}  // namespace fuzzseeds
