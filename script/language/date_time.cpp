#include "script/language/date_time.h"

#include <locale.h>
#include <time.h>

#include <algorithm>
#include <vector>

#include "script/language/variables.h"

namespace script {

namespace {

// A text of many conversions may come out far longer than its format; past this it is cut anyway.
constexpr size_t kLargestResult = size_t{1} << 20;

}  // namespace

std::string FormatDateTime(std::string format, std::time_t when) {
  if (format.empty()) return {};
  std::replace(format.begin(), format.end(), '^', '%');
  tzset();  // the zone as the environment names it now (ENVSET may have changed TZ)
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return {};
  const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (cLocale == static_cast<locale_t>(nullptr)) return {};
  std::string result;
  for (size_t size = 1024; size <= kLargestResult; size *= 2) {
    std::vector<char> text(size);
    const size_t length = strftime_l(text.data(), text.size(), format.c_str(), &local, cLocale);
    if (length > 0) {
      result.assign(text.data(), std::min(length, kTextLimit));
      break;
    }
  }
  freelocale(cLocale);
  return result;
}

}  // namespace script
