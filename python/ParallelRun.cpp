// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParallelRun.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <sched.h>
#include <string>
#include <thread>

namespace tamrisk::python {

namespace {

constexpr int kMaxThreads = 1024;

int UsableCpus()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace

int ThreadCount(py::handle threads)
{
    if (threads.is_none())
        return std::min(UsableCpus(), kMaxThreads);
    if (PyBool_Check(threads.ptr()) != 0 || PyIndex_Check(threads.ptr()) == 0)
        throw py::type_error("threads takes an int or None, not " +
                             std::string(py::str(py::type::handle_of(threads).attr("__name__"))));
    const py::int_ count = py::reinterpret_steal<py::int_>(PyNumber_Index(threads.ptr()));
    const long long value = PyLong_AsLongLong(count.ptr());
    if (value == -1 && PyErr_Occurred() != nullptr)
        PyErr_Clear();
    if (value < 1 || value > kMaxThreads)
        throw py::value_error("threads: value " + std::string(py::str(py::handle(count))) + " not in range [1 - " +
                              std::to_string(kMaxThreads) + "]");
    return int(value);
}

std::function<bool()> InterruptCheck()
{
    const py::module_ threading = py::module_::import("threading");
    if (!threading.attr("current_thread")().is(threading.attr("main_thread")()))
        return {};
    auto last = std::make_shared<std::chrono::steady_clock::time_point>(std::chrono::steady_clock::now());
    return [last] {
        const auto now = std::chrono::steady_clock::now();
        if (now - *last < std::chrono::milliseconds(50))
            return false;
        *last = now;
        const py::gil_scoped_acquire gil;
        return PyErr_CheckSignals() != 0;
    };
}

} // namespace tamrisk::python
