#include "frontend/files/menu_commands.h"

#include "frontend/core/launcher.h"
#include "frontend/core/text_format.h"
#include "platform/system/dos_attributes.h"

namespace frontend {
namespace {

std::string Relative(const std::string& path, const std::string& directory) {
  return QuoteRelativeName(WithoutSeparator(path), directory);
}

std::string Sign(unsigned attributes, unsigned bit, char letter) {
  return std::string(1, (attributes & bit) ? '+' : '-') + letter;
}

}  // namespace

std::string CommandDirectory(const std::string& path) {
  return DirectoryPart(WithoutSeparator(path));
}

std::string CopyFileCommand(const std::string& source, const std::string& target) {
  const std::string directory = CommandDirectory(source);
  return "Copy " + Relative(source, directory) + " " + Relative(target, directory);
}

std::string RenameFileCommand(const std::string& source, const std::string& target) {
  const std::string directory = CommandDirectory(source);
  return "Ren " + Relative(source, directory) + " " + Relative(target, directory);
}

std::string DeleteFileCommand(const std::string& file) {
  return "Del " + Relative(file, CommandDirectory(file));
}

std::string AttribCommand(const std::string& file, unsigned attributes) {
  return "Attrib " + Relative(file, CommandDirectory(file)) + " " +
         Sign(attributes, platform::kDosReadOnly, 'R') + " " + Sign(attributes, platform::kDosHidden, 'H') +
         " " + Sign(attributes, platform::kDosSystem, 'S') + " " +
         Sign(attributes, platform::kDosArchive, 'A');
}

std::string FilePropertiesCommand(const std::string& file) {
  return "VntInfoW " + Relative(file, CommandDirectory(file));
}

std::string MakeDirectoryCommand(const std::string& directory) {
  return "MD " + Relative(directory, CommandDirectory(directory));
}

std::string RenameDirectoryCommand(const std::string& from, const std::string& to) {
  const std::string directory = CommandDirectory(from);
  return "Ren " + Relative(from, directory) + " " + Relative(to, directory);
}

std::string RemoveDirectoryCommand(const std::string& directory) {
  return "RD " + Relative(directory, CommandDirectory(directory));
}

}  // namespace frontend
