// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainDialogTemplate.h"

#include "model/CurveTable.h"

namespace tamrisk {

namespace {

// The texts "Exitinktionskoeffizient" and "Ausleuchtkruve" are the window's
// established labels and stay as they are. The curves' check boxes take
// their texts from the curve table.
constexpr ControlTemplate kControls[] = {
    {1, ControlKind::PushButton, "Beenden", 598, 310, 60, 14},
    {1000, ControlKind::DefaultButton, "Neu berechnen", 496, 308, 60, 15},
    {0, ControlKind::GroupBox, "Tiefenverlauf", 5, 5, 350, 320},
    {0, ControlKind::GroupBox, "Parameter Tiefenverlauf", 360, 5, 300, 301},
    {1001, ControlKind::Slider, "", 370, 35, 216, 10},
    {0, ControlKind::Text, "Transparenz (Exitinktionskoeffizient [1/mm])", 365, 20, 147, 10},
    {0, ControlKind::Text, "Klar", 370, 45, 15, 10},
    {0, ControlKind::Text, "Opak", 566, 44, 20, 10},
    {1002, ControlKind::Text, "Transparenzwert", 589, 35, 65, 10},
    {1003, ControlKind::Edit, "", 430, 144, 35, 10},
    {1004, ControlKind::Edit, "", 532, 144, 35, 10},
    {0, ControlKind::Text, "Oberkante [mm]:", 370, 145, 58, 10},
    {0, ControlKind::Text, "Unterkante [mm]:", 471, 145, 56, 10},
    {1005, ControlKind::CheckBox, CurveBoxText(MainControl::ShowIntensityBox), 370, 231, 138, 10},
    {0, ControlKind::Text, "Anzeigen:", 370, 220, 32, 8},
    {1006, ControlKind::Slider, "", 370, 121, 216, 10},
    {0, ControlKind::Text, "Externe Dosisleistung [relativ zu interner Dosisleistung]", 366, 106, 176, 10},
    {0, ControlKind::Text, "0 %", 371, 131, 15, 10},
    {0, ControlKind::Text, "200 %", 566, 130, 20, 10},
    {1007, ControlKind::Text, "DL-Wert", 590, 121, 65, 10},
    {0, ControlKind::Text, "100 %", 478, 130, 20, 10},
    {0, ControlKind::Text, "Effektives Integral der künstlichen Beta-Dosis:", 369, 184, 148, 8},
    {0, ControlKind::Text, "Effektives Integral der natürlichen Beta-Dosisleistung:", 369, 194, 174, 8},
    {0, ControlKind::Text, "Verhältnis:", 369, 204, 140, 8},
    {1012, ControlKind::Text, "...", 546, 184, 39, 8},
    {1018, ControlKind::Text, "...", 546, 194, 41, 8},
    {1019, ControlKind::Text, "...", 546, 204, 39, 8},
    {1014, ControlKind::CheckBox, CurveBoxText(MainControl::ShowNatRateBox), 369, 244, 90, 12},
    {1020, ControlKind::CheckBox, CurveBoxText(MainControl::ShowLabDoseBox), 488, 244, 90, 12},
    {1021, ControlKind::CheckBox, CurveBoxText(MainControl::ShowRatioBox), 605, 244, 46, 12},
    {1022, ControlKind::CheckBox, CurveBoxText(MainControl::ShowEffIntNatRateBox), 369, 288, 113, 12},
    {1023, ControlKind::CheckBox, CurveBoxText(MainControl::ShowEffIntLabDoseBox), 488, 288, 90, 12},
    {1024, ControlKind::CheckBox, CurveBoxText(MainControl::ShowEffIntRatioBox), 605, 288, 48, 12},
    {1025, ControlKind::CheckBox, CurveBoxText(MainControl::ShowEffNatRateBox), 369, 258, 111, 12},
    {1026, ControlKind::CheckBox, CurveBoxText(MainControl::ShowEffLabDoseBox), 488, 258, 90, 12},
    {1027, ControlKind::CheckBox, CurveBoxText(MainControl::ShowEffRatioBox), 605, 258, 48, 12},
    {1028, ControlKind::CheckBox, CurveBoxText(MainControl::ShowIntNatRateBox), 369, 272, 113, 12},
    {1029, ControlKind::CheckBox, CurveBoxText(MainControl::ShowIntLabDoseBox), 488, 272, 96, 12},
    {1030, ControlKind::CheckBox, CurveBoxText(MainControl::ShowIntRatioBox), 605, 272, 48, 12},
    {1008, ControlKind::PushButton, "Exportieren", 362, 308, 60, 15},
    {1009, ControlKind::PushButton, "t-Scan", 430, 308, 60, 15},
    {1015, ControlKind::Slider, "", 370, 82, 216, 10},
    {0, ControlKind::Text, "Auswerteintervall [s]", 366, 68, 176, 10},
    {0, ControlKind::Text, "Kurz", 371, 93, 15, 10},
    {0, ControlKind::Text, "Lang", 565, 90, 22, 10},
    {1016, ControlKind::Text, "Dauer", 590, 82, 65, 10},
    {0, ControlKind::Text, "Maximum Plotachse:", 370, 161, 78, 8},
    {1031, ControlKind::Edit, "", 454, 161, 46, 10},
    {0, ControlKind::Text, "Skalierung Integrale:", 370, 172, 78, 8},
    {1032, ControlKind::Edit, "", 454, 171, 46, 10},
    {0, ControlKind::GroupBox, "OSL-Signal", 6, 328, 350, 184},
    {1017, ControlKind::Slider, "", 369, 367, 216, 10},
    {1033, ControlKind::CheckBox, CurveBoxText(MainControl::ShowTotalSignalNatBox), 366, 411, 128, 10},
    {1034, ControlKind::CheckBox, CurveBoxText(MainControl::ShowTotalSignalLabBox), 366, 422, 128, 10},
    {1035, ControlKind::CheckBox, CurveBoxText(MainControl::ShowTotalSignalHomogeneousBox), 366, 398, 142, 10},
    {1036, ControlKind::CheckBox, CurveBoxText(MainControl::ShowSignalAtDepthBox), 368, 341, 128, 10},
    {0, ControlKind::Text, "Max. Intensität:", 366, 479, 52, 10},
    {0, ControlKind::Text, "Max. Zeitachse:", 366, 461, 52, 10},
    {1037, ControlKind::Edit, "", 420, 477, 52, 12},
    {1038, ControlKind::Edit, "", 421, 458, 52, 12},
    {0, ControlKind::GroupBox, "Parameter OSL-Signal", 360, 328, 300, 184},
    {0, ControlKind::Text, "Tiefe [mm]", 369, 355, 75, 10},
    {0, ControlKind::Text, "Oben", 370, 379, 34, 10},
    {0, ControlKind::Text, "Unten", 564, 380, 22, 10},
    {1039, ControlKind::Text, "Tiefenwert", 590, 368, 34, 10},
    {1042, ControlKind::Text, "Rate1 [%/s]", 365, 443, 43, 10},
    {1040, ControlKind::Edit, "", 420, 441, 52, 12},
    {1043, ControlKind::Text, "Rate 2 [%/s]", 481, 442, 52, 10},
    {1041, ControlKind::Edit, "", 537, 440, 52, 12},
    {1044, ControlKind::RadioButton, "Einfach exponentiell", 552, 398, 88, 12},
    {1045, ControlKind::RadioButton, "Zweifach exponentiell", 553, 411, 88, 12},
    {1010, ControlKind::CheckBox, CurveBoxText(MainControl::ShowOslContributionBox), 516, 232, 54, 10},
    {1046, ControlKind::CheckBox, "Transparenz-Korr. für OSL-Beitrag", 516, 219, 140, 12},
    {0, ControlKind::Text, "Jede", 367, 495, 21, 10},
    {1047, ControlKind::Edit, "", 388, 492, 24, 12},
    {0, ControlKind::Text, ". Ausleuchtkruve zur Summenbildung verwenden", 416, 494, 164, 10},
    {1048, ControlKind::CheckBox, "Automatisch", 504, 162, 54, 8},
    {1049, ControlKind::Text, "...", 558, 161, 46, 10},
    {1050, ControlKind::CheckBox, "Automatisch", 480, 479, 54, 8},
    {1051, ControlKind::Text, "...", 534, 478, 46, 10},
    {0, ControlKind::Text, "Halbwertstiefe [mm]:", 368, 54, 72, 8},
    {0, ControlKind::Text, "Transmission [%/mm]:", 494, 55, 74, 8},
    {1052, ControlKind::Text, "HWT", 442, 54, 46, 8},
    {1053, ControlKind::Text, "Transm.", 568, 55, 50, 8},
};

} // namespace

std::span<const ControlTemplate> MainDialogControls() { return kControls; }

} // namespace tamrisk
