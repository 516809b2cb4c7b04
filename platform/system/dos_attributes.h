#pragma once
// DOS file attributes as Linux can carry them, for the script player's FILEGETATTRIB and
// FILESETATTRIB and the front end's DIR, ATTR and attribute window. Read only is the owner's
// write bit; Hidden is a name that begins with '.', shown but never set; System and Archive are
// neither shown nor set.
#include <sys/types.h>

#include <optional>
#include <string>

namespace platform {

inline constexpr unsigned kDosReadOnly = 0x01;
inline constexpr unsigned kDosHidden = 0x02;
inline constexpr unsigned kDosSystem = 0x04;
inline constexpr unsigned kDosDirectory = 0x10;
inline constexpr unsigned kDosArchive = 0x20;

// The attributes of a file of that name (the last component counts) and mode.
unsigned DosAttributesFrom(const std::string& name, mode_t mode);

// Nothing when the file does not exist or cannot be examined.
std::optional<unsigned> GetDosAttributes(const std::string& path);

enum class AttributeChange {
  Done,    // the file has the asked attributes now (perhaps it had them already)
  Cannot,  // Linux cannot represent the change; nothing was changed
  Failed,  // the system refused; see `error`
};

struct AttributeResult {
  AttributeChange outcome = AttributeChange::Failed;
  int error = 0;
};

// Gives the file the read-only, hidden, system and archive bits of `attributes`; the directory
// bit and unknown bits are ignored. Either every asked change is made or none is.
AttributeResult SetDosAttributes(const std::string& path, unsigned attributes);

}  // namespace platform
