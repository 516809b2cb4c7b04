// vntcompi: the player binder program.
#include "tools/binder/binder_main.h"
#include "platform/system/command_text.h"
#include "platform/system/program_help.h"

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "vntcompi", binder::BinderUsageText())) {
    return *answered;
  }
  return binder::BinderMain(platform::BuildCommandText(argc, argv));
}
