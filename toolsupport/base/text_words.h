#pragma once
// Words and plain texts of the command-line programs. A blank is any byte from 1 to 32; bytes of
// 128 and above are ordinary characters.
#include <cstddef>
#include <cstdint>
#include <string>

// Moves the first word out of the text: the word, the blanks after it and one ',' that follows
// them. The word comes back trimmed ("10 , 20" gives "10 ," and leaves "20"; "10,20" is one word);
// the rest loses its leading blanks.
std::string TakeWord(std::string& text);

// Like TakeWord, but a word in double quotes is taken whole, without its quotes. Word and rest
// are both trimmed.
std::string TakeArgument(std::string& text);

// The last name of a command line: the next argument, which must be all that is left of the
// text. False (the caller shows its usage) when words remain after it.
bool TakeLastArgument(std::string& text, std::string& name);

// Removes blanks at both ends / at the start.
void TrimText(std::string& text);
void TrimLeading(std::string& text);
// The text without blanks at either end.
std::string TrimBlanks(std::string text);
// ASCII case folding, for what ignores case (command words, aliases, extensions, masks); names
// never change case.
std::string LowerCase(std::string text);
bool EqualIgnoringCase(const std::string& a, const std::string& b);

// Trims, then removes one pair of enclosing double quotes.
void StripQuotes(std::string& text);

// Writes the value in decimal at `position` (the end when npos), cutting what stood there, and
// returns the position of the new end, for chaining.
size_t AppendNumber(int64_t value, std::string& text, size_t position = std::string::npos);

// Appends a time span in words: "1 millisecond", "59 seconds", "1 minute 1 second",
// "2 hours 5 minutes".
void FormatElapsedTime(std::string& text, uint64_t milliseconds);
