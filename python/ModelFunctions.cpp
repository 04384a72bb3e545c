// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFunctions.h"

#include "FunctionDocs.h"
#include "InputArguments.h"
#include "NumpyArrays.h"

#include "model/CurveTable.h"
#include "model/InputTable.h"
#include "output/CleanTable.h"
#include "plot/ReadoutTable.h"
#include "plot/Recompute.h"

namespace tamrisk::python {

namespace {

// The named tuples, made once when the module loads; the module keeps them.
py::handle gInputType;
py::handle gReadoutType;

py::object NamedTuple(py::module_& module, const char* name, std::initializer_list<const char*> fields, const char* doc)
{
    py::list names;
    for (const char* field : fields)
        names.append(field);
    py::object type = py::module_::import("collections").attr("namedtuple")(name, names);
    type.attr("__module__") = module.attr("__name__");
    type.attr("__doc__") = doc;
    module.attr(name) = type;
    return type;
}

// The table's grid and columns as float32 arrays, by the clean table's column names.
py::dict TableArrays(const SampleTable& table)
{
    py::dict arrays;
    const int count = std::max(table.count, 0);
    py::array_t<float> key = NewArray<float>({count});
    float* keys = key.mutable_data();
    for (int i = 0; i < count; ++i)
        keys[i] = SampleKey(table, i);
    arrays[table.keyColumn] = key;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        py::array_t<float> column = NewArray<float>({count});
        float* values = column.mutable_data();
        for (int i = 0; i < count; ++i)
            values[i] = SampleValue(table, c, i);
        arrays[table.columns[c].first] = column;
    }
    return arrays;
}

py::dict InputList()
{
    py::dict inputs;
    const Inputs defaults;
    for (const InputRow& row : InputTable()) {
        const std::string name = PythonName(row.name);
        inputs[name.c_str()] = gInputType(name, row.unit, row.meaning, KindName(row), InputValue(row, defaults));
    }
    inputs[kShowName] = gInputType(kShowName, "", "curves to show, by flag name", "curves", ShownCurves(defaults));
    return inputs;
}

py::dict Profile(const py::kwargs& kwargs)
{
    const Inputs inputs = ReadInputs("profile", kwargs);
    ModelState state;
    {
        const py::gil_scoped_release release;
        RecomputeNumbers(inputs.controls, state, inputs.overrides);
    }
    py::dict result = TableArrays(ProfileTable(state.params, state.profile));
    // Under "totals", as in the tool's JSON document: the ratio of the totals
    // shares its read-out name with the per-depth array eff_ratio.
    py::dict totals;
    for (const MainControl id :
         {MainControl::EffLabTotalReadout, MainControl::EffNatTotalReadout, MainControl::EffRatioReadout}) {
        const ReadoutRow& row = ReadoutOf(id);
        totals[row.name] = row.renderedValue(state.params, state.profile);
    }
    result["totals"] = totals;
    return result;
}

py::dict Curves(const py::kwargs& kwargs)
{
    Inputs inputs = ReadInputs("curves", kwargs);
    // Every signal curve, whatever the shown curves, as the tool's curves command.
    for (const CurveRow& curve : kCurves)
        if (curve.plot == PlotKind::Signal)
            inputs.controls.flags.*curve.flag = true;
    ModelState state;
    {
        const py::gil_scoped_release release;
        RecomputeNumbers(inputs.controls, state, inputs.overrides);
    }
    return TableArrays(CurvesTable(state.params, state.curves));
}

py::dict Readouts(const py::kwargs& kwargs)
{
    const Inputs inputs = ReadInputs("readouts", kwargs);
    ModelState state;
    std::vector<Readout> readouts;
    {
        const py::gil_scoped_release release;
        readouts = ComputeReadouts(inputs, state);
    }
    py::dict result;
    for (const Readout& readout : readouts)
        result[readout.name] = gReadoutType(readout.value, readout.text, FindReadout(readout.name)->unit);
    return result;
}

} // namespace

void AddModelFunctions(py::module_& module)
{
    gInputType = NamedTuple(module, "Input", {"name", "unit", "meaning", "kind", "default"},
                            "One input: its keyword name, unit, one-line meaning, kind and default value.")
                     .release();
    gReadoutType =
        NamedTuple(module, "Readout", {"value", "text", "unit"},
                   "One read-out: its value (a single-precision value held exactly, or for the ratio the double it "
                   "is computed in), the text the window shows, and its unit.")
            .release();
    module.def("inputs", &InputList, Doc("inputs").c_str());
    module.def("profile", &Profile, Doc("profile").c_str());
    module.def("curves", &Curves, Doc("curves").c_str());
    module.def("readouts", &Readouts, Doc("readouts").c_str());
}

} // namespace tamrisk::python
