// vantplw: plays .vnt videos in a window.
#include "platform/system/program_help.h"
#include "player/player_main.h"
#include "player/player_options.h"

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "vantplw", PlayerUsageText())) {
    return *answered;
  }
  return PlayerWinMain(argc, argv);
}
