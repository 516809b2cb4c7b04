#include "platform/system/program_help.h"

#include <cstring>

namespace platform {
namespace {

bool Write(std::FILE* to, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), to) == text.size() && std::fflush(to) == 0;
}

}  // namespace

const char* ToolkitVersion() { return VANT_VERSION; }

std::string UsageForTerminal(const std::string& usage) {
  std::string text;
  text.reserve(usage.size() + 1);
  for (size_t i = 0; i < usage.size(); ++i) {
    if (usage[i] == '\r' && i + 1 < usage.size() && usage[i + 1] == '\n') continue;
    text += usage[i];
  }
  if (text.empty() || text.back() != '\n') text += '\n';
  return text;
}

std::optional<int> AnswerHelpAndVersion(int argc, const char* const* argv, const char* program,
                                        const std::string& usage, std::FILE* out,
                                        std::FILE* errors) {
  bool help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    if (std::strncmp(word, "--", 2) != 0) continue;
    if (std::strcmp(word, "--help") == 0) {
      help = true;
    } else if (std::strcmp(word, "--version") == 0) {
      version = true;
    } else {
      Write(errors, std::string(program) + ": unknown switch " + word + "\n" +
                        UsageForTerminal(usage));
      return 1;
    }
  }
  if (help) return Write(out, UsageForTerminal(usage)) ? 0 : 1;
  if (version) return Write(out, std::string(program) + " " + ToolkitVersion() + "\n") ? 0 : 1;
  return std::nullopt;
}

}  // namespace platform
