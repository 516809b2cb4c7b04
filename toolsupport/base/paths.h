#pragma once
// Path shaping of the command-line programs. The separator is '/'; there are no drive letters;
// names keep their case.
#include <cstdint>
#include <string>

// Position of the extension's '.', or npos. Only the last name counts ("dir.d/file" has none),
// and a '.' that begins the name (".hidden", "..") is no extension.
size_t FindExtension(const std::string& path);

// Replaces the path by its full path: relative paths are taken from the current directory, and
// ".", ".." and doubled separators are resolved by the text alone. A trailing '/' stays. An
// empty path stays empty.
void MakeFullPath(std::string& path);

// Trims the text and appends '/' unless it is empty or already ends in '/'.
void AddPathSeparator(std::string& directory);
// The directory with exactly one trailing '/' ("/" stays "/"; "" stays ""); not trimmed.
std::string WithSeparator(std::string directory);
// The path without trailing '/' (the root stays "/").
std::string WithoutSeparator(std::string path);

// True when the directory exists and can be entered. The text becomes its full form, without a
// trailing '/' (except the root); an empty text means the current directory. With `keep` set the
// current directory becomes it; otherwise the current directory is left as it was.
bool EnterDirectory(bool keep, std::string& directory);

// Reduces the path in place to the chosen parts of its full form: drive (always empty here),
// directory (with its trailing '/'), name and extension. A path naming a directory has no name
// and no extension.
void ReducePath(bool keepExtension, bool keepName, bool keepDirectory, bool keepDrive,
                std::string& path);

// Size in bytes of an existing regular file, 0 when there is none.
uint64_t GetFileLength(const std::string& fileName);


// Two names for one file: the same device and inode when both exist, else the same full path.
bool SameFile(const std::string& a, const std::string& b);
