// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ProfileExport.h"
#include "support/TestSupport.h"

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

// The file's pieces: the texts between the NUL bytes.
std::vector<std::string> Pieces(const std::string& file)
{
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (std::size_t nul = file.find('\0'); nul != std::string::npos; nul = file.find('\0', begin)) {
        pieces.push_back(file.substr(begin, nul - begin));
        begin = nul + 1;
    }
    EXPECT_EQ(begin, file.size()) << "bytes after the last NUL";
    return pieces;
}

std::string Export(const ControlState& controls)
{
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    ReadParameters(controls, params, flags);
    ComputeModel(params, flags, profile, curves);
    StringSink sink;
    WriteProfileExport(sink, params, profile);
    return sink.data();
}

constexpr int kHeaderPieces = 16;
constexpr int kColumns = 14;

std::string DepthCell(const std::vector<std::string>& pieces, int row)
{
    return pieces[std::size_t(kHeaderPieces + row * kColumns)];
}

TEST(ProfileExportTest, StartUpHeaderLines)
{
    const std::vector<std::string> pieces = Pieces(Export({}));
    const std::vector<std::string> expected = {
        "Tamrisk\n",
        "Extinktionskoeffizient = 10.\n",
        "Halbwertstiefe = 6.93147e-002\n",
        "Transmission = 4.53999e-005\n",
        "Ext. Beta-DL (rel. zu int. Beta-DL) = 0.\n",
        "Oberkante = 0.\n",
        "Unterkante = 2.\n",
        "Exponent Einfluss Transparenz = 1.\n",
        "Oberkante = 0.\n",
        "Unterkante = 2.\n",
    };
    ASSERT_GE(pieces.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(pieces.begin(), pieces.begin() + 10), expected);
}

TEST(ProfileExportTest, TitleLineBytes)
{
    const std::string file = Export({});
    const std::size_t begin = file.find("Tiefe");
    const std::size_t end = file.find('\n', begin) + 2;
    static const char kTitle[] = "Tiefe\t\0"
                                 "Intensit\xE4t\t\0"
                                 "Nat.DL\tLabor-Dosis\tVerh\xE4ltnis 1\t\0"
                                 "Eff.Nat.DL\tEff.Lab.Dosis\tVerh\xE4ltnis 2\t\0"
                                 "Int.Nat.DL\tInt.Lab.Dosis\tVerh\xE4ltnis 3\t\0"
                                 "Eff.Int.Nat.DL\tEff.Int.Lab.Dosis\tVerh\xE4ltnis 4\n\0";
    const std::string expected(kTitle, sizeof kTitle - 1);
    EXPECT_EQ(file.substr(begin, end - begin), expected);
    EXPECT_EQ(file.compare(0, 9, std::string("Tamrisk\n\0", 9)), 0);
}

TEST(ProfileExportTest, LayoutCounts)
{
    const std::string file = Export({});
    const std::vector<std::string> pieces = Pieces(file);
    EXPECT_EQ(pieces.size(), 5616u);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\0'), 5616);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 411);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\r'), 0);
    std::size_t length = 0;
    for (const std::string& piece : pieces)
        length += piece.size() + 1;
    EXPECT_EQ(length, file.size());
    // Every data piece is one cell with its separator, nothing else.
    for (std::size_t k = kHeaderPieces; k < pieces.size(); ++k) {
        const std::string& cell = pieces[k];
        const bool last = (k - kHeaderPieces) % kColumns == kColumns - 1;
        ASSERT_EQ(cell.back(), last ? '\n' : '\t') << k;
        ASSERT_EQ(cell.find_first_of("\t\n"), cell.size() - 1) << k;
    }
}

TEST(ProfileExportTest, FirstRowAndDepthColumn)
{
    const std::vector<std::string> pieces = Pieces(Export({}));
    EXPECT_EQ(pieces[16], "0,0\t");
    EXPECT_EQ(pieces[17], "1,0\t");
    EXPECT_EQ(pieces[18], "0,5\t");

    const std::pair<int, const char*> depths[] = {
        {0, "0,0"}, {1, "5,e-003"}, {20, "1,e-001"}, {21, "0,105"}, {200, "1,0"}, {399, "1,995"},
    };
    for (const auto& [row, text] : depths)
        EXPECT_EQ(DepthCell(pieces, row), std::string(text) + '\t') << "row " << row;
}

TEST(ProfileExportTest, DepthColumnStartsAtZeroWhateverTheTop)
{
    ControlState shifted;
    shifted.edits.top = "1";
    shifted.edits.bottom = "3";
    const std::vector<std::string> a = Pieces(Export({}));
    const std::vector<std::string> b = Pieces(Export(shifted));
    ASSERT_EQ(a.size(), b.size());
    for (int row = 0; row < 400; ++row)
        ASSERT_EQ(DepthCell(a, row), DepthCell(b, row)) << "row " << row;
    EXPECT_EQ(b[5], "Oberkante = 1.\n");
    EXPECT_EQ(b[9], "Unterkante = 3.\n");
}

TEST(ProfileExportTest, CellsFollowTheColumnOrder)
{
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    ReadParameters({}, params, flags);
    ComputeModel(params, flags, profile, curves);
    // Give every column of row 3 its own recognisable value.
    std::vector<float>* const columns[] = {
        &profile.intensity,      &profile.natDoseRate, &profile.labDose,           &profile.ratio,
        &profile.effNatDoseRate, &profile.effLabDose,  &profile.effRatio,          &profile.intNatDoseRate,
        &profile.intLabDose,     &profile.intRatio,    &profile.effIntNatDoseRate, &profile.effIntLabDose,
        &profile.effIntRatio,
    };
    for (std::size_t k = 0; k < std::size(columns); ++k)
        (*columns[k])[3] = float(k + 2);
    StringSink sink;
    WriteProfileExport(sink, params, profile);
    const std::vector<std::string> pieces = Pieces(sink.data());
    for (std::size_t k = 0; k < std::size(columns); ++k) {
        const std::string expected = std::to_string(k + 2) + ",0" + (k + 1 < std::size(columns) ? "\t" : "\n");
        EXPECT_EQ(pieces[kHeaderPieces + 3 * kColumns + 1 + k], expected) << "column " << k + 2;
    }
}

TEST(ProfileExportTest, AFailedWriteStopsTheExportAfterWholePieces)
{
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    ReadParameters({}, params, flags);
    ComputeModel(params, flags, profile, curves);
    testing::FailingSink sink(20);
    EXPECT_THROW(WriteProfileExport(sink, params, profile), FileError);
    EXPECT_EQ(std::count(sink.data.begin(), sink.data.end(), '\0'), 20);
}

} // namespace
} // namespace tamrisk
