// vantcw: the compressor program.
#include "compressor/compressor_main.h"
#include "compressor/compressor_switches.h"
#include "platform/system/command_text.h"
#include "platform/system/program_help.h"

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "vantcw", compressor::CompressorUsageText())) {
    return *answered;
  }
  return compressor::CompressorMain(platform::BuildCommandText(argc, argv));
}
