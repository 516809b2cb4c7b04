#include "platform/system/system_info.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <string>

namespace platform {

namespace {

// The decimal number at the front of the text, and the text after it.
std::optional<uint64_t> TakeNumber(std::string_view& text) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return std::nullopt;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return value;
}

int SmallNumber(std::optional<uint64_t> value) {
  return value && *value <= 0xFFFF ? static_cast<int>(*value) : 0;
}

}  // namespace

SystemVersion ParseReleaseVersion(std::string_view release) {
  SystemVersion version;
  version.major = SmallNumber(TakeNumber(release));
  if (!release.empty() && release.front() == '.') {
    release.remove_prefix(1);
    version.minor = SmallNumber(TakeNumber(release));
  }
  return version;
}

SystemVersion RunningSystemVersion() {
  utsname names{};
  if (uname(&names) != 0) return {};
  return ParseReleaseVersion(names.release);
}

std::optional<uint64_t> ParseAvailableMemory(std::string_view meminfo) {
  constexpr std::string_view kKey = "MemAvailable:";
  size_t line = 0;
  while (line < meminfo.size()) {
    size_t end = meminfo.find('\n', line);
    if (end == std::string_view::npos) end = meminfo.size();
    std::string_view text = meminfo.substr(line, end - line);
    if (text.substr(0, kKey.size()) == kKey) {
      text.remove_prefix(kKey.size());
      while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
      const std::optional<uint64_t> kilobytes = TakeNumber(text);
      if (!kilobytes || *kilobytes > UINT64_MAX / 1024) return std::nullopt;
      return *kilobytes * 1024;
    }
    line = end + 1;
  }
  return std::nullopt;
}

uint64_t AvailableMemoryBytes() {
  std::ifstream file("/proc/meminfo");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::optional<uint64_t> available = ParseAvailableMemory(text);
  if (!available) {
    struct sysinfo facts {};
    if (sysinfo(&facts) != 0) return 0;
    available = static_cast<uint64_t>(facts.freeram) * facts.mem_unit;
  }
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    available = std::min<uint64_t>(*available, limit.rlim_cur);
  }
  return *available;
}

}  // namespace platform
