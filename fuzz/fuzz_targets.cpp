#include "fuzz/fuzz_targets.h"

#include <array>

namespace fuzz {
namespace {

constexpr std::array<FuzzTarget, 17> kTargets{{
    {"vnt", FuzzVnt},
    {"flic", FuzzFlic},
    {"avi", FuzzAvi},
    {"sound", FuzzSound},
    {"bmp", FuzzBmp},
    {"pcx", FuzzPcx},
    {"tga", FuzzTga},
    {"gif", FuzzGif},
    {"jpeg", FuzzJpeg},
    {"tiff", FuzzTiff},
    {"rawb", FuzzRawb},
    {"list", FuzzListFile},
    {"hints", FuzzHints},
    {"script", FuzzScript},
    {"params", FuzzParams},
    {"settings", FuzzSettings},
    {"report", FuzzReport},
}};

}  // namespace

std::span<const FuzzTarget> FuzzTargets() { return kTargets; }

const FuzzTarget* FindFuzzTarget(std::string_view name) {
  for (const FuzzTarget& target : kTargets) {
    if (name == target.name) return &target;
  }
  return nullptr;
}

}  // namespace fuzz
