// vantmiw: the sound mixer program.
#include "tools/mixer/mixer_main.h"
#include "platform/system/command_text.h"
#include "platform/system/program_help.h"

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "vantmiw", mixer::MixerUsageText())) {
    return *answered;
  }
  return mixer::MixerMain(platform::BuildCommandText(argc, argv));
}
