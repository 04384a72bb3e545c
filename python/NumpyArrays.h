// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tamrisk::python {

namespace py = pybind11;

// A new C-ordered numpy array of the given shape; its values are to be written.
template <typename T>
py::array_t<T> NewArray(std::vector<py::ssize_t> shape)
{
    return py::array_t<T>(std::move(shape));
}

template <typename T>
py::array_t<T> ArrayOf(const std::vector<T>& values)
{
    py::array_t<T> array = NewArray<T>({py::ssize_t(values.size())});
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

} // namespace tamrisk::python
