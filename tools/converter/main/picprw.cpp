// picprw: the graphics processor.
#include "tools/converter/converter_main.h"
#include "platform/system/command_text.h"

int main(int argc, char** argv) {
  return converter::ConverterMain(platform::BuildCommandText(argc, argv));
}
