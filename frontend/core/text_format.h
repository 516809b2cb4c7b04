#pragma once
// Small text helpers of the front end.
#include <cstdint>
#include <string>
#include <vector>

#include "toolsupport/base/paths.h"
#include "toolsupport/base/text_words.h"

namespace frontend {

// Trimming, case folding and the separator are the tools' own.
using ::EqualIgnoringCase;
using ::LowerCase;
using ::TrimBlanks;
using ::WithoutSeparator;
using ::WithSeparator;

// The decimal number with the separator before every group of three digits.
std::string FormatThousands(int64_t number, const std::string& separator = ",");

// Splits at "\r\n", "\n" and "\r"; a line break at the very end starts no further line.
std::vector<std::string> SplitLines(const std::string& text);

// The text as a name in a command text: in double quotes (empty stays empty).
std::string Quoted(const std::string& name);

// The directory part with its trailing '/' ("" for a bare name), and the name after it.
std::string DirectoryPart(const std::string& path);
std::string NamePart(const std::string& path);
// A typed name made absolute against a directory: unquoted; a name that begins with '/' stays.
std::string AbsoluteIn(const std::string& directory, const std::string& typed);

// Trimmed, and one pair of enclosing double quotes removed.
std::string Unquoted(const std::string& text);

}  // namespace frontend
