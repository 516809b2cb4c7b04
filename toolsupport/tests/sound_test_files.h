#pragma once
// Hand-made WAV and AVI files for the sound input tests.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "toolsupport/tests/media_test_files.h"

namespace testing_files {

struct ExtraChunk {
  std::string id;
  std::vector<uint8_t> data;  // odd sizes get their pad byte
};

// A RIFF WAVE file: the extra chunks before "fmt ", then "data" with the bytes given. The data
// chunk claims `declaredDataSize` bytes when that is not negative, else the real size.
inline std::vector<uint8_t> MakeWav(uint32_t rate, uint32_t bits, uint32_t channels, const std::vector<uint8_t>& data,
                                    const std::vector<ExtraChunk>& before = {}, uint32_t formatTag = 1,
                                    int64_t declaredDataSize = -1) {
  ByteWriter w;
  w.Text("RIFF").U32(0).Text("WAVE");
  for (const ExtraChunk& chunk : before) {
    w.Text(chunk.id).U32(static_cast<uint32_t>(chunk.data.size())).Bytes(chunk.data);
    if (chunk.data.size() & 1) w.U8(0);
  }
  const uint32_t block = bits / 8 * channels;
  w.Text("fmt ").U32(16).U16(formatTag).U16(channels).U32(rate).U32(rate * block).U16(block).U16(bits);
  w.Text("data").U32(declaredDataSize < 0 ? static_cast<uint32_t>(data.size()) : static_cast<uint32_t>(declaredDataSize));
  w.Bytes(data);
  w.PatchU32(4, static_cast<uint32_t>(w.size() - 8));
  return w.bytes;
}

// An AVI file with one 8-bit video stream of `frames` 4x4 frames and one PCM sound stream whose
// data is split into the given pieces, interleaved with the frames; the second half of the
// pieces sits inside a "rec " list.
inline std::vector<uint8_t> MakeAvi(uint32_t periodMicroseconds, uint32_t frames, uint32_t rate, uint32_t bits,
                                    uint32_t channels, const std::vector<std::vector<uint8_t>>& soundPieces,
                                    uint32_t soundFormatTag = 1) {
  ByteWriter w;
  w.Text("RIFF").U32(0).Text("AVI ");
  w.Text("LIST").U32(0).Text("hdrl");
  const size_t hdrl = w.size() - 12;
  w.Text("avih").U32(56).U32(periodMicroseconds);
  for (int i = 0; i < 13; ++i) w.U32(i == 3 ? frames : 0);
  // Video stream.
  w.Text("LIST").U32(4 + 8 + 56 + 8 + 40).Text("strl");
  w.Text("strh").U32(56).Text("vids").Text("DIB ").U32(0).U32(0).U32(0);
  w.U32(periodMicroseconds).U32(1000000).U32(0).U32(frames);
  for (int i = 0; i < 5; ++i) w.U32(0);
  w.Text("strf").U32(40).U32(40).U32(4).U32(4).U16(1).U16(8).U32(0).U32(16);
  for (int i = 0; i < 4; ++i) w.U32(0);
  // Sound stream.
  const uint32_t block = bits / 8 * channels;
  w.Text("LIST").U32(4 + 8 + 56 + 8 + 16).Text("strl");
  w.Text("strh").U32(56).Text("auds").U32(0).U32(0).U32(0).U32(0);
  w.U32(1).U32(rate).U32(0).U32(0);
  for (int i = 0; i < 5; ++i) w.U32(0);
  w.Text("strf").U32(16).U16(soundFormatTag).U16(channels).U32(rate).U32(rate * block).U16(block).U16(bits);
  w.PatchU32(hdrl + 4, static_cast<uint32_t>(w.size() - hdrl - 8));

  w.Text("LIST").U32(0).Text("movi");
  const size_t movi = w.size() - 12;
  size_t rec = 0;
  for (size_t i = 0; i < std::max<size_t>(frames, soundPieces.size()); ++i) {
    if (i == soundPieces.size() / 2) {
      w.Text("LIST").U32(0).Text("rec ");
      rec = w.size() - 12;
    }
    if (i < frames) w.Text("00db").U32(16).Bytes(std::vector<uint8_t>(16, static_cast<uint8_t>(i)));
    if (i < soundPieces.size()) {
      w.Text("01wb").U32(static_cast<uint32_t>(soundPieces[i].size())).Bytes(soundPieces[i]);
      if (soundPieces[i].size() & 1) w.U8(0);
    }
  }
  if (rec) w.PatchU32(rec + 4, static_cast<uint32_t>(w.size() - rec - 8));
  w.PatchU32(movi + 4, static_cast<uint32_t>(w.size() - movi - 8));
  w.PatchU32(4, static_cast<uint32_t>(w.size() - 8));
  return w.bytes;
}

}  // namespace testing_files
