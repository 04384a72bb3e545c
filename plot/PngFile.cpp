#include "plot/PngFile.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace tamrisk {

bool WritePng(const Raster& picture, const std::string& path, std::string* error)
{
    const auto fail = [error](const std::string& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (picture.width() <= 0 || picture.height() <= 0)
        return fail("empty picture");

    std::vector<png_byte> rgb;
    rgb.reserve(picture.pixels().size() * 3);
    for (Color c : picture.pixels()) {
        rgb.push_back(static_cast<png_byte>(c >> 16));
        rgb.push_back(static_cast<png_byte>(c >> 8));
        rgb.push_back(static_cast<png_byte>(c));
    }

    // The simplified API reports errors through image.message instead of
    // longjmp, which must not cross C++ frames.
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width());
    image.height = static_cast<png_uint_32>(picture.height());
    image.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
    const std::string message = image.message;
    png_image_free(&image);
    if (!ok)
        return fail(message.empty() ? "cannot write " + path : message);
    return true;
}

} // namespace tamrisk
