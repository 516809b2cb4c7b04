// Every file of every target's corpus (the generated seeds and the kept regression inputs)
// through the target's entry, as the fuzzer would give it; run under the sanitizers this is the
// fuzzing of CI.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "testsupport/file_contents.h"

namespace {

namespace fs = std::filesystem;

class CorpusReplay : public testing::TestWithParam<fuzz::FuzzTarget> {};

TEST_P(CorpusReplay, EveryCorpusFileRunsThroughTheEntry) {
  const fs::path folder = fs::path(VANT_FUZZ_CORPUS_DIR) / GetParam().name;
  ASSERT_TRUE(fs::is_directory(folder)) << folder << " holds no seeds";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::vector<uint8_t> bytes = testsupport::ReadFileBytes(entry.path());
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(GetParam().entry(bytes.data(), bytes.size()), 0);
    ++files;
  }
  EXPECT_GT(files, 0);
  // The empty input and a single byte reach every reader's first refusal.
  const uint8_t byte = 0;
  EXPECT_EQ(GetParam().entry(nullptr, 0), 0);
  EXPECT_EQ(GetParam().entry(&byte, 1), 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay,
                         testing::ValuesIn(fuzz::FuzzTargets().begin(), fuzz::FuzzTargets().end()),
                         [](const testing::TestParamInfo<fuzz::FuzzTarget>& target) {
                           return std::string(target.param.name);
                         });

// A regression input in a folder no target has would never be replayed.
TEST(Regressions, EveryFolderNamesATarget) {
  const fs::path regressions = fs::path(VANT_FUZZ_SOURCE_DIR) / "regressions";
  for (const auto& entry : fs::directory_iterator(regressions)) {
    if (entry.is_directory()) {
      EXPECT_NE(fuzz::FindFuzzTarget(entry.path().filename().string()), nullptr) << entry.path();
    }
  }
}

}  // namespace
