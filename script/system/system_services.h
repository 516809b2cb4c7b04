#pragma once
// What a script run keeps of the system services it reaches: the print file, the file search
// and the media devices.
#include "script/system/file_search.h"
#include "script/system/media_control.h"
#include "script/system/print_file.h"

namespace script {

struct SystemServices {
  PrintFile print;
  FileSearch search;
  MediaDevices media;
};

}  // namespace script
