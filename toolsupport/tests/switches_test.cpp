#include "toolsupport/base/switches.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct NumberCase {
  const char* text;
  char letter;
  int32_t expected;
  const char* rest;
};

TEST(Switches, NumberSwitchTable) {
  const NumberCase cases[] = {
      {"/q12", 'Q', 12, ""},
      {"a /Q12 b", 'Q', 12, "a  b"},
      {"/N-7", 'N', -7, ""},
      {"/N x", 'N', 99, "/N x"},          // no digit right after the letter
      {"/N+5 /N5", 'N', 5, "/N+5 "},      // no '+' sign; a later switch still matches
      {"/N- 3", 'N', 99, "/N- 3"},
      {"/N1 /N2", 'N', 1, " /N2"},        // only the first is taken
      {"/L5/F15/P", 'L', 5, "/F15/P"},    // packed switches
      {"/L5/F15/P", 'F', 15, "/L5/P"},
      {"/L5x", 'L', 5, "x"},
      {"clip/L5", 'L', 99, "clip/L5"},    // a word not beginning with '/' is never scanned
      {"\"/tmp/L5.flc\" /L3", 'L', 3, "\"/tmp/L5.flc\" "},
      {"/&\"a /L7\"/L2", 'L', 2, "/&\"a /L7\""},
      {"/N2147483647", 'N', INT32_MAX, ""},
      {"/N-2147483648", 'N', INT32_MIN, ""},
      {"/N2147483648", 'N', 99, "/N2147483648"},  // overflow: malformed, left behind
      {"/N-2147483649", 'N', 99, "/N-2147483649"},
      {"/N99999999999999999999999 /N4", 'N', 4, "/N99999999999999999999999 "},
      {"x /#1234/#", '#', 1234, "x /#"},
      {"/#", '#', 0, "/#"},
      {"", 'N', 99, ""},
  };
  for (const NumberCase& c : cases) {
    std::string text = c.text;
    const int32_t defaultValue = c.letter == '#' ? 0 : 99;
    EXPECT_EQ(GetNumberSwitch(defaultValue, c.letter, text), c.expected) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

struct FlagCase {
  const char* text;
  char letter;
  bool expected;
  const char* rest;
};

TEST(Switches, FlagSwitchTable) {
  const FlagCase cases[] = {
      {"a /O b", 'O', true, "a  b"},
      {"/o", 'O', true, ""},
      {"/O2", 'O', false, "/O2"},
      {"/OK", 'O', false, "/OK"},
      {"/O2 /O", 'O', true, "/O2 "},
      {"/O-", 'O', true, "-"},
      {"/L5/P/F15", 'P', true, "/L5/F15"},
      {"\"/P\" name/P", 'P', false, "\"/P\" name/P"},
      {"/#", '#', true, ""},
      {"/#1234/#", '#', true, "/#1234"},
      {"", 'O', false, ""},
  };
  for (const FlagCase& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(GetFlagSwitch(c.letter, text), c.expected) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

struct TextCase {
  const char* text;
  char letter;
  bool found;
  const char* value;
  const char* rest;
};

TEST(Switches, TextSwitchTable) {
  const TextCase cases[] = {
      {"/&\"my clip.vnt\" out", '&', true, "my clip.vnt", " out"},
      {"/&\"/home/ann/a b.lst\"/L5", '&', true, "/home/ann/a b.lst", "/L5"},
      {"x /&\"unclosed rest", '&', true, "unclosed rest", "x "},
      {"/Tabc/X", 'T', true, "abc", "/X"},
      {"/tabc def", 'T', true, "abc", " def"},
      {"/T x", 'T', false, "default", "/T x"},
      {"/T", 'T', false, "default", "/T"},
      {"/T \"/Tq\"", 'T', false, "default", "/T \"/Tq\""},
      {"/@*hints.txt", '@', true, "*hints.txt", ""},
  };
  for (const TextCase& c : cases) {
    std::string text = c.text;
    std::string value = "stale";
    EXPECT_EQ(GetTextSwitch("default", value, c.letter, text), c.found) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(Switches, ReportSwitchesComeOffBeforeTheToolsOwn) {
  // The front end appends " /#" + number, and one more bare "/#" for batch runs.
  std::string text = "\"in put.flc\" out.vnt /L5 /#1234/#";
  EXPECT_EQ(GetNumberSwitch(0, '#', text), 1234);
  EXPECT_TRUE(GetFlagSwitch('#', text));
  EXPECT_EQ(GetNumberSwitch(0, 'L', text), 5);
  EXPECT_FALSE(SwitchLeftOver(text));
  EXPECT_EQ(text, "\"in put.flc\" out.vnt  ");
}

TEST(Switches, LeftOverSeesOnlyUnquotedSwitchWords) {
  EXPECT_FALSE(SwitchLeftOver("\"/home/ann/clip.flc\" out/x.vnt"));
  EXPECT_TRUE(SwitchLeftOver("\"/home/ann/clip.flc\" /Z"));
  EXPECT_TRUE(SwitchLeftOver("/N2147483648"));
  EXPECT_FALSE(SwitchLeftOver(""));
}

}  // namespace
