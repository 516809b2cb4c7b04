// A program for the EXECUTE tests: writes its other arguments, one a line, into the file named
// by its first argument, through a temporary name, so that the file appears complete. An argument
// "$NAME" is written as the value of that environment variable (the test of ENVSET).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string marker = argv[1];
  const std::string partial = marker + ".partial";
  {
    std::ofstream out(partial, std::ios::binary);
    for (int i = 2; i < argc; ++i) {
      const char* value = argv[i][0] == '$' ? std::getenv(argv[i] + 1) : argv[i];
      out << (value != nullptr ? value : "(unset)") << '\n';
    }
  }
  return std::rename(partial.c_str(), marker.c_str()) == 0 ? 0 : 1;
}
