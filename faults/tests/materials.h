#pragma once
// What the fault tests run the programs on: small generated inputs, made once per test program.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "compressor/demo/demo_clip.h"
#include "testsupport/run_program.h"
#include "testsupport/scratch_directory.h"

namespace faultstest {

namespace fs = std::filesystem;

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every name in the folder with what it holds (a link as what it points to).
inline std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    files[name] = entry.is_symlink() ? "-> " + fs::read_symlink(entry.path()).string() : ReadFile(entry.path());
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
  std::string data;
  for (uint32_t i = 0; i < samples; ++i) data += static_cast<char>(128 + ((i * 7) % 64) - 32);
  auto le = [](uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
    return text;
  };
  return "RIFF" + le(36 + samples, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(rate, 4) + le(rate, 4) +
         le(1, 2) + le(8, 2) + "data" + le(samples, 4) + data;
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
    if (video.exitCode != 0 || flic.exitCode != 0 || pictures.exitCode != 0) {
      ADD_FAILURE() << "the materials could not be made:\n" << video.errors << flic.errors << pictures.errors;
    }
  }
  testsupport::ScratchDirectory folder_;
};

}  // namespace faultstest
