// MD and RD, and the paths the front end remembers, which follow a rename or a removal.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "frontend/console/console.h"
#include "frontend/console/console_commands.h"
#include "frontend/core/basic_console.h"
#include "frontend/core/front_end.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/text_format.h"

namespace frontend {
namespace {

// The directories of the pages, the console and the program.
std::vector<std::string*> RememberedDirectories(Settings& settings) {
  return {&settings.compress.directory, &settings.mix.vantDirectory, &settings.mix.waveDirectory,
          &settings.play.directory,     &settings.script.directory,  &settings.graphics.directory,
          &settings.sound.directory,    &settings.command.directory, &settings.main.directory};
}

// The path with `from` (a whole leading run of components) replaced by `to`; nothing when the
// path does not lie under `from`.
std::optional<std::string> Moved(const std::string& path, const std::string& from, const std::string& to) {
  const std::string plain = WithoutSeparator(path);
  const bool trailing = plain.size() < path.size();
  std::string out;
  if (plain == from) {
    out = to;
  } else if (const std::string prefix = WithSeparator(from); plain.compare(0, prefix.size(), prefix) == 0) {
    out = WithSeparator(to) + plain.substr(prefix.size());
  } else {
    return std::nullopt;
  }
  return trailing ? WithSeparator(out) : out;
}

std::string ParentOf(const std::string& path) {
  const std::string parent = DirectoryPart(WithoutSeparator(path));
  return parent.empty() ? "/" : WithoutSeparator(parent);
}

// MD and RD: the echo, the change, and its line (a failure also in a box off the Command tab).
// Gives the directory's full path when the change was made.
std::optional<std::string> ChangeDirectory(FrontEnd& frontEnd, const std::string& argument,
                                           const std::string& word, const std::string& verb,
                                           const std::string& done, int (*change)(const char*)) {
  const std::string name = Unquoted(argument);
  if (name.empty()) {
    frontEnd.console.AppendToLastLine(word + " - error, no directory name given.");
    return std::nullopt;
  }
  frontEnd.console.AppendToLastLine(word + " " + name);
  const std::string path = ConsolePath(frontEnd, name);
  if (change(path.c_str()) != 0) {
    frontEnd.console.Append("  Could not " + verb + " " + name);
    if (!CommandTabActive(frontEnd)) ErrorBox(frontEnd, "Error, could not " + verb + " " + name);
    return std::nullopt;
  }
  frontEnd.console.Append("  " + name + " " + done);
  return path;
}

int MakeDirectory(const char* path) { return mkdir(path, 0777); }

}  // namespace

void MoveRememberedPaths(FrontEnd& frontEnd, const std::string& from, const std::string& to) {
  for (std::string* path : RememberedDirectories(frontEnd.settings)) {
    if (path->empty()) continue;
    if (const std::optional<std::string> moved = Moved(*path, from, to)) *path = *moved;
  }
}

void ConsoleMkDir(FrontEnd& frontEnd, const std::string& argument) {
  ChangeDirectory(frontEnd, argument, "MD", "make", "was made.", MakeDirectory);
}

void ConsoleRmDir(FrontEnd& frontEnd, const std::string& argument) {
  const std::optional<std::string> path =
      ChangeDirectory(frontEnd, argument, "RD", "remove", "was removed.", rmdir);
  if (!path) return;
  const std::string parent = ParentOf(*path);
  for (std::string* remembered : RememberedDirectories(frontEnd.settings)) {
    if (WithoutSeparator(*remembered) == *path) *remembered = parent;
  }
  // The process stood in the removed directory: it goes where the console went.
  char here[PATH_MAX];
  if (getcwd(here, sizeof here) == nullptr && chdir(parent.c_str()) != 0) {
    // Nothing better: the next command moves to the console directory anyway.
  }
}

}  // namespace frontend
