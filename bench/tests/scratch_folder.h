#pragma once
// Test files of the speed bench go to a scratch directory of their own.
#include "testsupport/scratch_directory.h"

using ScratchFolder = testsupport::ScratchDirectory;
