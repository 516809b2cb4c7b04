// audprw: the sound processor.
#include "tools/sound/extractor_main.h"
#include "platform/system/command_text.h"

int main(int argc, char** argv) {
  return soundtool::ExtractorMain(platform::BuildCommandText(argc, argv));
}
