// audprw: the sound processor.
#include "tools/sound/extractor_main.h"
#include "platform/system/command_text.h"
#include "platform/system/program_help.h"

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "audprw", soundtool::kExtractorUsage)) {
    return *answered;
  }
  return soundtool::ExtractorMain(platform::BuildCommandText(argc, argv));
}
