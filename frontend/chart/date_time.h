#pragma once
// Date and time values of the chart's axes: day numbers, their parts and their formatting.
#include <string>

namespace chart {

// Dates are day numbers counted from 30 December 1899, with the time of day as the fraction.
struct CivilDateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int dayOfWeek = 7;  // 1 Sunday .. 7 Saturday
};

CivilDateTime DecodeDateTime(double value);
double EncodeDate(int year, int month, int day);
double EncodeDateTime(int year, int month, int day, int hour, int minute);
double NowAsDateTime();

// Formats with the tokens d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss (m after h is minutes),
// "quoted" or 'quoted' text and am/pm; other characters are copied.
std::string FormatDateTime(const std::string& format, double value);

}  // namespace chart
