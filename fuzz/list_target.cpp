// A list file walked entry by entry (series expanded), twice, and its text as a single name.
#include <string>

#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"
#include "toolsupport/io/list_file.h"

namespace fuzz {
namespace {

void Walk(toolsupport::ListWalker& walker) {
  toolsupport::ListEntry entry;
  for (uint32_t i = 0; i < kMaxEntries && walker.ParseListEntry(entry); ++i) {
  }
}

}  // namespace

int FuzzListFile(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".lst");
  toolsupport::ListWalker walker;
  if (!path.empty() && walker.OpenListFile(path)) {
    Walk(walker);
    walker.Rewind();
    Walk(walker);
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  walker.SetSingleName(text.substr(0, text.find('\n')));
  Walk(walker);
  return 0;
}

}  // namespace fuzz
