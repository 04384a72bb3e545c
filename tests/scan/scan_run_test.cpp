// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanRun.h"

#include "ScanTestSupport.h"
#include "output/NumberText.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace tamrisk {
namespace {

using testing::Pieces;
using testing::RunScan;
using testing::ScanFixture;
using testing::ScanResult;

const std::string kHeader(
    "Extinktionsk.\t\0Halbwertstiefe\t\0Transmission\t\0tMax\t\0ED[Lab]\t\0ED[Nat]\t\0Verh\xE4ltnis\n\0", 81);

ScanGrid LinearGrid(float extStart, float extEnd, int extSteps, float timeStart, float timeEnd, int timeSteps)
{
    return {{extStart, extEnd, extSteps, false}, {timeStart, timeEnd, timeSteps, false}};
}

// Column `column` (1 to 7) of every data row, without its separator.
std::vector<std::string> Column(const std::string& file, int column)
{
    const std::vector<std::string> pieces = Pieces(file);
    std::vector<std::string> cells;
    for (std::size_t k = 7 + std::size_t(column - 1); k < pieces.size(); k += 7)
        cells.push_back(pieces[k].substr(0, pieces[k].size() - 1));
    return cells;
}

std::vector<std::string> Lines(const ScanResult& result, ProgressLine line)
{
    std::vector<std::string> texts;
    for (const auto& [id, text] : result.progress)
        if (id == IdNumber(line))
            texts.push_back(text);
    return texts;
}

TEST(ScanRunTest, DefaultGridFile)
{
    const ScanResult result = RunScan(ScanGrid{}, 1);
    ASSERT_EQ(result.file.compare(0, kHeader.size(), kHeader), 0);
    EXPECT_EQ(std::count(result.file.begin(), result.file.end(), '\n'), 442);
    EXPECT_EQ(std::count(result.file.begin(), result.file.end(), '\0'), 7 * 442);
    EXPECT_EQ(result.file.compare(81, 30,
                                  std::string("1,0\t\0"
                                              "0,693147\t\0"
                                              "0,367879\t\0"
                                              "1,0\t\0",
                                              30)),
              0);

    const std::vector<std::string> extinction = Column(result.file, 1);
    const std::vector<std::string> evalTime = Column(result.file, 4);
    ASSERT_EQ(extinction.size(), 441u);
    for (std::size_t row = 0; row < 441; ++row) {
        EXPECT_EQ(extinction[row], extinction[row - row % 21]) << row;
        EXPECT_EQ(evalTime[row], evalTime[row % 21]) << row;
    }
    EXPECT_EQ(extinction.front(), "1,0");
    EXPECT_EQ(extinction[21 * 5], "10,0");
    EXPECT_EQ(extinction.back(), "10000,0");
    EXPECT_EQ(evalTime[1], "1,58489");
    EXPECT_EQ(evalTime[20], "10000,0");
}

TEST(ScanRunTest, RowsHoldTheModelTotalsAndTheirRatio)
{
    const ScanResult result = RunScan(ScanGrid{}, 1);
    const std::vector<std::string> pieces = Pieces(result.file);
    // Row 5 * 21 + 10: extinction 10, evaluation time 100, as the start state.
    ScanFixture state;
    ComputeModel(state.params, state.flags, state.profile, state.curves);
    const std::size_t row = 5 * 21 + 10;
    const auto cell = [&](int column) { return pieces[7 * (row + 1) + std::size_t(column - 1)]; };
    EXPECT_EQ(cell(1), "10,0\t");
    EXPECT_EQ(cell(4), "100,0\t");
    EXPECT_EQ(cell(5), FormatCell(state.profile.effLabTotal) + '\t');
    EXPECT_EQ(cell(6), FormatCell(state.profile.effNatTotal) + '\t');
    EXPECT_EQ(cell(7), FormatCell(double(state.profile.effLabTotal) / double(state.profile.effNatTotal)) + '\n');
}

TEST(ScanRunTest, DefaultGridProgress)
{
    const ScanResult result = RunScan(ScanGrid{}, 1);
    const std::vector<std::string> outer = Lines(result, ProgressLine::Extinction);
    const std::vector<std::string> inner = Lines(result, ProgressLine::EvalTime);
    const std::vector<std::string> counts = Lines(result, ProgressLine::Count);
    ASSERT_EQ(outer.size(), 21u);
    ASSERT_EQ(inner.size(), 441u);
    ASSERT_EQ(counts.size(), 21u);
    EXPECT_EQ(outer[0], "t    = 1.");
    EXPECT_EQ(outer[1], "t    = 1.5849");
    EXPECT_EQ(inner[0], "tMax = 1.");
    EXPECT_EQ(inner[20], "tMax = 10000");
    EXPECT_EQ(counts[0], "0 von 400 Berechnungen (0.%)");
    EXPECT_EQ(counts[1], "20 von 400 Berechnungen (5.%)");
    EXPECT_EQ(counts[10], "200 von 400 Berechnungen (50.%)");
    EXPECT_EQ(counts[20], "400 von 400 Berechnungen (100%)");
    // Order: the extinction line, 21 evaluation-time lines, the count, pass by pass.
    for (std::size_t pass = 0; pass < 21; ++pass) {
        const std::size_t first = pass * 23;
        EXPECT_EQ(result.progress[first].first, IdNumber(ProgressLine::Extinction));
        EXPECT_EQ(result.progress[first + 22].first, IdNumber(ProgressLine::Count));
    }
}

TEST(ScanRunTest, ProgressShowsTheEvaluationTimeBeforeRounding)
{
    // 0.1 + ((0.7 - 0.1) / 3) * 1 lies between floats; 5 digits show the double.
    const ScanResult result = RunScan(LinearGrid(1.0f, 1.0f, 0, 0.1f, 0.7f, 3), 1);
    const std::vector<std::string> inner = Lines(result, ProgressLine::EvalTime);
    ASSERT_EQ(inner.size(), 4u);
    EXPECT_EQ(inner[1], "tMax = " + FormatGeneral(AxisValue(0.1f, 0.7f, 3, 1, false), 5));
}

struct StepCase {
    const char* name;
    ScanGrid grid;
    std::vector<std::string> extinction; // column 1
    std::vector<std::string> evalTime;   // column 4
    std::vector<std::string> counts;     // the count line
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class ScanStepCases : public ::testing::TestWithParam<StepCase> {};

TEST_P(ScanStepCases, ColumnsAndProgress)
{
    const StepCase& c = GetParam();
    const ScanResult result = RunScan(c.grid, 1);
    EXPECT_EQ(result.file.compare(0, kHeader.size(), kHeader), 0);
    if (c.extinction.empty()) {
        EXPECT_EQ(result.file, kHeader); // 81 bytes, seven NULs
    }
    EXPECT_EQ(Column(result.file, 1), c.extinction);
    EXPECT_EQ(Column(result.file, 4), c.evalTime);
    EXPECT_EQ(Lines(result, ProgressLine::Count), c.counts);
}

using Cells = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(Grids, ScanStepCases,
                         ::testing::Values(StepCase{"OneLinearStep",
                                                    LinearGrid(2, 4, 1, 5, 5, 0),
                                                    {"2,0", "4,0"},
                                                    {"5,0", "5,0"},
                                                    {"0 von 0 Berechnungen (0.%)", "0 von 0 Berechnungen (100%)"}},
                                           StepCase{"SingleExtinction",
                                                    LinearGrid(3, 9, 0, 2, 4, 1),
                                                    {"3,0", "3,0"},
                                                    {"2,0", "4,0"},
                                                    {"0 von 0 Berechnungen (100%)"}},
                                           StepCase{"Descending",
                                                    LinearGrid(4, 2, 2, 1, 1, 0),
                                                    {"4,0", "3,0", "2,0"},
                                                    {"1,0", "1,0", "1,0"},
                                                    {"0 von 0 Berechnungen (0.%)", "0 von 0 Berechnungen (50.%)",
                                                     "0 von 0 Berechnungen (100%)"}},
                                           StepCase{"NegativeInner",
                                                    LinearGrid(1, 2, 1, 1, 2, -1),
                                                    {},
                                                    {},
                                                    {"0 von -1 Berechnungen (0.%)", "-1 von -1 Berechnungen (100%)"}},
                                           StepCase{"NegativeOuter", LinearGrid(1, 2, -5, 1, 2, 3), {}, {}, {}},
                                           StepCase{"BothNegative", LinearGrid(1, 2, -1, 1, 2, -1), {}, {}, {}}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(ScanRunTest, ProgressCountsDoNotOverflow)
{
    // N1 * N2 = -2^32 does not fit 32 bits; a negative N2 gives passes without rows.
    const ScanResult result = RunScan(LinearGrid(1, 2, 65536, 1, 1, -65536), 1);
    EXPECT_EQ(Lines(result, ProgressLine::Count).back(), "-4294967296 von -4294967296 Berechnungen (100%)");
}

TEST(ScanRunTest, ModelHoldsTheLastGridPointAfterwards)
{
    ControlState controls;
    controls.flags.showSignalAtDepth = true;
    controls.flags.showTotalSignalLab = true;
    ScanFixture state(controls);
    const ScanGrid grid = LinearGrid(2, 7, 3, 50, 20, 4);
    RunScan(grid, state, 2);

    ScanFixture expected(controls);
    expected.params.extinction = float(AxisValue(2, 7, 3, 3, false));
    DeriveFromExtinction(expected.params);
    expected.params.evalTime = float(AxisValue(50, 20, 4, 4, false));
    ComputeModel(expected.params, expected.flags, expected.profile, expected.curves);

    EXPECT_EQ(state.params.extinction, 7.0f);
    EXPECT_EQ(state.params.evalTime, 20.0f);
    EXPECT_EQ(state.params.halfValueDepth, expected.params.halfValueDepth);
    EXPECT_EQ(state.params.transmission, expected.params.transmission);
    EXPECT_EQ(state.params.externalDoseRate, expected.params.externalDoseRate);
    testing::ExpectSameProfile(state.profile, expected.profile);
    EXPECT_EQ(state.curves.totalSignalLab, expected.curves.totalSignalLab);
    EXPECT_EQ(state.curves.signalAtDepth, expected.curves.signalAtDepth);
}

struct ThreadCase {
    const char* name;
    ScanGrid grid;
    ControlState controls;
};

void PrintTo(const ThreadCase& c, std::ostream* os) { *os << c.name; }

ControlState Unusual()
{
    ControlState controls;
    controls.transparencyCorrection = true;
    controls.sliders.doseRate = 130;
    controls.edits.top = "0.5";
    controls.edits.bottom = "1.75";
    controls.edits.rate1 = "0.3";
    return controls;
}

class ScanThreadCases : public ::testing::TestWithParam<ThreadCase> {};

TEST_P(ScanThreadCases, FileAndProgressDoNotDependOnThreads)
{
    const ThreadCase& c = GetParam();
    const ScanResult sequential = RunScan(c.grid, 1, c.controls);
    for (int threads = 2; threads <= 4; ++threads) {
        const ScanResult parallel = RunScan(c.grid, threads, c.controls);
        EXPECT_EQ(parallel.file, sequential.file) << threads << " threads";
        EXPECT_EQ(parallel.progress, sequential.progress) << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, ScanThreadCases,
    ::testing::Values(ThreadCase{"Default", ScanGrid{}, {}},
                      ThreadCase{"LongPasses", {{0.01f, 1000.0f, 6, true}, {1.0f, 1e5f, 100, true}}, Unusual()},
                      ThreadCase{"ManyShortPasses", LinearGrid(0.5f, 300.0f, 150, 10, 1000, 1), Unusual()},
                      ThreadCase{"PassesLongerThanAChunk", LinearGrid(2, 40, 2, 0, 3000, 2500), {}},
                      ThreadCase{"OnePoint", LinearGrid(3, 3, 0, 5, 5, 0), {}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(ScanRunTest, AFailedWriteEndsTheScanWithWholeRowsWritten)
{
    const std::string full = RunScan(ScanGrid{}, 1).file;
    for (int threads : {1, 3}) {
        ScanFixture state;
        testing::FailingSink sink(7 + 50); // the header's seven pieces, then 50 rows
        int reports = 0;
        EXPECT_THROW(ScanToFile(
                         ScanGrid{}, state.params, state.flags, state.profile, state.curves, sink,
                         [&](ProgressLine, const std::string&) { ++reports; }, threads),
                     FileError);
        EXPECT_EQ(full.compare(0, sink.data.size(), sink.data), 0);
        EXPECT_EQ(std::count(sink.data.begin(), sink.data.end(), '\n'), 51);
        EXPECT_EQ(reports, 23 + 23 + 1 + 9); // two whole passes, then up to point (2, 8)

        // The model holds the point whose row failed: (i, j) = (2, 8).
        ScanFixture expected;
        expected.params.extinction = float(AxisValue(1, 10000, 20, 2, true));
        DeriveFromExtinction(expected.params);
        expected.params.evalTime = float(AxisValue(1, 10000, 20, 8, true));
        ComputeModel(expected.params, expected.flags, expected.profile, expected.curves);
        EXPECT_EQ(state.params.extinction, expected.params.extinction);
        EXPECT_EQ(state.params.evalTime, expected.params.evalTime);
        testing::ExpectSameProfile(state.profile, expected.profile);
    }
}

TEST(ScanRunTest, FullDeviceFailsAtTheLatestOnClose)
{
    for (int threads : {1, 2}) {
        auto sink = FileSink::Open("/dev/full");
        ASSERT_NE(sink, nullptr);
        ScanFixture state;
        EXPECT_THROW(
            {
                ScanToFile(ScanGrid{}, state.params, state.flags, state.profile, state.curves, *sink, {}, threads);
                sink->Close();
            },
            FileError);
    }
}

TEST(ScanRunTest, StopBeforeAPointEndsWithWholeRowsAndTheModelAtTheLastOne)
{
    for (int threads : {1, 3}) {
        ScanFixture state;
        StringSink sink;
        const bool complete = ScanToFile(ScanGrid{}, state.params, state.flags, state.profile, state.curves, sink, {},
                                         threads, [](std::uint64_t done) { return done < 30; });
        EXPECT_FALSE(complete);
        EXPECT_EQ(std::count(sink.data().begin(), sink.data().end(), '\n'), 31); // header and 30 rows

        // The 30th row is point (1, 8).
        EXPECT_EQ(state.params.extinction, float(AxisValue(1, 10000, 20, 1, true)));
        EXPECT_EQ(state.params.evalTime, float(AxisValue(1, 10000, 20, 8, true)));
    }
}

// 2^31 extinction values without evaluation times: nothing to compute (how
// quickly that is found: bench/scan_bench.cpp).
TEST(ScanRunTest, GridWithoutPointsWritesTheHeaderOnly)
{
    const ScanResult result = RunScan(LinearGrid(1, 2, 2147483647, 1, 2, -1), 2);
    EXPECT_EQ(result.file, kHeader);
    // Only the first and the last pass are reported, not every one of them.
    const std::vector<std::pair<int, std::string>> progress = {
        {IdNumber(ProgressLine::Extinction), "t    = 1."},
        {IdNumber(ProgressLine::Count), "0 von -2147483647 Berechnungen (0.%)"},
        {IdNumber(ProgressLine::Extinction), "t    = 2."},
        {IdNumber(ProgressLine::Count), "-2147483647 von -2147483647 Berechnungen (100%)"},
    };
    EXPECT_EQ(result.progress, progress);
}

} // namespace
} // namespace tamrisk
