// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ProfileExport.h"

#include "model/SampleGrid.h"
#include "output/NumberText.h"

#include <limits>
#include <string>
#include <vector>

namespace tamrisk {

namespace {

// The file is cp1252; "ä" is the single byte E4.
#define AE "\xE4"

std::string HeaderLine(const char* name, float value)
{
    return std::string(name) + " = " + FormatGeneral(double(value), 6) + "\n";
}

} // namespace

void WriteProfileExport(ByteSink& sink, const ModelParameters& params, const DepthProfile& profile)
{
    PieceWriter out(sink);
    out.Piece("Tamrisk\n");
    out.Piece(HeaderLine("Extinktionskoeffizient", params.extinction));
    out.Piece(HeaderLine("Halbwertstiefe", params.halfValueDepth));
    out.Piece(HeaderLine("Transmission", params.transmission));
    out.Piece(HeaderLine("Ext. Beta-DL (rel. zu int. Beta-DL)", params.externalDoseRate));
    out.Piece(HeaderLine("Oberkante", params.top));
    out.Piece(HeaderLine("Unterkante", params.bottom));
    out.Piece(HeaderLine("Exponent Einfluss Transparenz", params.transparencyExponent));
    // The depth interval stands in the header twice; readers of the file rely on ten lines.
    out.Piece(HeaderLine("Oberkante", params.top));
    out.Piece(HeaderLine("Unterkante", params.bottom));

    out.Piece("Tiefe\t");
    out.Piece("Intensit" AE "t\t");
    out.Piece("Nat.DL\tLabor-Dosis\tVerh" AE "ltnis 1\t");
    out.Piece("Eff.Nat.DL\tEff.Lab.Dosis\tVerh" AE "ltnis 2\t");
    out.Piece("Int.Nat.DL\tInt.Lab.Dosis\tVerh" AE "ltnis 3\t");
    out.Piece("Eff.Int.Nat.DL\tEff.Int.Lab.Dosis\tVerh" AE "ltnis 4\n");

    const std::vector<float>* const columns[] = {
        &profile.intensity,      &profile.natDoseRate, &profile.labDose,           &profile.ratio,
        &profile.effNatDoseRate, &profile.effLabDose,  &profile.effRatio,          &profile.intNatDoseRate,
        &profile.intLabDose,     &profile.intRatio,    &profile.effIntNatDoseRate, &profile.effIntLabDose,
        &profile.effIntRatio,
    };

    const float depthStep = DepthStep(params);
    std::string cell;
    for (int i = 0; i < params.depthPoints; ++i) {
        // The depth is the model's own grid from 0, kept in double precision.
        cell = FormatCell(GridPosition(i, depthStep));
        cell += '\t';
        out.Piece(cell);
        for (std::size_t k = 0; k < std::size(columns); ++k) {
            const std::vector<float>& column = *columns[k];
            const std::size_t row = std::size_t(i);
            // A profile shorter than depthPoints gives NaN cells rather than a read past the end.
            cell = FormatCell(row < column.size() ? double(column[row]) : std::numeric_limits<double>::quiet_NaN());
            cell += (k + 1 < std::size(columns)) ? '\t' : '\n';
            out.Piece(cell);
        }
    }
}

#undef AE

} // namespace tamrisk
