#pragma once
// The target name of a copy or rename whose target may hold wildcards ("*.bak", "new?.*").
#include <string>

namespace frontend {

// The pattern's directory, then its base name merged with the source's base name, then its
// extension merged with the source's extension. In each merge a '?' takes the source's character
// at the same position (or nothing when the source is shorter), and a '*' and everything after
// it give way to the rest of the source from that position.
std::string WildcardTargetName(const std::string& pattern, const std::string& source);

// Whether the name (not its directory) holds '*' or '?'.
bool HasWildcard(const std::string& path);

}  // namespace frontend
