#include "compressor/temp_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace compressor {

std::string MakeTempName(uint64_t number, const std::string& prefix, const std::string& directory) {
  std::string name(12, 'A');
  for (int i = 0; i < 12; ++i) name[i] = static_cast<char>('A' + ((number >> (4 * i)) & 15));
  name.replace(0, std::min<size_t>(prefix.size(), 12), prefix, 0, 12);
  name[8] = '.';
  return directory + name;
}

std::string CreateTempFile(uint64_t number, const std::string& prefix, const std::string& directory) {
  // Characters under the prefix do not show in the name: step past them, so that each try
  // gives a different name.
  const unsigned hidden = static_cast<unsigned>(std::min<size_t>(prefix.size(), 8));
  const uint64_t step = uint64_t{1} << (4 * hidden);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = MakeTempName(number + step * static_cast<uint64_t>(attempt), prefix, directory);
    int handle;
    do handle = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    while (handle < 0 && errno == EINTR);
    if (handle >= 0) {
      close(handle);
      return name;
    }
    if (errno != EEXIST) break;
  }
  return {};
}

}  // namespace compressor
