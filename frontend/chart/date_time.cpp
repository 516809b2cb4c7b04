#include "frontend/chart/date_time.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace chart {

namespace {

// Days of 30 December 1899 counted from 1 January 1970.
constexpr int64_t kEpochOffset = -25569;

int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string Number(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

}  // namespace

CivilDateTime DecodeDateTime(double value) {
  CivilDateTime result;
  // Far-off values would overflow the day arithmetic; they are held at about +-10 million years.
  if (!std::isfinite(value) || std::fabs(value) > 3.6e9) return result;
  const double wholeDays = std::floor(value);
  int64_t ms = std::llround((value - wholeDays) * 86400000.0);
  int64_t days = static_cast<int64_t>(wholeDays);
  if (ms >= 86400000) { ms -= 86400000; ++days; }
  CivilFromDays(days + kEpochOffset, result.year, result.month, result.day);
  result.hour = static_cast<int>(ms / 3600000);
  result.minute = static_cast<int>(ms / 60000 % 60);
  result.second = static_cast<int>(ms / 1000 % 60);
  result.millisecond = static_cast<int>(ms % 1000);
  // 1 January 1970 (day 25569) was a Thursday.
  result.dayOfWeek = static_cast<int>(((days + kEpochOffset + 4) % 7 + 7) % 7) + 1;
  return result;
}

double EncodeDate(int year, int month, int day) {
  // Months outside 1..12 roll into neighbouring years.
  int64_t y = year + (month - 1) / 12;
  int m = (month - 1) % 12;
  if (m < 0) { m += 12; --y; }
  return static_cast<double>(DaysFromCivil(y, m + 1, 1) - kEpochOffset + day - 1);
}

double EncodeDateTime(int year, int month, int day, int hour, int minute) {
  return EncodeDate(year, month, day) + (hour * 60 + minute) / 1440.0;
}

double NowAsDateTime() {
  using namespace std::chrono;
  const double ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return ms / 86400000.0 - kEpochOffset;
}

namespace {

// An am/pm marker outside quoted text puts the hours on a 12-hour clock.
bool UsesTwelveHours(const std::string& format) {
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '"' || format[i] == '\'') {
      const size_t end = format.find(format[i], i + 1);
      if (end == std::string::npos) return false;
      i = end;
    } else if (format.compare(i, 5, "am/pm") == 0 || format.compare(i, 5, "AM/PM") == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string FormatDateTime(const std::string& format, double value) {
  const CivilDateTime t = DecodeDateTime(value);
  const int hour = UsesTwelveHours(format) ? (t.hour % 12 == 0 ? 12 : t.hour % 12) : t.hour;
  std::string out;
  bool afterHour = false;
  size_t i = 0;
  const auto run = [&](char c) {
    size_t n = 0;
    while (i + n < format.size() && std::tolower(static_cast<unsigned char>(format[i + n])) == c) ++n;
    return n;
  };
  while (i < format.size()) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
    if (format[i] == '"' || format[i] == '\'') {
      const size_t end = format.find(format[i], i + 1);
      const size_t stop = end == std::string::npos ? format.size() : end;
      out.append(format, i + 1, stop - i - 1);
      i = stop + 1;
      continue;
    }
    if (format.compare(i, 5, "am/pm") == 0 || format.compare(i, 5, "AM/PM") == 0) {
      const bool upper = format[i] == 'A';
      out += t.hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
      i += 5;
      continue;
    }
    const size_t n = run(c);
    switch (c) {
      case 'd':
        if (n == 1) out += std::to_string(t.day);
        else if (n == 2) out += Number(t.day, 2);
        else if (n == 3) out += kShortDays[t.dayOfWeek - 1];
        else out += kLongDays[t.dayOfWeek - 1];
        break;
      case 'm':
        if (afterHour && n <= 2) out += n == 1 ? std::to_string(t.minute) : Number(t.minute, 2);
        else if (n == 1) out += std::to_string(t.month);
        else if (n == 2) out += Number(t.month, 2);
        else if (n == 3) out += kShortMonths[t.month - 1];
        else out += kLongMonths[t.month - 1];
        break;
      case 'y':
        out += n <= 2 ? Number(t.year % 100, 2) : Number(t.year, 4);
        break;
      case 'h':
        out += n == 1 ? std::to_string(hour) : Number(hour, 2);
        break;
      case 'n':
        out += n == 1 ? std::to_string(t.minute) : Number(t.minute, 2);
        break;
      case 's':
        out += n == 1 ? std::to_string(t.second) : Number(t.second, 2);
        break;
      default:
        out += format[i];
        i += 1;
        continue;
    }
    afterHour = c == 'h';
    i += n;
  }
  return out;
}

}  // namespace chart
