#include "toolsupport/ui/report_protocol.h"

#include <gtest/gtest.h>

#include "toolsupport/tests/report_collector.h"

namespace {

uint32_t DeclineQuery(const platform::ReportRequest& request) {
  return request.code == platform::kFrontEndQueryMessage ? platform::kFrontEndQueryDecline : 0;
}

TEST(ReportProtocol, OnlyTheFrontEndIsAskedAndItsDeclineCancelsTheReport) {
  {
    ReportCollector frontEnd("Vantrel for Windows - Player", DeclineQuery);
    EXPECT_FALSE(ReceiverWantsReport(frontEnd.number()));
    ASSERT_EQ(frontEnd.requests().size(), 1u);
    EXPECT_EQ(frontEnd.requests()[0].code, 10019u);
  }
  {
    ReportCollector frontEnd("Vantrel for Windows", [](const auto&) { return 0u; });
    EXPECT_TRUE(ReceiverWantsReport(frontEnd.number()));  // left unanswered: report
  }
  {
    ReportCollector other("Batch runner", DeclineQuery);
    EXPECT_TRUE(ReceiverWantsReport(other.number()));
    EXPECT_TRUE(other.requests().empty());  // never asked
  }
  EXPECT_TRUE(ReceiverWantsReport(0));
}

TEST(ReportProtocol, ReportAndRestoreNoticeArriveAsSent) {
  ReportCollector frontEnd;
  const std::string text = BuildStatusReportText("VantPlay", "V3.0k", "Played clip.vnt.");
  EXPECT_EQ(text, "VantPlay - V3.0k\r\n  Played clip.vnt.");
  EXPECT_TRUE(SendStatusReport(frontEnd.number(), text));
  EXPECT_TRUE(SendRestoreNotice(frontEnd.number()));
  EXPECT_FALSE(SendStatusReport(0, text));
  const auto requests = frontEnd.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(std::string(requests[0].data.begin(), requests[0].data.end()), text + '\0');
  EXPECT_EQ(requests[1].code, 0x900u);
}

}  // namespace
