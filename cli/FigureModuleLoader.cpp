// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FigureModuleLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <string_view>

namespace tamrisk::cli {

namespace {

// The folder of the running executable, with a final slash.
std::string ExecutableFolder()
{
    std::array<char, PATH_MAX> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return {};
    const std::string_view exe(path.data(), std::size_t(length));
    return std::string(exe.substr(0, exe.rfind('/') + 1));
}

} // namespace

DrawFigureFunction LoadFigureModule(std::string& problem)
{
    const std::string folder = ExecutableFolder();
    // Beside the executable in the build tree; in the library folder when installed.
    const std::array<std::string, 2> candidates{folder + TAMRISK_FIGURE_MODULE_FILE,
                                                folder + TAMRISK_FIGURE_MODULE_FROM_BIN "/" TAMRISK_FIGURE_MODULE_FILE};
    for (const std::string& path : candidates) {
        if (::access(path.c_str(), F_OK) != 0)
            continue;
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            problem = std::string("cannot load the figure module: ") + ::dlerror();
            return nullptr;
        }
        // The module stays loaded for the life of the process.
        if (void* symbol = ::dlsym(module, TAMRISK_DRAW_FIGURE_SYMBOL))
            return reinterpret_cast<DrawFigureFunction>(symbol);
        problem = "the figure module " + path + " has no " TAMRISK_DRAW_FIGURE_SYMBOL;
        return nullptr;
    }
    problem = std::string("the figure module " TAMRISK_FIGURE_MODULE_FILE " is missing (looked in ") + candidates[0] +
              " and " + candidates[1] + ")";
    return nullptr;
}

} // namespace tamrisk::cli
