#pragma once
// The variables of a script run, shared by every script level. Every value is text; a variable
// whose value is empty does not exist. Names ignore case (a-z count as A-Z) and blanks at their
// ends.
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace script {

// The longest text of a script line, a parameter, a value or a result; the buffers of the
// language hold this many bytes and the end mark.
inline constexpr size_t kTextLimit = 767;
// Longer names are cut.
inline constexpr size_t kNameLimit = 255;

// Trims the blanks (bytes 1 to 32) at both ends, upper-cases a-z and cuts to kNameLimit.
std::string VariableKey(std::string name);

class ScriptVariables {
 public:
  // Every entry counts its name, its value and two bytes against this.
  static constexpr size_t kCapacity = 32768;

  struct Entry {
    std::string name;
    std::string value;
  };

  // The value, empty when the variable does not exist.
  std::string Get(const std::string& name) const;
  // Sets, replaces or (with an empty value) deletes. Values are cut to kTextLimit. A new
  // variable or a longer value that would pass the capacity is refused: nothing changes.
  void Set(const std::string& name, std::string value);

  // In the order the variables were made.
  const std::vector<Entry>& Entries() const { return entries_; }
  size_t BytesInUse() const { return used_; }

 private:
  std::vector<Entry> entries_;
  size_t used_ = 0;
};

// The groups that VARPUSH saves and VARPOP restores, the last group first.
class VariableStack {
 public:
  // A group counts three bytes and every saved variable two plus its name and value.
  static constexpr size_t kCapacity = 8192;

  using Group = std::vector<std::pair<std::string, std::string>>;  // name as written, value

  // False (nothing saved) when the group does not fit.
  bool Push(Group group);
  // The last group; nothing when the stack is empty.
  std::optional<Group> Pop();
  size_t BytesInUse() const { return used_; }

 private:
  static size_t GroupBytes(const Group& group);
  std::vector<Group> groups_;
  size_t used_ = 0;
};

}  // namespace script
