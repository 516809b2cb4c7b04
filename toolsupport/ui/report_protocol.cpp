#include "toolsupport/ui/report_protocol.h"

#include <unistd.h>

#include "platform/system/report_channel.h"

std::string BuildStatusReportText(const std::string& title, const std::string& versionLine,
                                  const std::string& statusText) {
  return title + " - " + versionLine + "\r\n  " + statusText;
}

bool SendStatusReport(int32_t receiver, const std::string& text) {
  // c_str() gives the text with its NUL, which the receiver reads up to.
  return platform::SendReportData(receiver, platform::kStatusReportKind, text.c_str(),
                                  text.size() + 1, static_cast<uint64_t>(getpid()))
      .has_value();
}

bool SendRestoreNotice(int32_t receiver) {
  return platform::SendReportMessage(receiver, platform::kRestoreNoticeMessage, 0, 0).has_value();
}

ReceiverAnswer AskReportReceiver(int32_t receiver) {
  ReceiverAnswer answer;
  const std::optional<std::string> caption = platform::AskReportCaption(receiver);
  if (!caption || caption->rfind(kFrontEndCaption, 0) != 0) return answer;
  answer.frontEnd = true;
  answer.wantsReport = platform::SendReportMessage(receiver, platform::kFrontEndQueryMessage, 0, 0) !=
                       platform::kFrontEndQueryDecline;
  return answer;
}

bool ReceiverWantsReport(int32_t receiver) { return AskReportReceiver(receiver).wantsReport; }
