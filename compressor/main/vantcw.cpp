// vantcw: the compressor program.
#include "compressor/compressor_main.h"
#include "platform/system/command_text.h"

int main(int argc, char** argv) {
  return compressor::CompressorMain(platform::BuildCommandText(argc, argv));
}
