#include "frontend/core/report_receiving.h"

#include <algorithm>

#include "frontend/core/front_end.h"
#include "frontend/core/text_format.h"

namespace frontend {

std::string ReportText(const std::vector<uint8_t>& data) {
  const auto end = std::find(data.begin(), data.end(), uint8_t{0});
  return std::string(data.begin(), end);
}

uint32_t ReceiveReport(FrontEnd& frontEnd, const platform::ReportRequest& request,
                       const std::function<void()>& restoreWindow) {
  using platform::ReportRequestType;
  if (request.type == ReportRequestType::Data && request.code == platform::kStatusReportKind) {
    frontEnd.requests.Post(kRequestRefreshFiles);
    std::vector<std::string> lines = SplitLines(ReportText(request.data));
    if (lines.empty()) lines.emplace_back();
    lines.front() = "  " + lines.front();
    frontEnd.console.Append(lines);
    frontEnd.ShowPrompt();
    return 1;
  }
  if (request.type == ReportRequestType::Message &&
      request.code == platform::kRestoreNoticeMessage && restoreWindow) {
    restoreWindow();
  }
  // Message 10019 (asked before the player reports) is left unanswered too, so it reports.
  return 0;
}

}  // namespace frontend
