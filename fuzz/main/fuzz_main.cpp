// The libFuzzer program of one target; VANT_FUZZ_TARGET names it at build time.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_targets.h"

namespace {

fuzz::FuzzEntry Entry() {
  static const fuzz::FuzzTarget* target = fuzz::FindFuzzTarget(VANT_FUZZ_TARGET);
  if (target == nullptr) {
    std::fprintf(stderr, "No fuzz target is called %s.\n", VANT_FUZZ_TARGET);
    std::abort();
  }
  return target->entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return Entry()(data, size); }
