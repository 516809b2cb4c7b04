#pragma once
// What a script run keeps of the system services it reaches: the print file, the file search,
// the media devices and what makes temporary names.
#include <random>

#include "script/system/file_search.h"
#include "script/system/media_control.h"
#include "script/system/print_file.h"

namespace script {

struct SystemServices {
  PrintFile print;
  FileSearch search;
  MediaDevices media;
  std::mt19937 tempNames{std::random_device{}()};  // the letters of FILETEMP's names
};

}  // namespace script
