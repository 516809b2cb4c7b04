#pragma once
// Switch readers of the command-line programs.
//
// A command text is words separated by blanks (bytes 1 to 32); double quotes group a word with
// blanks. Only unquoted words that begin with '/' are switch words; inside such a word every
// unquoted '/' begins a switch, so "/L5/F15/P" holds three switches. Quoted text and words that
// do not begin with '/' are never scanned, so "/home/ann/clip.flc" in quotes is left alone.
//
// Each reader takes the first matching switch of its letter and removes it from the text; a
// malformed switch is not taken and stays behind, so that SwitchLeftOver() finds it afterwards.
// Letters are given in upper case (or '#'); lower-case letters of the text match them too.
#include <cstdint>
#include <string>

// "/" + letter + signed decimal value ("/Q12", "/N-7"). The value must start right after the
// letter with a digit or '-' and a digit, and must fit in 32 bits. Removes '/' through the last
// digit; returns the default when no such switch is found.
int32_t GetNumberSwitch(int32_t defaultValue, char letter, std::string& commandText);

// "/" + letter standing alone: the next character is below '0' (end, blank, '/', '-', ...).
// Removes just the '/' and the letter.
bool GetFlagSwitch(char letter, std::string& commandText);

// "/" + letter + value: a double-quoted value (to the closing quote, or the end when unclosed) or
// the characters up to a blank or '/'. The value goes to `value`; when the switch is absent,
// `value` becomes a copy of the default and false is returned.
bool GetTextSwitch(const std::string& defaultText, std::string& value, char letter,
                   std::string& commandText);

// True when a switch word is still in the text: a switch no reader took, or a malformed one.
bool SwitchLeftOver(const std::string& commandText);

// The output frame-rate value of a tool's /F switch: 0 keeps the input's; n > 0 frames per
// second; -1 to -1500 milliseconds per frame; below -1500 the period in 1/100000 s, negated.
int32_t OutputFrameRate(int32_t frameSwitch, int32_t inputFrameRate);
