#include <fstream>
#include <string>

#include "fuzz/seeds/seed_folder.h"

namespace fuzzseeds {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<uint8_t> ReadHex(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) CannotMake("the regression input " + path.string());
  std::vector<uint8_t> bytes;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '#') continue;
    int high = -1;
    for (char c : line) {
      if (c == ' ' || c == '\t' || c == '\r') continue;
      const int digit = HexDigit(c);
      if (digit < 0) CannotMake("the regression input " + path.string() + " (not hexadecimal)");
      if (high < 0) {
        high = digit;
      } else {
        bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
        high = -1;
      }
    }
    if (high >= 0) CannotMake("the regression input " + path.string() + " (an odd digit on a line)");
  }
  return bytes;
}

}  // namespace

void WriteRegressionSeeds(const SeedFolders& folders, const std::filesystem::path& regressions) {
  if (!std::filesystem::is_directory(regressions)) return;
  for (const auto& target : std::filesystem::directory_iterator(regressions)) {
    if (!target.is_directory()) continue;
    for (const auto& input : std::filesystem::directory_iterator(target.path())) {
      if (input.path().extension() != ".hex") continue;
      folders.Write(target.path().filename().string(), "regression-" + input.path().stem().string(),
                    ReadHex(input.path()));
    }
  }
}

}  // namespace fuzzseeds
