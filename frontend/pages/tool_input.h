#pragma once
// What a tool page runs on: the input highlighted in its file list and the output name, the
// way every tool reads them ("input" "output"). Several highlighted files become a list file
// on request; a file of a run of numbered files may stand for the whole run as a series
// ("frame???.bmp*5-12", one '?' per digit). Also the default output name that follows the
// highlighted input.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace frontend {

class FileControls;
class FrontEnd;

// The first run of decimal digits in a file name and what stands around it.
struct NumberedName {
  std::string prefix;
  std::string suffix;
  size_t width = 0;  // digits in the run
  int64_t number = 0;
};

// Longer runs are no frame numbers (a date, a serial) and the series reader cannot count them.
inline constexpr size_t kLongestFrameNumber = 9;

// The run of the name without its directory; nothing when it has no digit or the run is longer
// than kLongestFrameNumber.
std::optional<NumberedName> FindNumberedName(const std::string& name);
// The name with another number in the run, zero-padded to the run's width.
std::string WithNumber(const NumberedName& name, int64_t number);

struct NumberRange {
  int64_t first = 0;
  int64_t last = 0;
};
// The numbers around the name's own for which `present` holds without a gap.
NumberRange ProbeSequence(const NumberedName& name, const std::function<bool(const std::string&)>& present);

// directory + prefix + one '?' per digit + suffix + "*first-last".
std::string SeriesInputName(const std::string& directory, const NumberedName& name, NumberRange range);
// The output for a series: an output named after the highlighted file (or "New_" and it) loses
// the frame number; any other name stays.
std::string SeriesOutputName(const std::string& output, const std::string& selectedName,
                             const NumberedName& name);

// The quoted input, a blank and the quoted output (names in the list's directory without it),
// or "" when nothing is to run. Asks about list files and series as needed.
std::string GatherToolInput(FrontEnd& frontEnd, FileControls& files, const std::string& output);

// A default output name for the highlighted input.
struct OutputProposal {
  std::string shown;    // for the output edit: without directory when it is the based-on one's
  std::string basedOn;  // to remember
};
// `input` the highlighted file's full name; `typed` the output edit's text; `extension`
// without its '.'. The name is the input's; a typed directory and extension that differ from the
// remembered ones are kept. An output that would be the input itself gets the prefix.
OutputProposal ProposeOutputName(const std::string& input, const std::string& listDirectory,
                                 const std::string& typed, const std::string& basedOn,
                                 const std::string& prefix, const std::string& extension);

}  // namespace frontend
