// Writes the seed corpus of every fuzz target, and the inputs kept from fuzzing runs.
// Usage: fuzz_seed_corpus <corpus folder> <regressions folder>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "fuzz/seeds/seed_folder.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: %s <corpus folder> <regressions folder>\n", argv[0]);
    return 1;
  }
  // The compressor runs here on its console face, whatever display the build has.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("QT_QPA_PLATFORM");
  try {
    std::filesystem::remove_all(argv[1]);  // nothing stale stays in the corpus
    const fuzzseeds::SeedFolders folders(argv[1]);
    fuzzseeds::WriteMediaSeeds(folders);
    fuzzseeds::WritePictureSeeds(folders);
    fuzzseeds::WriteTextSeeds(folders);
    fuzzseeds::WriteRegressionSeeds(folders, argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
    return 1;
  }
  return 0;
}
