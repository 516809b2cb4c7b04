#pragma once
// The numbers a page passes behind a switch letter when their check box is on, and the check
// that each is a whole number the tool's switch readers take.
#include <string>

#include "frontend/core/text_format.h"
#include "frontend/pages/page_switches.h"

namespace frontend {

template <typename Record>
struct NumberOption {
  char letter;
  bool Record::*enabled;  // null: passed whenever it is not empty
  std::string Record::*text;
  bool signAllowed;
  const char* label;  // for the error message
};

template <typename Record>
bool OptionEnabled(const Record& record, const NumberOption<Record>& option) {
  return option.enabled == nullptr || record.*option.enabled;
}

// "/" + letter + the number when enabled and not empty.
template <typename Record>
std::string NumberOptionSwitch(const Record& record, const NumberOption<Record>& option) {
  return TextSwitch(option.letter, OptionEnabled(record, option), record.*option.text);
}

// Why the tool would misread the number it is given, or "".
template <typename Record>
std::string CheckNumberOption(const Record& record, const NumberOption<Record>& option) {
  if (!OptionEnabled(record, option) || TrimBlanks(record.*option.text).empty()) return "";
  if (WholeNumber(record.*option.text, option.signAllowed)) return "";
  return std::string("Error, the ") + option.label + " must be a whole number" +
         (option.signAllowed ? "." : " of 0 or more.");
}

}  // namespace frontend
