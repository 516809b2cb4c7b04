// picprw: the graphics processor.
#include "tools/converter/converter_main.h"
#include "platform/system/command_text.h"
#include "platform/system/program_help.h"

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "picprw", converter::ConverterUsageText())) {
    return *answered;
  }
  return converter::ConverterMain(platform::BuildCommandText(argc, argv));
}
