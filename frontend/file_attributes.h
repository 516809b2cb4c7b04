#pragma once
// The DOS attribute bits the front end shows, as far as Linux has them: Read only is the
// owner's write bit (clear: read only); Hidden is a name that begins with '.'. System and Archive
// do not exist here.
#include <optional>
#include <string>

namespace frontend {

inline constexpr unsigned kAttributeReadOnly = 0x01;
inline constexpr unsigned kAttributeHidden = 0x02;
inline constexpr unsigned kAttributeSystem = 0x04;
inline constexpr unsigned kAttributeArchive = 0x20;

// Nothing when the file's attributes cannot be read.
std::optional<unsigned> DosAttributes(const std::string& path);

}  // namespace frontend
