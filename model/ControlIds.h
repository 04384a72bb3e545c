// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The control ids of the program's dialogs, one enum per dialog. The window
// finds its controls by these ids and the command line prints read-outs by
// them, so the numbers are part of what users see.

namespace tamrisk {

enum class MainControl : int {
    Quit = 1,
    Recalculate = 1000,
    ExtinctionSlider = 1001,
    ExtinctionReadout = 1002,
    TopEdit = 1003,
    BottomEdit = 1004,
    ShowIntensityBox = 1005,
    DoseRateSlider = 1006,
    DoseRateReadout = 1007,
    ExportButton = 1008,
    ScanButton = 1009,
    ShowOslContributionBox = 1010,
    EffLabTotalReadout = 1012,
    ShowNatRateBox = 1014,
    EvalTimeSlider = 1015,
    EvalTimeReadout = 1016,
    DepthSlider = 1017,
    EffNatTotalReadout = 1018,
    EffRatioReadout = 1019,
    ShowLabDoseBox = 1020,
    ShowRatioBox = 1021,
    ShowEffIntNatRateBox = 1022,
    ShowEffIntLabDoseBox = 1023,
    ShowEffIntRatioBox = 1024,
    ShowEffNatRateBox = 1025,
    ShowEffLabDoseBox = 1026,
    ShowEffRatioBox = 1027,
    ShowIntNatRateBox = 1028,
    ShowIntLabDoseBox = 1029,
    ShowIntRatioBox = 1030,
    PlotMaxEdit = 1031,
    IntegralScaleEdit = 1032,
    ShowTotalSignalNatBox = 1033,
    ShowTotalSignalLabBox = 1034,
    ShowTotalSignalHomogeneousBox = 1035,
    ShowSignalAtDepthBox = 1036,
    IntensityMaxEdit = 1037,
    TimeMaxEdit = 1038,
    DepthReadout = 1039,
    Rate1Edit = 1040,
    Rate2Edit = 1041,
    Rate1Label = 1042,
    Rate2Label = 1043,
    SingleExponentialRadio = 1044,
    DoubleExponentialRadio = 1045,
    TransparencyCorrectionBox = 1046,
    CurveStepEdit = 1047,
    AutoScaleProfileBox = 1048,
    ProfileAutoMaxReadout = 1049,
    AutoScaleSignalBox = 1050,
    SignalAutoMaxReadout = 1051,
    HalfValueDepthReadout = 1052,
    TransmissionReadout = 1053,
};

// "Werte-Raster berechnen".
enum class GridControl : int {
    Next = 1,
    Cancel = 2,
    ExtinctionStart = 1015,
    ExtinctionEnd = 1016,
    ExtinctionSteps = 1017,
    EvalTimeStart = 1018,
    EvalTimeEnd = 1019,
    EvalTimeSteps = 1020,
    ExtinctionLog = 1055,
    EvalTimeLog = 1056,
};

// "Berechne Daten...": the three progress lines.
enum class ProgressLine : int {
    Extinction = 1050,
    EvalTime = 1051,
    Count = 1052,
};

template <typename Id>
constexpr int IdNumber(Id id)
{
    return static_cast<int>(id);
}

} // namespace tamrisk
