#pragma once
// What the picture targets share: one format read through the image layer as the tools read a
// picture, its size first, then the picture into an image of that size.
#include <cstddef>
#include <cstdint>

#include "platform/image/image.h"

namespace fuzz {

int FuzzPicture(platform::ImageFormat format, const char* extension, const uint8_t* data, size_t size);

}  // namespace fuzz
