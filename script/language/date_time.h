#pragma once
// The date and time texts of SYSTEMDATETIME.
#include <ctime>
#include <string>

namespace script {

// The local time of `when` in the format, where '^' stands for strftime's '%' (a '%' in a quoted
// script text would start a variable reference). Conversions use the C locale whatever the
// program's locale is. The text is cut to the text limit.
std::string FormatDateTime(std::string format, std::time_t when);

}  // namespace script
