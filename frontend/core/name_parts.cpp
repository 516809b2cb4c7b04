#include "frontend/core/name_parts.h"

#include "frontend/core/text_format.h"

namespace frontend {
namespace {

size_t ExtensionStart(const std::string& name) {
  const size_t nameStart = DirectoryPart(name).size();
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot <= nameStart ? std::string::npos : dot;
}

}  // namespace

std::string ExtensionOf(const std::string& name) {
  const size_t dot = ExtensionStart(name);
  return dot == std::string::npos ? "" : name.substr(dot);
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = ExtensionStart(name);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace frontend
