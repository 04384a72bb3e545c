#pragma once

#include "plot/Raster.h"

#include <string>

namespace tamrisk {

// Writes the picture as an 8-bit RGB PNG file. False on failure, with the
// reason in *error.
bool WritePng(const Raster& picture, const std::string& path, std::string* error = nullptr);

} // namespace tamrisk
