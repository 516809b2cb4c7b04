#pragma once
// One entry per reader of outside data: each takes any bytes as the reader's input and goes
// through the reader's public calls as a program would. They return 0, as libFuzzer expects;
// a fault shows as a crash or a sanitizer report. The corpus replay test and the libFuzzer
// programs (fuzz/main) both reach them through the table.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace fuzz {

int FuzzVnt(const uint8_t* data, size_t size);        // .vnt: every frame and every track
int FuzzFlic(const uint8_t* data, size_t size);       // FLI and FLC animations
int FuzzAvi(const uint8_t* data, size_t size);        // AVI video frames
int FuzzSound(const uint8_t* data, size_t size);      // WAV, raw PCM, AVI and .vnt sound
int FuzzBmp(const uint8_t* data, size_t size);        // pictures through the image layer
int FuzzPcx(const uint8_t* data, size_t size);
int FuzzTga(const uint8_t* data, size_t size);
int FuzzGif(const uint8_t* data, size_t size);
int FuzzJpeg(const uint8_t* data, size_t size);
int FuzzTiff(const uint8_t* data, size_t size);
int FuzzRawb(const uint8_t* data, size_t size);       // raw frame files
int FuzzListFile(const uint8_t* data, size_t size);   // list files and series names
int FuzzHints(const uint8_t* data, size_t size);      // the compressor's hint file
int FuzzScript(const uint8_t* data, size_t size);     // the script compiler
int FuzzParams(const uint8_t* data, size_t size);     // a script command's parameter text
int FuzzSettings(const uint8_t* data, size_t size);   // the front end's settings file
int FuzzReport(const uint8_t* data, size_t size);     // report channel requests and replies

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

struct FuzzTarget {
  const char* name;  // the corpus folder and the program fuzz_<name>
  FuzzEntry entry;
};

std::span<const FuzzTarget> FuzzTargets();
// Null when no target has the name.
const FuzzTarget* FindFuzzTarget(std::string_view name);

}  // namespace fuzz
