// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SweepRows.h"

#include "output/RowWriter.h"
#include "scan/SweepRowMaker.h"
#include "scan/TableEngine.h"

#include <algorithm>

namespace tamrisk {

std::string SweepHeader(const SweepPlan& plan, TableFormat format)
{
    const std::vector<std::string> names = SweepColumnNames(plan);
    return RowWriter(format == TableFormat::Tsv ? TableFormat::Tsv : TableFormat::Csv, names.size()).Line(names);
}

bool WriteSweepRows(const SweepPlan& plan, const Inputs& base, TableFormat format, RowRange range, ByteSink& sink,
                    const SweepHooks& hooks)
{
    const std::int64_t rows = std::max<std::int64_t>(range.last - range.first, 0);
    const TableBlocks blocks(range, SweepRunLength(plan), hooks.threads);
    const auto makeRows = [&] {
        return [&blocks, maker = SweepRowMaker(plan, base, format)](std::int64_t b, TextRows& out) mutable {
            out.Clear();
            maker.AppendRows(blocks.Block(b), out);
        };
    };
    const auto writeRows = [&](std::int64_t b, const TextRows& out) {
        sink.Write(out.bytes);
        if (hooks.progress)
            hooks.progress(blocks.Block(b).last - range.first, rows);
        return true;
    };
    return RunTable<TextRows>({blocks.Count(), hooks.threads, hooks.cancelled}, makeRows, writeRows);
}

std::int64_t EstimateSweepRowBytes(const SweepPlan& plan, const Inputs& base, TableFormat format, RowRange range)
{
    const std::int64_t rows = std::max<std::int64_t>(range.last - range.first, 0);
    constexpr std::int64_t kSamples = 64;
    SweepRowMaker maker(plan, base, format);
    TextRows out;
    if (rows <= kSamples) {
        maker.AppendRows(range, out);
        return std::int64_t(out.bytes.size());
    }
    for (std::int64_t s = 0; s < kSamples; ++s) {
        const std::int64_t row = range.first + s * (rows - 1) / (kSamples - 1);
        maker.AppendRows({row, row + 1}, out);
    }
    return std::int64_t(double(out.bytes.size()) / double(kSamples) * double(rows) + 0.5);
}

} // namespace tamrisk
