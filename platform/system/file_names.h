#pragma once
// Names with default extensions. Names never change case; extension tests ignore it.
#include <string>

namespace platform {

// For opening an existing file by adding a default extension (given with its '.'): the given
// spelling when that file exists, else the lower-case one, else the upper-case one; when none of
// them exists, the given spelling.
std::string NameForOpening(const std::string& base, const std::string& extension);

// A file to be created gets the lower-case extension.
std::string NameForCreating(const std::string& base, const std::string& extension);

// True when the name ends in the extension (given with its '.'), whatever its case.
bool HasExtension(const std::string& name, const std::string& extension);

}  // namespace platform
