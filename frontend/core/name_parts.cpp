#include "frontend/core/name_parts.h"

#include "frontend/core/text_format.h"
#include "toolsupport/base/paths.h"

namespace frontend {
namespace {

}  // namespace

std::string ExtensionOf(const std::string& name) {
  const size_t dot = FindExtension(name);
  return dot == std::string::npos ? "" : name.substr(dot);
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = FindExtension(name);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace frontend
