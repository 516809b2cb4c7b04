// Videos and sound made by the toolkit's own writers: the demo clip's AVI writer, the compressor
// (in-process, on its console face), the flic writer and the WAV header; raw frame files, which
// no tool writes, by hand.
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "compressor/compressor_main.h"
#include "compressor/demo/demo_clip.h"
#include "fuzz/seeds/seed_folder.h"
#include "tools/sound/wav_header.h"
#include "toolsupport/picture/flic_writer.h"

namespace fuzzseeds {
namespace {

// The compressor's status lines would only clutter the build.
int CompressQuietly(const std::string& commandText) {
  const int kept = dup(2);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) dup2(null, 2);
  const int result = compressor::CompressorMain(commandText);
  if (kept >= 0) dup2(kept, 2);
  if (kept >= 0) close(kept);
  if (null >= 0) close(null);
  return result;
}

void WriteAvis(const SeedFolders& folders) {
  const struct {
    const char* name;
    democlip::Clip clip;
  } clips[] = {
      {"clip8.avi", democlip::MakeDemoClip(16, 12, 3, 10, 4000)},
      {"clip16.avi", democlip::MakeDemoClip(10, 6, 2, 5, 3000, 16, 2)},
  };
  for (const auto& each : clips) {
    if (!democlip::WriteAvi(folders.Path("avi", each.name), each.clip)) CannotMake(each.name);
    folders.CopyTo("avi", each.name, "sound");
  }
}

void WriteVideos(const SeedFolders& folders) {
  const std::string input = folders.Path("avi", "clip8.avi");
  const struct {
    const char* name;
    const char* switches;
  } videos[] = {
      {"clip.vnt", ""},                  // exact sound
      {"lossy.vnt", " /L3"},             // coded sound
      {"ring.vnt", " /G /N0 /K0 /L-1"},  // a ring frame, no sound
      {"interlaced.vnt", " /Z1 /N30"},
  };
  for (const auto& each : videos) {
    const std::string output = folders.Path("vnt", each.name);
    if (CompressQuietly("\"" + input + "\" \"" + output + "\"" + each.switches) != 0) CannotMake(output);
    folders.CopyTo("vnt", each.name, "sound");
  }
  // One video too long to be preloaded whole, so that playing it streams through the ring. Its
  // input is too large for a seed of the AVI target and is made aside.
  const std::string longInput = folders.Path("vnt", "long.avi");
  if (!democlip::WriteAvi(longInput, democlip::MakeDemoClip(48, 32, 24, 8, 4000))) CannotMake(longInput);
  const std::string output = folders.Path("vnt", "long.vnt");
  const int result = CompressQuietly("\"" + longInput + "\" \"" + output + "\" /N30");
  std::filesystem::remove(longInput);
  if (result != 0) CannotMake(output);
}

void WriteFlic(const SeedFolders& folders) {
  const int width = 10, height = 6;
  FlicWriter writer;
  FlicWriterInit(writer);
  const std::string path = folders.Path("flic", "clip.flc");
  if (!CreateFlic(writer, path, width, height, -6667)) CannotMake(path);
  std::array<uint8_t, 768> palette = democlip::DemoPalette();
  std::vector<uint8_t> pixels(width * height);
  for (int frame = 0; frame < 3; ++frame) {
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 7 + frame * 40) % 256);
    palette[3 * frame] ^= 0x55;  // a palette change every frame
    WriteFlicFrame(writer, palette.data(), pixels.data());
  }
  const bool written = CloseFlic(writer) > 0 && !writer.error;
  FlicWriterFree(writer);
  if (!written) CannotMake(path);
}

void WriteWavs(const SeedFolders& folders) {
  const struct {
    const char* name;
    uint32_t rate, bits, channels;
  } tones[] = {{"tone8.wav", 8000, 8, 1}, {"tone16.wav", 11025, 16, 2}};
  for (const auto& each : tones) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < 400; ++i) {
      const double value = std::sin(i * 0.3) * 0.5;
      for (uint32_t c = 0; c < each.channels; ++c) {
        if (each.bits == 8) {
          samples.push_back(static_cast<uint8_t>(128 + std::lround(value * 127)));
        } else {
          const auto v = static_cast<int16_t>(std::lround(value * 32767));
          samples.push_back(static_cast<uint8_t>(v & 0xFF));
          samples.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
        }
      }
    }
    const auto header = soundtool::MakeWavHeader(each.rate, each.bits, each.channels, samples.size());
    std::vector<uint8_t> file;
    file.reserve(header.size() + samples.size());
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), samples.begin(), samples.end());
    folders.Write("sound", each.name, file);
  }
}

// "RAWB", frames, width, height, period, then records: tag 0 and a palette, tag 1 and a frame.
void WriteRawFrames(const SeedFolders& folders) {
  const uint32_t width = 6, height = 3;
  Bytes raw;
  raw.Text("RAWB").U32(2).U32(width).U32(height).U32(6667);
  raw.U32(0);
  for (int i = 0; i < 768; ++i) raw.U8(static_cast<uint32_t>(i * 5));
  for (uint32_t frame = 0; frame < 2; ++frame) {
    raw.U32(1);
    for (uint32_t i = 0; i < width * height; ++i) raw.U8(i * 11 + frame);
  }
  folders.Write("rawb", "two_frames.raw", raw.out);
}

}  // namespace

void WriteMediaSeeds(const SeedFolders& folders) {
  WriteAvis(folders);
  WriteVideos(folders);
  WriteFlic(folders);
  WriteWavs(folders);
  WriteRawFrames(folders);
}

}  // namespace fuzzseeds
