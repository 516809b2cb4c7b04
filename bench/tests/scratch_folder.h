#pragma once
// Test files of the speed bench go to a scratch directory of their own.
#include "scratch_directory.h"

using ScratchFolder = testsupport::ScratchDirectory;
