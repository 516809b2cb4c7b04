// A program for the EXECUTE tests: writes its other arguments, one a line, into the file named
// by its first argument, through a temporary name, so that the file appears complete.
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string marker = argv[1];
  const std::string partial = marker + ".partial";
  {
    std::ofstream out(partial, std::ios::binary);
    for (int i = 2; i < argc; ++i) out << argv[i] << '\n';
  }
  return std::rename(partial.c_str(), marker.c_str()) == 0 ? 0 : 1;
}
