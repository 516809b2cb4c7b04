#pragma once
// The extension of a file name: what follows the last '.' of its last part, when that '.' is
// not the part's first character (".profile" has none).
#include <string>

namespace frontend {

// With its '.'; "" when there is none.
std::string ExtensionOf(const std::string& name);
// The name without it ("a.b/c.flc" -> "a.b/c").
std::string WithoutExtension(const std::string& name);

}  // namespace frontend
