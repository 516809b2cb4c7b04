#pragma once
// List files (".lst", one input per line) and numbered series names such as
// "Exam???.BMP*1-149". The picture input and the sound input both walk their
// entries through a ListWalker.
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace toolsupport {

// One entry of a list: a file name with its own frame range (0 = open end).
struct ListEntry {
  std::string name;
  int32_t start = 0;
  int32_t end = 0;
  bool inSeries = false;  // produced by expanding a series name
  bool startGiven = false;  // the line had a "/S" word (the list editor shows it)
  bool endGiven = false;
};

// A series: prefix + number (at least `digits` digits, zero-padded) + rest,
// for every number from first to last.
struct SeriesName {
  std::string prefix;
  int digits = 0;
  std::string rest;
  int64_t first = 0;
  int64_t last = 0;
  // No usable range: no '*' and no /S /E, a last number of 0, or last < first.
  bool Empty() const { return last <= 0 || last < first; }
  std::string NameOf(int64_t number) const;
};

// True when the name holds a '?' run, i.e. names a series.
bool IsSeriesName(std::string_view name);

// Parses a series name. The range comes from "*first-last" after the '?' run;
// without '*' the given start and end (a list line's /S and /E) are used.
std::optional<SeriesName> ParseSeriesName(std::string_view text, int32_t start, int32_t end);

// Parses one line of a list file (or of a wave list). "/S#" and "/E#" are read only as
// words of their own (at the start or after a blank or tab, digits up to the end of the
// word, outside double quotes) and taken out, so that path parts such as "/srv" or
// "/s01/" stay in the name; what is left, trimmed, is the name, blanks included, and a
// name written in double quotes as a whole loses them. A line beginning with '#' or
// holding only blanks gives an empty name.
ListEntry ParseListLine(std::string_view line);

// Walks the entries of a list file, of a single series name or of a single plain
// name, one entry per call. At the end the walk starts over on the next call, so
// the same input can be walked again.
class ListWalker {
 public:
  // Opens a list file; false when it cannot be read.
  bool OpenListFile(const std::string& path);
  // Walks a single name instead: a series name, or a plain name given once.
  void SetSingleName(std::string name);

  // Produces the next entry; false when the walk has ended (and is rewound).
  bool ParseListEntry(ListEntry& entry);

  // Back to the first entry.
  void Rewind();

  bool HasListFile() const { return file_.is_open(); }

 private:
  bool NextLine(std::string& line);

  std::ifstream file_;
  std::string path_;
  std::string singleName_;
  bool singleTaken_ = false;
  std::optional<SeriesName> series_;
  int64_t nextNumber_ = 0;
};

}  // namespace toolsupport
