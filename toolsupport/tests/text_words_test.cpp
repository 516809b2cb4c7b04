#include "toolsupport/base/text_words.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct TakeCase {
  const char* text;
  const char* word;
  const char* rest;
};

TEST(TextWords, TakeWordTable) {
  const TakeCase cases[] = {
      {"10 , 20", "10 ,", "20"},
      {"10,20", "10,20", ""},
      {"  a \t b c", "a", "b c"},
      {"\"my clip.vnt\" out", "\"my", "clip.vnt\" out"},
      {"   ", "", ""},
      {"", "", ""},
  };
  for (const TakeCase& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(TakeWord(text), c.word) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(TextWords, TakeArgumentTable) {
  const TakeCase cases[] = {
      {"\"my clip.vnt\" out.vnt", "my clip.vnt", "out.vnt"},
      {"  \"/home/ann/a b.flc\"\"x\"", "/home/ann/a b.flc", "\"x\""},
      {"\" padded \" rest ", "padded", "rest"},
      {"\"unclosed name", "\"unclosed", "name"},
      {"../rel/clip.flc out", "../rel/clip.flc", "out"},
      {"\"\" x", "", "x"},
      {"", "", ""},
  };
  for (const TakeCase& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(TakeArgument(text), c.word) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(TextWords, TrimAndStripQuotes) {
  const std::pair<const char*, const char*> strip[] = {
      {"\"", "\""}, {"\"\"", ""}, {"  \"a b\" \r\n", "a b"}, {"\"a\"b\"", "a\"b"}, {"a\"", "a\""},
  };
  for (const auto& [in, out] : strip) {
    std::string text = in;
    StripQuotes(text);
    EXPECT_EQ(text, out) << in;
  }
  std::string high = " \t\xA0name\xA0\x01";  // bytes of 128 and above are not blanks
  TrimText(high);
  EXPECT_EQ(high, "\xA0name\xA0");
  std::string leading = "  x  ";
  TrimLeading(leading);
  EXPECT_EQ(leading, "x  ");
}

TEST(TextWords, CaseFoldingTouchesAsciiLettersOnly) {
  EXPECT_EQ(TrimBlanks("\t a b \r\n"), "a b");
  EXPECT_EQ(LowerCase("VantCW.EXE \xC4\xD6"), "vantcw.exe \xC4\xD6");
  const std::tuple<const char*, const char*, bool> pairs[] = {
      {"Vnttune", "VNTTUNE", true}, {"a.WAV", "A.wav", true}, {"ab", "abc", false},
      {"\xC4", "\xE4", false},  // beyond ASCII nothing is folded
  };
  for (const auto& [a, b, equal] : pairs) EXPECT_EQ(EqualIgnoringCase(a, b), equal) << a << " " << b;
}

TEST(TextWords, AppendNumberWritesAtThePositionAndChains) {
  std::string text = "frame ";
  size_t end = AppendNumber(-5, text);
  EXPECT_EQ(text, "frame -5");
  end = AppendNumber(12, text, end);
  EXPECT_EQ(text, "frame -512");
  EXPECT_EQ(end, text.size());
  AppendNumber(7, text, 6);  // cuts what stood there
  EXPECT_EQ(text, "frame 7");
}

TEST(TextWords, ElapsedTimeAtItsBoundaries) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0 milliseconds"},
      {1, "1 millisecond"},
      {999, "999 milliseconds"},
      {1000, "1 second"},
      {1999, "1 second"},
      {59999, "59 seconds"},
      {60000, "1 minute 0 seconds"},
      {61000, "1 minute 1 second"},
      {122000, "2 minutes 2 seconds"},
      {3599999, "59 minutes 59 seconds"},
      {3600000, "1 hour 0 minutes"},
      {3725000, "1 hour 2 minutes"},
      {7260000, "2 hours 1 minute"},
      {uint64_t{5000} * 3600000, "5000 hours 0 minutes"},
  };
  for (const auto& [ms, words] : cases) {
    std::string text = "in ";
    FormatElapsedTime(text, ms);
    EXPECT_EQ(text, std::string("in ") + words) << ms;
  }
}

}  // namespace
