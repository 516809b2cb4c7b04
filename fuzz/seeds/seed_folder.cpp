#include "fuzz/seeds/seed_folder.h"

#include <fstream>
#include <stdexcept>

namespace fuzzseeds {

void CannotMake(const std::string& what) { throw std::runtime_error("cannot make " + what); }

std::string SeedFolders::Path(const std::string& target, const std::string& name) const {
  std::filesystem::create_directories(root_ / target);
  return (root_ / target / name).string();
}

void SeedFolders::Write(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) const {
  std::ofstream out(Path(target, name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) CannotMake(Path(target, name));
}

void SeedFolders::WriteText(const std::string& target, const std::string& name, const std::string& text) const {
  Write(target, name, std::vector<uint8_t>(text.begin(), text.end()));
}

void SeedFolders::CopyTo(const std::string& from, const std::string& name, const std::string& to) const {
  std::filesystem::copy_file(Path(from, name), Path(to, name), std::filesystem::copy_options::overwrite_existing);
}

}  // namespace fuzzseeds
