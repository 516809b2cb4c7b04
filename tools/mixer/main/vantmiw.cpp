// vantmiw: the sound mixer program.
#include "tools/mixer/mixer_main.h"
#include "platform/system/command_text.h"

int main(int argc, char** argv) {
  return mixer::MixerMain(platform::BuildCommandText(argc, argv));
}
