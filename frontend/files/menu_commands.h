#pragma once
// The command texts of the file and directory pop-up menus. Each runs in the directory that
// holds the file (or the directory's parent), so names there are written without directory;
// every name is in double quotes.
#include <string>

namespace frontend {

std::string CopyFileCommand(const std::string& source, const std::string& target);
std::string RenameFileCommand(const std::string& source, const std::string& target);
std::string DeleteFileCommand(const std::string& file);
// 'Attrib "x.txt" +R -H -S +A': the new attribute bits as four signed letters.
std::string AttribCommand(const std::string& file, unsigned attributes);
std::string FilePropertiesCommand(const std::string& file);
std::string MakeDirectoryCommand(const std::string& directory);
std::string RenameDirectoryCommand(const std::string& from, const std::string& to);
std::string RemoveDirectoryCommand(const std::string& directory);

// The directory these commands run in: the one that holds the (file or directory) name.
std::string CommandDirectory(const std::string& path);

}  // namespace frontend
