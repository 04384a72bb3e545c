// SPDX-License-Identifier: GPL-3.0-or-later
#include "FunctionDocs.h"

#include "InputArguments.h"

#include "model/ProfileArrays.h"
#include "plot/ReadoutTable.h"
#include "scan/ScanRun.h"

namespace tamrisk::python {

namespace {

struct FunctionDoc {
    const char* name;
    const char* signature;
    const char* text;
    bool takesInputs;
};

const FunctionDoc kDocs[] = {
    {"inputs", "inputs() -> dict[str, Input]",
     "Every input by keyword name: Input(name, unit, meaning, kind, default).\n\n"
     "kind is 'number' (a text field, given as float or as the text the tool takes), 'integer' (a whole-number\n"
     "field), 'position' (a slider position, int), 'switch' (bool), 'value' (a parameter set directly instead of\n"
     "by its slider; None leaves the slider's value) or 'curves' (show).",
     false},
    {"profile", "profile(**inputs) -> dict",
     "The depth profile, as the tool's export command writes it: the depth grid and the 14 per-depth arrays as\n"
     "numpy float32 arrays under the clean table's column names (depth_mm, intensity, osl_fraction, ...), and\n"
     "under 'totals' a dict of eff_lab_total and eff_nat_total (single-precision values, held exactly in a\n"
     "float) and their ratio eff_ratio (the double it is computed in).",
     true},
    {"curves", "curves(**inputs) -> dict",
     "The four OSL signal curves against stimulation time, as the tool's curves command writes them: time_s and\n"
     "the curves as numpy float32 arrays under the clean table's column names. Every curve is computed, whatever\n"
     "show says.",
     true},
    {"readouts", "readouts(**inputs) -> dict[str, Readout]",
     "Every read-out of the window in its order, as the tool's readouts command gives them:\n"
     "Readout(value, text, unit) by the read-out's column name.",
     true},
    {"scan", "scan(*, ext=None, time=None, threads=None, **inputs) -> dict",
     "The scan over extinctions x evaluation times, as the tool's scan command writes it, as arrays:\n"
     "extinction_per_mm, half_value_depth_mm and transmission (one per extinction), eval_time_s (one per\n"
     "evaluation time), and eff_lab_total, eff_nat_total (float32) and eff_ratio (float64) with shape\n"
     "(extinctions, evaluation times).\n\n"
     "ext and time give an axis at once: (start, end, steps) or (start, end, steps, log), steps + 1 values,\n"
     "instead of ext_start, ext_end, ext_steps, ext_log (time_... likewise). threads: the threads evaluating the\n"
     "grid, 1 to 1024; None takes the CPUs this process may use. The computation releases the GIL; Ctrl-C\n"
     "stops it with KeyboardInterrupt. An axis whose ends are not finite, or a logarithmic axis through 0,\n"
     "raises ValueError.",
     true},
    {"sweep", "sweep(*, vary, columns=None, threads=None, as_frame=False, **inputs) -> dict | pandas.DataFrame",
     "The totals and their ratio (and the read-outs in columns) over a grid of any inputs, one row per point,\n"
     "as the tool's sweep command writes them: a dict of 1-D arrays by column name, or with as_frame=True a\n"
     "pandas.DataFrame of the same columns. Stored values are float32, values computed in double precision\n"
     "(eff_ratio) float64.\n\n"
     "vary: {name: values, ...}, the first varying slowest. values are the tool's --vary texts, '0:2:20' or\n"
     "'0.01:1:10:log' (START:END:STEPS[:log], STEPS + 1 values) or '0,1' for a switch, or tuples: (start, end,\n"
     "steps[, log]) or (False, True). A list of the tool's texts ['rate1=0.01:1:10:log', ...] is taken too.\n"
     "columns: read-out names (list or comma-separated). threads as for scan(). The computation releases\n"
     "the GIL; Ctrl-C stops it with KeyboardInterrupt.",
     true},
    {"load_record", "load_record(path) -> dict",
     "The inputs of a parameter record that the tool wrote (--record, or the params command), as keyword\n"
     "arguments: tamrisk.profile(**tamrisk.load_record('run.json')) reproduces the run. A text input comes back\n"
     "as its number where the text is one number, else as the text the window reads. Raises ValueError for a\n"
     "record the tool's --params would refuse.",
     false},
    {"save_record", "save_record(path, **inputs) -> None",
     "Writes the inputs as a parameter record that the tool's --params takes (and load_record reads).", true},
};

} // namespace

std::string Doc(const std::string& function)
{
    for (const FunctionDoc& doc : kDocs) {
        if (function != doc.name)
            continue;
        std::string text = std::string(doc.signature) + "\n\n" + doc.text + "\n";
        if (doc.takesInputs)
            text += "\nInputs, keyword-only, by the command line's names with _ for - (unknown or bad ones raise\n"
                    "TypeError or ValueError):\n" +
                    InputsHelp();
        return text;
    }
    return {};
}

std::string ModuleDoc()
{
    return "The Tamrisk model: light, beta dose and the OSL signal against depth in a translucent slab lit from "
           "one side.\n\n"
           "Every number is the one tamrisk-cli writes, to the bit: the functions run the same code. profile(),\n"
           "curves(), readouts(), scan() and sweep() take the inputs as keyword arguments (see inputs());\n"
           "load_record() and save_record() read and write the tool's parameter records.\n\n"
           "The tool's fit command has not landed yet; this module has no fit() until it does.\n";
}

} // namespace tamrisk::python
