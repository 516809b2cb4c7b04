#pragma once
// DOS-style wildcard masks, the splitting of names into directory, base name and extension, and
// the target names that wildcards build, shared by the script player's file commands and the
// front end's console commands.
#include <string>
#include <string_view>

namespace platform {

// True when the name matches the mask. Case is ignored (ASCII letters); '*' stands for any run of
// characters, '?' for exactly one. A mask ending in ".*" also matches what the mask without it
// matches, so "*.*" matches every name and "readme.*" matches "readme".
bool MatchesWildcard(std::string_view name, std::string_view mask);

struct NameParts {
  std::string directory;  // up to and including the last '/'; empty for a bare name
  std::string base;       // the name without its extension and its dot
  std::string extension;  // after the last dot of the name, without the dot
};

// Dots that begin a name belong to its base name: ".bashrc" has no extension, ".tar.gz" has the
// extension "gz", and "." and ".." have none.
NameParts SplitName(const std::string& path);

// The inverse of SplitName: directory + base, then '.' and the extension when there is one.
std::string JoinName(const NameParts& parts);

// The target of a copy or rename whose name may hold wildcards ("*.bak", "new?.*"): the
// pattern's directory, then its base name laid over the source's base name, then its extension
// over the source's extension. In each, a '*' takes the rest of the source from where the walk
// stands and ends it, a '?' takes the source's character at its place (none past the source's
// end), and any other character stands as it is.
std::string WildcardTargetName(const std::string& pattern, const std::string& source);

// Whether the name (not its directory) holds '*' or '?'.
bool HasWildcard(const std::string& path);

}  // namespace platform
