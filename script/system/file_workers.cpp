#include "script/system/file_workers.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/directory_search.h"
#include "platform/system/file_operations.h"
#include "platform/system/stop_signals.h"
#include "platform/system/wildcard.h"
#include "script/language/file_slots.h"
#include "toolsupport/base/paths.h"

namespace script {

namespace {

bool DoFileOperation(const std::string& source, const std::string& target, FileOperation operation) {
  switch (operation) {
    case FileOperation::kDelete:
      return unlink(source.c_str()) == 0;
    case FileOperation::kRename:
      return platform::MoveFile(source, target) == 0;
    case FileOperation::kCopy:
      // A stop signal cancels a long copy instead of waiting for its end.
      return platform::CopyFile(source, target, [](uint64_t, uint64_t) {
               return !platform::StopSignalPending();
             }).Copied();
  }
  return false;
}

}  // namespace

bool ApplyToMatchingFiles(const std::string& source, const std::string& destination, FileOperation operation) {
  std::string target = NativeFileName(destination);
  if (target.empty()) {
    target = "*.*";
  } else if (platform::IsDirectory(target)) {
    target = WithSeparator(target) + "*.*";
  }
  const platform::SearchResult found = platform::FindMatches(NativeFileName(source));
  for (const platform::FoundEntry& entry : found.entries) {
    if (!S_ISREG(entry.mode)) continue;
    const std::string targetName = platform::WildcardTargetName(target, entry.name);
    if (!DoFileOperation(found.directory + entry.name, targetName, operation)) return false;
  }
  return true;
}

}  // namespace script
