#pragma once
// What the main window does with a request of the report channel: a tool's report goes to the
// console and refreshes the page's file lists; a restore notice brings a hidden front end back;
// everything else is left unanswered (0).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/system/report_channel.h"

namespace frontend {

class FrontEnd;

// The report's text: up to its terminating zero, or all of it when it has none.
std::string ReportText(const std::vector<uint8_t>& data);

// The answer to the request (1 for a report taken). `restoreWindow` is called for the restore
// notice; it restores the window only when it is hidden or minimised.
uint32_t ReceiveReport(FrontEnd& frontEnd, const platform::ReportRequest& request,
                       const std::function<void()>& restoreWindow);

}  // namespace frontend
