#include "frontend/pages/tool_input.h"

#include <unordered_set>
#include <vector>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/name_parts.h"
#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/page_utilities.h"

namespace frontend {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Several highlighted files: offer a list file of them; nothing runs this time.
void OfferListFile(FrontEnd& frontEnd, FileControls& files) {
  const BoxAnswer answer = YesNoCancelBox(
      frontEnd,
      "You have highlighted more than one file to process.\r\nDo you want to create a list file?", kYes);
  if (answer == kNo) {
    ErrorBox(frontEnd,
             "You must create a list file to process multiple selections.\r\nTo process a single "
             "file, then just highlight that one file by itself.");
    return;
  }
  if (answer != kYes || !frontEnd.dialogs.newListFromSelection) return;
  const std::string list = frontEnd.dialogs.newListFromSelection(files);
  if (list.empty()) return;
  const std::string directory = DirectoryPart(list);
  if (!directory.empty()) files.SetDirectory(directory);
  files.ClearSelection();
  RefreshFileList(files, list);
  InfoBox(frontEnd, "The list file, " + list + ", has been created and is highlighted.\r\n" +
                        "You may now use it to process your multiple selections.");
}

}  // namespace

std::optional<NumberedName> FindNumberedName(const std::string& path) {
  const std::string name = NamePart(path);
  size_t start = 0;
  while (start < name.size() && !IsDigit(name[start])) ++start;
  if (start == name.size()) return std::nullopt;
  size_t end = start;
  while (end < name.size() && IsDigit(name[end])) ++end;
  if (end - start > kLongestFrameNumber) return std::nullopt;
  NumberedName numbered;
  numbered.prefix = name.substr(0, start);
  numbered.suffix = name.substr(end);
  numbered.width = end - start;
  numbered.number = std::stoll(name.substr(start, end - start));
  return numbered;
}

std::string WithNumber(const NumberedName& name, int64_t number) {
  std::string digits = std::to_string(number);
  if (digits.size() < name.width) digits.insert(0, name.width - digits.size(), '0');
  return name.prefix + digits + name.suffix;
}

NumberRange ProbeSequence(const NumberedName& name,
                          const std::function<bool(const std::string&)>& present) {
  NumberRange range{name.number, name.number};
  while (range.first > 0 && present(WithNumber(name, range.first - 1))) --range.first;
  while (present(WithNumber(name, range.last + 1))) ++range.last;
  return range;
}

std::string SeriesInputName(const std::string& directory, const NumberedName& name,
                            NumberRange range) {
  return WithSeparator(directory) + name.prefix + std::string(name.width, '?') + name.suffix + "*" +
         std::to_string(range.first) + "-" + std::to_string(range.last);
}

std::string SeriesOutputName(const std::string& output, const std::string& selectedName,
                             const NumberedName& name) {
  const std::string directory = DirectoryPart(output);
  const std::string base = NamePart(WithoutExtension(output));
  const std::string selectedBase = NamePart(WithoutExtension(selectedName));
  // The run's neighbours without the number and the input's extension ("frame", "shot_a").
  const std::string unnumbered = name.prefix + name.suffix.substr(0, name.suffix.rfind('.'));
  const std::string extension = ExtensionOf(output);
  if (unnumbered.empty()) return output;
  if (base == selectedBase) return directory + unnumbered + extension;
  // The word the pages put in front of a default output name, in whatever case it was typed.
  const std::string newWord = "new_";
  if (base.size() > newWord.size() && LowerCase(base.substr(0, newWord.size())) == newWord &&
      base.substr(newWord.size()) == selectedBase) {
    return directory + "New_" + unnumbered + extension;
  }
  return output;
}

std::string GatherToolInput(FrontEnd& frontEnd, FileControls& files, const std::string& typedOutput) {
  if (files.MultiSelect() && files.SelectedFiles().size() > 1) {
    OfferListFile(frontEnd, files);
    return "";
  }
  std::string input = files.SelectedPath();
  if (input.empty()) return "";
  std::string output = TrimBlanks(typedOutput);
  const std::string directory = files.Directory();
  if (const std::optional<NumberedName> numbered = FindNumberedName(input)) {
    const std::vector<std::string> names = files.FileNames();
    const std::unordered_set<std::string> listed(names.begin(), names.end());
    const NumberRange range = ProbeSequence(
        *numbered, [&listed](const std::string& name) { return listed.count(name) != 0; });
    if (range.first != range.last) {
      const BoxAnswer answer = YesNoCancelBox(
          frontEnd,
          "This file appears to be part of a sequence of files (" + std::to_string(range.first) +
              " to " + std::to_string(range.last) +
              ").\r\nDo you want to treat the sequence as a single animation?",
          kYes);
      if (answer == kCancel) return "";
      if (answer == kYes) {
        output = SeriesOutputName(output, NamePart(input), *numbered);
        input = SeriesInputName(DirectoryPart(input), *numbered, range);
      }
    }
  }
  return QuoteRelativeName(input, directory) + " " + QuoteRelativeName(output, directory);
}

OutputProposal ProposeOutputName(const std::string& input, const std::string& listDirectory,
                                 const std::string& typedText, const std::string& basedOn,
                                 const std::string& prefix, const std::string& extension) {
  const std::string typed = Unquoted(typedText);
  const std::string typedDirectory = DirectoryPart(typed);
  const std::string basedDirectory = DirectoryPart(basedOn);
  const std::string directory =
      !typedDirectory.empty() && !basedDirectory.empty() && typedDirectory != basedDirectory
          ? typedDirectory
          : WithSeparator(listDirectory);
  const std::string typedExtension = ExtensionOf(typed);
  const std::string basedExtension = ExtensionOf(basedOn);
  const std::string outputExtension =
      !typedExtension.empty() && !basedExtension.empty() &&
              !EqualIgnoringCase(typedExtension, basedExtension)
          ? typedExtension
          : "." + extension;
  const std::string inputBase = NamePart(WithoutExtension(input));

  OutputProposal proposal;
  std::string result = directory + inputBase + outputExtension;
  if (result == input) {
    result = DirectoryPart(input) + prefix + inputBase + ExtensionOf(input);
    proposal.basedOn = result;
  } else {
    proposal.basedOn = input;
  }
  proposal.shown = DirectoryPart(result) == DirectoryPart(proposal.basedOn) ? NamePart(result) : result;
  return proposal;
}

}  // namespace frontend
