#pragma once
// What the programs send to the front end over the report channel: the final report, the
// restore notice, and the player's question whether a report is wanted at all.
#include <cstdint>
#include <string>

// The front end's caption starts with this.
inline constexpr const char* kFrontEndCaption = "Vantrel for Windows";

// title, " - ", version line, "\r\n  ", status text.
std::string BuildStatusReportText(const std::string& title, const std::string& versionLine,
                                  const std::string& statusText);

// Sends the text with its terminating NUL as data of kind 0x1234 to the receiver with that
// number; false when there is none or it did not answer in time.
bool SendStatusReport(int32_t receiver, const std::string& text);

// Message 0x900 with both arguments 0.
bool SendRestoreNotice(int32_t receiver);

// The check of the player and the script player before they run: when the receiver's caption
// begins with the front end's caption it is sent message 10019, and the answer 8995 declines
// the report. A report is still wanted from any other receiver.
struct ReceiverAnswer {
  bool frontEnd = false;  // the front end shows its own about box
  bool wantsReport = true;
};
ReceiverAnswer AskReportReceiver(int32_t receiver);
bool ReceiverWantsReport(int32_t receiver);
