// SPDX-License-Identifier: GPL-3.0-or-later
// One row writer for every table format: separators, line ends, the NULs of
// the window's files, JSON's null, and kept cells that join like fresh ones.
#include "output/RowWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tamrisk {
namespace {

// The row 1.0f, 0.1f, NaN, then the double 1/3 as the last of four cells.
std::string SampleRow(const RowWriter& writer, bool tableStart)
{
    std::string out;
    writer.Begin(out, tableStart);
    writer.Cell(out, 0, 1.0f);
    writer.Cell(out, 1, 0.1f);
    writer.Cell(out, 2, std::numeric_limits<float>::quiet_NaN());
    writer.Cell(out, 3, 1.0 / 3.0);
    writer.End(out);
    return out;
}

struct FormatCase {
    const char* name;
    TableFormat format;
    std::string firstRow;
    std::string laterRow;
    std::string header; // the names a, b, c, d as one line
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class RowWriterFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RowWriterFormats, RowsAndHeaders)
{
    const FormatCase& c = GetParam();
    const RowWriter writer(c.format, 4);
    EXPECT_EQ(SampleRow(writer, true), c.firstRow);
    EXPECT_EQ(SampleRow(writer, false), c.laterRow);
    if (c.format != TableFormat::Json) {
        EXPECT_EQ(writer.Line({"a", "b", "c", "d"}), c.header);
    }

    // Cells kept as text, or a run of cells kept whole, give the same row.
    std::string kept;
    writer.Cell(kept, 0, 1.0f);
    writer.TextCell(kept, 1, writer.Text(0.1f));
    std::string row;
    writer.Begin(row, false);
    row += kept;
    writer.TextCell(row, 2, writer.Text(std::numeric_limits<float>::quiet_NaN()));
    writer.Cell(row, 3, 1.0 / 3.0);
    writer.End(row);
    EXPECT_EQ(row, c.laterRow);
}

INSTANTIATE_TEST_SUITE_P(Formats, RowWriterFormats,
                         ::testing::Values(FormatCase{"Native", TableFormat::Native,
                                                      std::string("1,0\t\0"
                                                                  "0,1\t\0"
                                                                  "nan\t\0"
                                                                  "0,333333\n\0",
                                                                  25),
                                                      std::string("1,0\t\0"
                                                                  "0,1\t\0"
                                                                  "nan\t\0"
                                                                  "0,333333\n\0",
                                                                  25),
                                                      std::string("a\t\0b\t\0c\t\0d\n\0", 12)},
                                           FormatCase{"Csv", TableFormat::Csv, "1,0.1,NaN,0.3333333333333333\n",
                                                      "1,0.1,NaN,0.3333333333333333\n", "a,b,c,d\n"},
                                           FormatCase{"Tsv", TableFormat::Tsv, "1\t0.1\tNaN\t0.3333333333333333\n",
                                                      "1\t0.1\tNaN\t0.3333333333333333\n", "a\tb\tc\td\n"},
                                           FormatCase{"Json", TableFormat::Json,
                                                      "\n    [1, 0.1, null, 0.3333333333333333]",
                                                      ",\n    [1, 0.1, null, 0.3333333333333333]", ""}),
                         [](const auto& c) { return c.param.name; });

TEST(RowWriterTest, FloatsAndDoublesKeepTheirOwnShortestTexts)
{
    // 0.1f is not 0.1: as a float its shortest text is "0.1", as a double it is longer.
    const RowWriter csv(TableFormat::Csv, 2);
    std::string out;
    csv.Cell(out, 0, 0.1f);
    csv.Cell(out, 1, double(0.1f));
    EXPECT_EQ(out, "0.1,0.10000000149011612");
    EXPECT_EQ(csv.Text(-std::numeric_limits<double>::infinity()), "-Inf");
    EXPECT_EQ(RowWriter(TableFormat::Json, 1).Text(std::numeric_limits<float>::infinity()), "null");
    // The window's cells are FormatCell's, float or double alike.
    EXPECT_EQ(RowWriter(TableFormat::Native, 1).Text(0.1f), "0,1");
    EXPECT_EQ(RowWriter(TableFormat::Native, 1).Text(1e-7), "1,e-007");
}

TEST(RowWriterTest, LongestTextsFit)
{
    const RowWriter csv(TableFormat::Csv, 2);
    std::string out;
    csv.Cell(out, 1, -std::numeric_limits<double>::denorm_min());
    csv.Cell(out, 1, -2.2250738585072014e-308);
    EXPECT_EQ(out, ",-5e-324,-2.2250738585072014e-308");
    const RowWriter native(TableFormat::Native, 1);
    out.clear();
    native.Cell(out, 0, -std::numeric_limits<double>::max());
    EXPECT_EQ(out, std::string("-1,79769e+308\n\0", 15));
}

} // namespace
} // namespace tamrisk
