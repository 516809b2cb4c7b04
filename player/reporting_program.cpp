#include "player/reporting_program.h"

#include "platform/gui/qt_faces.h"
#include "platform/system/command_text.h"
#include "platform/system/report_channel.h"
#include "platform/system/stop_signals.h"
#include "player/player_window.h"
#include "toolsupport/ui/report_protocol.h"
#include "toolsupport/base/switches.h"

int RunReportingProgram(int argc, const char* const* argv, const std::string& reportText,
                        const std::function<int(std::string commandText, bool packageBox)>& run) {
  // Programs that always show windows take the Qt faces linked into them, also when copied away
  // from the toolkit's libraries.
  platform::UseQtFacesInProcess();
  std::string text = platform::BuildCommandText(argc, argv);
  int32_t report = GetNumberSwitch(0, '#', text);
  GetFlagSwitch('#', text);
  bool packageBox = true;
  if (report != 0) {
    const ReceiverAnswer answer = AskReportReceiver(report);
    if (answer.frontEnd) packageBox = false;
    if (!answer.wantsReport) report = 0;
  }
  PumpPlayerMessages();
  const int exitCode = run(text, packageBox);
  if (report != 0 && platform::ReportEndpointExists(report)) SendStatusReport(report, reportText);
  return platform::ExitCodeAfterStopSignals(exitCode);
}
