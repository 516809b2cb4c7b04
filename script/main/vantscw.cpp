// vantscw: runs Vantrel presentation scripts.
#include "script/script_program.h"

int main(int argc, char** argv) { return script::ScriptWinMain(argc, argv); }
