// Opening a hand-off bitmap for sequential reading, per platform.
#pragma once

#include <memory>

#include "renderer/bmp_reader.h"

namespace gelmo {

// The open file, closed when the object goes; null when it cannot be opened.
std::unique_ptr<ByteSource> OpenBitmapFile(const char* path);

}  // namespace gelmo
