#pragma once
// Small text helpers of the front end.
#include <cstdint>
#include <string>
#include <vector>

namespace frontend {

// Removes leading and trailing characters at or below the blank.
std::string TrimBlanks(const std::string& text);

// ASCII case folding (names are never folded; command words, aliases and masks are).
std::string LowerCase(std::string text);
bool EqualIgnoringCase(const std::string& a, const std::string& b);

// The decimal number with the separator before every group of three digits.
std::string FormatThousands(int64_t number, const std::string& separator = ",");

// Splits at "\r\n", "\n" and "\r"; a line break at the very end starts no further line.
std::vector<std::string> SplitLines(const std::string& text);

// The text as a name in a command text: in double quotes (empty stays empty).
std::string Quoted(const std::string& name);

// The directory part with its trailing '/' ("" for a bare name), and the name after it.
std::string DirectoryPart(const std::string& path);
std::string NamePart(const std::string& path);

// The directory with exactly one trailing '/' ("/" stays "/"; "" stays "").
std::string WithSeparator(const std::string& directory);
// The path without trailing '/' (the root stays "/").
std::string WithoutSeparator(std::string path);

// Trimmed, and one pair of enclosing double quotes removed.
std::string Unquoted(const std::string& text);

}  // namespace frontend
