#pragma once
// What the fault tests run the programs on: small generated inputs, made once per test program.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "compressor/demo/demo_clip.h"
#include "testsupport/file_contents.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"

namespace faultstest {

namespace fs = std::filesystem;

using testsupport::ReadFileText;

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every name in the folder with what it holds (a link as what it points to).
inline std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    files[name] = entry.is_symlink() ? "-> " + fs::read_symlink(entry.path()).string() : ReadFileText(entry.path());
  }
  return files;
}

inline std::string Names(const std::map<std::string, std::string>& files) {
  std::string names;
  for (const auto& [name, bytes] : files) names += name + " (" + std::to_string(bytes.size()) + ") ";
  return names;
}

// A WAV file of a rising and falling tone, 8-bit mono.
inline std::string Wav(uint32_t rate, uint32_t samples) {
  std::vector<uint8_t> data(samples);
  for (uint32_t i = 0; i < samples; ++i) data[i] = static_cast<uint8_t>(128 + ((i * 7) % 64) - 32);
  const std::vector<uint8_t> bytes = testsupport::WavBytes(rate, 1, 8, data);
  return std::string(bytes.begin(), bytes.end());
}

// Bytes that do not compress, so that a copy takes several blocks.
inline std::string Noise(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 12345;
  for (char& c : bytes) c = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
  return bytes;
}

// Inputs made once per test program: the same generated clip for every tool.
class Materials {
 public:
  static const Materials& Get() {
    static const Materials materials;
    return materials;
  }
  std::string Path(const std::string& name) const { return folder_ / name; }

 private:
  Materials() {
    democlip::WriteAvi(Path("clip.avi"), democlip::MakeDemoClip(48, 32, 6, 10));
    WriteFile(Path("tone.wav"), Wav(11025, 20000));
    WriteFile(Path("big.bin"), Noise(100000));
    const testsupport::ProgramResult video =
        testsupport::RunProgram("vantcw", {Path("clip.avi"), Path("clip.vnt"), "/O"});
    const testsupport::ProgramResult flic = testsupport::RunProgram("picprw", {Path("clip.avi"), Path("clip.flc"), "/O"});
    const testsupport::ProgramResult pictures =
        testsupport::RunProgram("picprw", {Path("clip.avi"), Path("frame.bmp"), "/O"});
    // A copy of the player that plays the clip it holds.
    const testsupport::ProgramResult bound =
        testsupport::RunProgram("vntcompi", {testsupport::ProgramPath("vantplw"), Path("bound.exe"), "/J", Path("clip.vnt")});
    if (video.exitCode != 0 || flic.exitCode != 0 || pictures.exitCode != 0 || bound.exitCode != 0) {
      ADD_FAILURE() << "the materials could not be made:\n"
                    << video.errors << flic.errors << pictures.errors << bound.errors;
    }
  }
  testsupport::ScratchDirectory folder_;
};

}  // namespace faultstest
