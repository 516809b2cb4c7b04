#include "toolsupport/base/file_errors.h"

#include <cerrno>
#include <cstring>

namespace toolsupport {

std::string FileErrorText(const std::string& message, const std::string& name, int error) {
  std::string text = message;
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text + " " + name + ": " + std::strerror(error) + ".";
}

std::string WriteErrorText(int error) {
  if (error == 0 || error == ENOSPC || error == EDQUOT) return kWriteErrorMessage;
  return std::string("Error writing to disk: ") + std::strerror(error) + ".";
}

}  // namespace toolsupport
