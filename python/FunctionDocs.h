// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tamrisk::python {

// The docstring of a module function, by name; functions that take inputs
// list them from the input table, with meaning, unit and default. "" for
// an unknown name.
std::string Doc(const std::string& function);

// The module's docstring.
std::string ModuleDoc();

} // namespace tamrisk::python
