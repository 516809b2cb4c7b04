#include "tools/binder/binder_main.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "tools/binder/bound_program.h"
#include "toolsupport/io/buffered_file.h"
#include "toolsupport/base/paths.h"
#include "platform/system/file_names.h"
#include "toolsupport/ui/status_window.h"
#include "toolsupport/base/text_words.h"
#include "platform/system/file_replacement.h"
#include "toolsupport/ui/tool_run.h"
#include "playback/vant.h"

namespace binder {
namespace {

using toolsupport::BufferedFile;

constexpr char kUsage[] =
    "SYNTAX:  VntCompi  InputPlayer[.EXE] Output[.EXE] Player Switches Vnt1[.VNT] Vnt2[.VNT] ... \n"
    "The player switches are one word: packed together (/L/F10) or in one quoted argument "
    "(\"/L /F10\").\n";
constexpr int32_t kOutputBuffer = 32768;

struct BinderRun {
  std::string playerName, outputName, playerSwitches;
  std::vector<std::string> videoNames;
  std::vector<int64_t> offsets;
  std::string storedText;
  int64_t area = -1;
  BufferedFile output{kOutputBuffer};
  platform::FileReplacement outputFile;  // replaces the output only when the run completes
  std::string report;
};

using toolsupport::Status;

Status Fail(const std::string& message) { return Status::Error(message); }

// A name without extension gets the default one; an existing file keeps the name it was given
// (programs here usually have no extension).
std::string NameWithExtension(const std::string& name, const char* extension, bool creating) {
  if (FindExtension(name) != std::string::npos) return name;
  if (creating) return platform::NameForCreating(name, extension);
  struct stat info {};
  if (stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return name;
  return platform::NameForOpening(name, extension);
}

Status ReadCommand(std::string text, BinderRun& run) {
  run.playerName = TakeArgument(text);
  run.outputName = TakeArgument(text);
  run.playerSwitches = TakeArgument(text);
  while (!text.empty()) run.videoNames.push_back(TakeArgument(text));
  if (run.playerName.empty() || run.outputName.empty()) {
    ShowMessage(false, kUsage);
    return Status::Stopped();
  }
  run.playerName = NameWithExtension(run.playerName, ".exe", false);
  run.outputName = NameWithExtension(run.outputName, ".exe", true);
  for (std::string& name : run.videoNames) name = NameWithExtension(name, ".vnt", false);
  return {};
}

// The offsets the videos will have and the text that names them; every limit is checked here,
// before anything is written.
Status PlanVideos(BinderRun& run) {
  if (SameFile(run.playerName, run.outputName)) return Fail(kSameFileMessage);
  for (const std::string& name : run.videoNames) {
    if (SameFile(name, run.outputName)) return Fail(kSameFileMessage);
  }
  if (run.videoNames.size() > kMostVideos) {
    return Fail("Error: " + std::to_string(run.videoNames.size()) + " videos given; at most " +
                std::to_string(kMostVideos) + " can be bound.");
  }
  struct stat player {};
  if (stat(run.playerName.c_str(), &player) != 0 || !S_ISREG(player.st_mode) ||
      access(run.playerName.c_str(), R_OK) != 0) {
    return Fail("Error opening the input EXE file.");
  }
  int64_t offset = RoundUpToBlock(player.st_size);
  for (const std::string& name : run.videoNames) {
    VantVideo* video = VantOpen(name.c_str(), 0, 0);
    if (video == nullptr) return Fail("Error opening file: " + name + ".");
    VantClose(video);
    run.offsets.push_back(offset);
    offset += RoundUpToBlock(static_cast<int64_t>(GetFileLength(name)));
  }
  run.storedText = StoredText(run.offsets, run.playerSwitches);
  if (run.storedText.size() > kLongestStoredText) {
    return Fail("Error: the stored command text \"" + run.storedText + "\" is " +
                std::to_string(run.storedText.size()) + " characters long; the player holds at most " +
                std::to_string(kLongestStoredText) + ".");
  }
  return {};
}

Status WriteOutput(BinderRun& run) {
  if (!ConfirmOverwrite(run.outputName)) return Status::Stopped();
  const int error = run.outputFile.Begin(run.outputName);
  if (error != 0 || !run.output.Create(run.outputFile.Path().c_str())) {
    return Fail(toolsupport::FileErrorText("Error creating the output file.", run.outputName, error ? error : errno));
  }
  if (auto copied = AppendPadded(run.output, run.playerName, StatusProgress()); !copied.ok()) return copied.status();
  const int64_t end = run.output.Size();
  // The whole area is written: a player that was bound before keeps nothing of its old text.
  std::string area = run.storedText;
  area.resize(kStoredTextArea, '\0');
  run.output.Seek(run.area);
  run.output.WriteRaw(area.data(), area.size());
  run.output.Seek(end);
  for (size_t i = 0; i < run.videoNames.size(); ++i) {
    // A video that changed since it was measured would put the later ones off their offsets.
    if (run.output.Size() != run.offsets[i]) {
      return Fail("Error opening file: " + run.videoNames[i] + ".");
    }
    if (auto copied = AppendPadded(run.output, run.videoNames[i], StatusProgress()); !copied.ok()) {
      return copied.status();
    }
  }
  const int64_t size = run.output.Size();
  run.output.Close();
  if (run.output.WriteError()) return Fail(toolsupport::WriteErrorText(run.output.WriteErrorNumber()));
  // Runnable like the player it was copied from.
  struct stat player {};
  if (stat(run.playerName.c_str(), &player) == 0) run.outputFile.SetMode(player.st_mode & 07777);
  run.report = "Created " + run.outputName + " - " + std::to_string(size) + " bytes written.";
  if (StatusCancelled()) return Status::Stopped();
  if (const int failed = run.outputFile.Commit(); failed != 0) {
    return Fail(toolsupport::FileErrorText("Error writing", run.outputName, failed));
  }
  return {};
}

Status Bind(const std::string& commandText, BinderRun& run) {
  if (Status read = ReadCommand(commandText, run); !read.ok()) return read;
  if (Status planned = PlanVideos(run); !planned.ok()) return planned;
  run.area = FindSelfPlayArea(run.playerName, "VANTREL!", "SELFPLAY", kStoredTextArea, StatusProgress());
  if (StatusCancelled()) return Status::Stopped();
  if (run.area < 0) return Fail("Unable to find the self-modification markers.");
  return WriteOutput(run);
}

}  // namespace

std::string BinderUsageText() { return kUsage; }

int BinderMain(std::string commandText) {
  return RunToolWith(std::move(commandText), kBinderVersionLine, kBinderTitle, Bind);
}

}  // namespace binder
