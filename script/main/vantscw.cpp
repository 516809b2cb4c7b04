// vantscw: runs Vantrel presentation scripts.
#include "platform/system/program_help.h"
#include "script/script_program.h"

int main(int argc, char** argv) {
  if (auto answered =
          platform::AnswerHelpAndVersion(argc, argv, "vantscw", script::kScriptSyntax)) {
    return *answered;
  }
  return script::ScriptWinMain(argc, argv);
}
