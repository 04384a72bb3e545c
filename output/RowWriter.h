// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/CleanTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk {

// Rows of a table as text: their bytes one after another, and where each ends.
struct TextRows {
    std::string bytes;
    std::vector<std::size_t> ends;

    void Clear()
    {
        bytes.clear();
        ends.clear();
    }
    std::size_t Count() const { return ends.size(); }
    std::string_view Row(std::size_t k) const
    {
        const std::size_t begin = k == 0 ? 0 : ends[k - 1];
        return std::string_view(bytes).substr(begin, ends[k] - begin);
    }
};

// The rows of a table in each format, cell by cell:
// - native (the window's files): each cell its FormatCell text, then TAB
//   (LF after a row's last cell) and one NUL;
// - csv and tsv: the clean texts, separated by "," or TAB, LF at the end;
// - json: one array per row, "[a, b, ...]", after "\n    " and, but for
//   the table's first row, a comma; null for a value that is not finite.
// The writer keeps no state, so a run of cells written once can be kept
// and appended to every row that shares it.
class RowWriter {
public:
    RowWriter(TableFormat format, std::size_t columns);

    TableFormat format() const { return format_; }
    std::size_t columns() const { return columns_; }

    // What goes before a row's first cell.
    void Begin(std::string& out, bool tableStart) const;
    // Cell number `column` (from 0) with its separators.
    void Cell(std::string& out, std::size_t column, float value) const;
    void Cell(std::string& out, std::size_t column, double value) const;
    // A cell whose text is given: a name, or a value's Text kept for many rows.
    void TextCell(std::string& out, std::size_t column, std::string_view text) const;
    // What goes after a row's last cell.
    void End(std::string& out) const;

    // A value's text as its cell shows it.
    std::string Text(float value) const;
    std::string Text(double value) const;

    // A whole row of texts, such as a header line (not for json, whose
    // names are part of its document).
    std::string Line(const std::vector<std::string>& cells) const;

private:
    template <typename T>
    void AppendCell(std::string& out, std::size_t column, T value) const;
    template <typename T>
    std::string ValueText(T value) const;

    TableFormat format_;
    std::size_t columns_;
};

} // namespace tamrisk
