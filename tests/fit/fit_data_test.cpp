// SPDX-License-Identifier: GPL-3.0-or-later
// Measured data files: what is read, and what is refused before any fit.
#include "fit/FitData.h"
#include "fit/FitParameters.h"

#include <gtest/gtest.h>

namespace tamrisk {
namespace {

TEST(FitData, ReadsEachKindOfIndependentColumn)
{
    const auto profile = // a spreadsheet's UTF-8 mark first
        ReadDataSet("p.csv",
                    "\xEF\xBB\xBF"
                    "depth_mm,osl_fraction,err\r\n0.1,0.9,0.01\r\n0.2,0.8,0.01\r\n",
                    "osl_fraction", "err");
    ASSERT_TRUE(std::holds_alternative<DataSet>(profile));
    EXPECT_EQ(std::get<DataSet>(profile).points.keys, (std::vector<double>{0.1, 0.2}));
    EXPECT_EQ(std::get<DataSet>(profile).sigma, (std::vector<double>{0.01, 0.01}));

    const auto totals =
        ReadDataSet("t.tsv", "eval_time_s\tnote\textinction_per_mm\teff_ratio\n10\tx\t5\t2.1\n", "eff_ratio", "");
    ASSERT_TRUE(std::holds_alternative<DataSet>(totals));
    const DataSet& set = std::get<DataSet>(totals);
    EXPECT_EQ(set.keyColumns, (std::vector<std::string>{"eval_time_s", "extinction_per_mm"}));
    EXPECT_EQ(set.points.rows.front(), (std::vector<double>{10.0, 5.0}));
    EXPECT_TRUE(set.sigma.empty());
}

TEST(FitData, RefusesBadDataNamingTheCell)
{
    struct Case {
        const char* what;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"missing independent column", "z,osl_fraction,err\n0.1,0.9,0.1\n", "no column 'depth_mm'"},
        {"missing observed column", "depth_mm,osl,err\n0.1,0.9,0.1\n", "no column 'osl_fraction' (--observe)"},
        {"missing sigma column", "depth_mm,osl_fraction\n0.1,0.9\n", "no column 'err' (--sigma)"},
        {"non-numeric cell", "depth_mm,osl_fraction,err\n0.1,0.9,0.1\n0.2,high,0.1\n",
         "row 2 (line 3), column 'osl_fraction': 'high' is not a number"},
        {"empty cell", "depth_mm,osl_fraction,err\n,0.9,0.1\n", "column 'depth_mm': '' is not a number"},
        {"NaN", "depth_mm,osl_fraction,err\n0.1,NaN,0.1\n", "'NaN' is not a finite number"},
        {"infinity", "depth_mm,osl_fraction,err\n0.1,0.9,inf\n", "'inf' is not a finite number"},
        {"zero sigma", "depth_mm,osl_fraction,err\n0.1,0.9,0\n", "the standard error '0' must be above 0"},
        {"negative sigma", "depth_mm,osl_fraction,err\n0.1,0.9,-0.1\n", "the standard error '-0.1' must be above 0"},
        {"duplicate points", "depth_mm,osl_fraction,err\n0.1,0.9,0.1\n0.2,0.8,0.1\n0.10,0.7,0.1\n",
         "row 1 (line 2) and row 3 (line 4) are the same point"},
        {"short row", "depth_mm,osl_fraction,err\n0.1,0.9\n", "has 2 cells, the header 3"},
        {"no rows", "depth_mm,osl_fraction,err\n", "no data rows"},
        {"empty file", "", "is empty"},
    };
    for (const Case& c : cases) {
        const auto read = ReadDataSet("d.csv", c.text, "osl_fraction", "err");
        ASSERT_TRUE(std::holds_alternative<DataProblem>(read)) << c.what;
        EXPECT_NE(std::get<DataProblem>(read).message.find(c.message), std::string::npos)
            << c.what << ": " << std::get<DataProblem>(read).message;
    }
    const auto noInput = ReadDataSet("d.csv", "x,eff_ratio\n1,2\n", "eff_ratio", "");
    ASSERT_TRUE(std::holds_alternative<DataProblem>(noInput));
    EXPECT_NE(std::get<DataProblem>(noInput).message.find("eval_time_s"), std::string::npos);
}

TEST(FitParameters, ReadsStartsAndBoundsAndRefusesTheRest)
{
    FreeOption freed;
    ASSERT_FALSE(ParseFreeOption("extinction=5:1:50", false, freed));
    EXPECT_EQ(freed.start, 5.0);
    EXPECT_EQ(freed.low, 1.0);
    EXPECT_EQ(freed.high, 50.0);
    ASSERT_FALSE(ParseFreeOption("offset::0", true, freed));
    EXPECT_FALSE(freed.low);
    EXPECT_EQ(freed.high, 0.0);
    EXPECT_TRUE(freed.each);

    const std::pair<const char*, const char*> refused[] = {
        {"extintion", "not a real input"},     {"extinction=abc", "not a finite number"},
        {"extinction:5:1", "below the upper"}, {"extinction:1", "NAME[=START]:LO:HI"},
        {"curve-step", "not a real input"},    {"transparency-correction", "not a real input"},
    };
    for (const auto& [text, message] : refused) {
        const std::optional<FreeOptionProblem> problem = ParseFreeOption(text, false, freed);
        ASSERT_TRUE(problem) << text;
        EXPECT_NE(problem->message.find(message), std::string::npos) << problem->message;
    }

    // Starts from the inputs, bounds for inputs that cannot be negative, names per set.
    ASSERT_FALSE(ParseFreeOption("extinction", false, freed));
    FreeOption scale;
    ASSERT_FALSE(ParseFreeOption("scale", true, scale));
    const auto made = MakeFitParameters({freed, scale}, 2, Inputs{});
    ASSERT_TRUE(std::holds_alternative<std::vector<FitParameter>>(made));
    const auto& parameters = std::get<std::vector<FitParameter>>(made);
    ASSERT_EQ(parameters.size(), 3u);
    EXPECT_EQ(parameters[0].low, 0.0);
    EXPECT_NEAR(parameters[0].start, 10.0, 1e-5); // the slider's start position
    EXPECT_EQ(parameters[1].name, "scale[1]");
    EXPECT_EQ(parameters[2].name, "scale[2]");
    EXPECT_EQ(parameters[2].start, 1.0);
    EXPECT_TRUE(std::holds_alternative<std::string>(MakeFitParameters({freed, freed}, 1, Inputs{})));
}

} // namespace
} // namespace tamrisk
