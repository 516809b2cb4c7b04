// vntcompi: the player binder program.
#include "tools/binder/binder_main.h"
#include "platform/system/command_text.h"

int main(int argc, char** argv) {
  return binder::BinderMain(platform::BuildCommandText(argc, argv));
}
