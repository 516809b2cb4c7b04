#include "script/language/variables.h"

#include <algorithm>

#include "script/language/text_functions.h"
#include "toolsupport/base/text_words.h"

namespace script {

namespace {

size_t EntryBytes(const std::string& name, const std::string& value) {
  return name.size() + value.size() + 2;
}

}  // namespace

std::string VariableKey(std::string name) {
  TrimText(name);
  UpperCase(name);
  if (name.size() > kNameLimit) name.resize(kNameLimit);
  return name;
}

std::string ScriptVariables::Get(const std::string& name) const {
  const std::string key = VariableKey(name);
  for (const Entry& entry : entries_) {
    if (entry.name == key) return entry.value;
  }
  return {};
}

void ScriptVariables::Set(const std::string& name, std::string value) {
  const std::string key = VariableKey(name);
  if (value.size() > kTextLimit) value.resize(kTextLimit);
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& entry) { return entry.name == key; });
  if (found != entries_.end()) {
    const size_t old = EntryBytes(found->name, found->value);
    if (value.empty()) {
      used_ -= old;
      entries_.erase(found);
      return;
    }
    const size_t replaced = used_ - old + EntryBytes(key, value);
    if (replaced > kCapacity) return;
    used_ = replaced;
    found->value = std::move(value);
    return;
  }
  if (value.empty() || used_ + EntryBytes(key, value) > kCapacity) return;
  used_ += EntryBytes(key, value);
  entries_.push_back({key, std::move(value)});
}

size_t VariableStack::GroupBytes(const Group& group) {
  size_t bytes = 3;
  for (const auto& [name, value] : group) bytes += EntryBytes(name, value);
  return bytes;
}

bool VariableStack::Push(Group group) {
  const size_t bytes = GroupBytes(group);
  if (used_ + bytes > kCapacity) return false;
  used_ += bytes;
  groups_.push_back(std::move(group));
  return true;
}

std::optional<VariableStack::Group> VariableStack::Pop() {
  if (groups_.empty()) return std::nullopt;
  Group group = std::move(groups_.back());
  groups_.pop_back();
  used_ -= GroupBytes(group);
  return group;
}

}  // namespace script
