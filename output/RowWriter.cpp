// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/RowWriter.h"

#include "output/CleanText.h"
#include "output/NumberText.h"

#include <algorithm>
#include <cmath>

namespace tamrisk {

namespace {

constexpr std::size_t kCellCapacity = std::size_t(std::max(kFormatCellCapacity, kCleanTextCapacity)) + 4;

char* Copy(char* out, std::string_view text) { return std::copy(text.begin(), text.end(), out); }

} // namespace

RowWriter::RowWriter(TableFormat format, std::size_t columns) : format_(format), columns_(columns) {}

void RowWriter::Begin(std::string& out, bool tableStart) const
{
    if (format_ == TableFormat::Json)
        out += tableStart ? "\n    [" : ",\n    [";
}

void RowWriter::End(std::string& out) const
{
    switch (format_) {
    case TableFormat::Native:
        break; // the last cell ended the line
    case TableFormat::Csv:
    case TableFormat::Tsv:
        out += '\n';
        break;
    case TableFormat::Json:
        out += ']';
        break;
    }
}

// The cell is put together on the stack and appended at once.
template <typename T>
void RowWriter::AppendCell(std::string& out, std::size_t column, T value) const
{
    char cell[kCellCapacity];
    char* end = cell;
    switch (format_) {
    case TableFormat::Native:
        end = WriteFormatCell(end, double(value));
        *end++ = column + 1 == columns_ ? '\n' : '\t';
        *end++ = '\0';
        break;
    case TableFormat::Csv:
    case TableFormat::Tsv:
        if (column > 0)
            *end++ = format_ == TableFormat::Tsv ? '\t' : ',';
        end = WriteCleanText(end, value);
        break;
    case TableFormat::Json:
        if (column > 0)
            end = Copy(end, ", ");
        // JSON has no numbers for non-finite values: null stands for them.
        end = std::isfinite(value) ? WriteCleanText(end, value) : Copy(end, "null");
        break;
    }
    out.append(cell, std::size_t(end - cell));
}

void RowWriter::Cell(std::string& out, std::size_t column, float value) const { AppendCell(out, column, value); }
void RowWriter::Cell(std::string& out, std::size_t column, double value) const { AppendCell(out, column, value); }

void RowWriter::TextCell(std::string& out, std::size_t column, std::string_view text) const
{
    switch (format_) {
    case TableFormat::Native:
        out += text;
        out += column + 1 == columns_ ? '\n' : '\t';
        out += '\0';
        break;
    case TableFormat::Csv:
    case TableFormat::Tsv:
        if (column > 0)
            out += format_ == TableFormat::Tsv ? '\t' : ',';
        out += text;
        break;
    case TableFormat::Json:
        if (column > 0)
            out += ", ";
        out += text;
        break;
    }
}

template <typename T>
std::string RowWriter::ValueText(T value) const
{
    char text[kCellCapacity];
    if (format_ == TableFormat::Native)
        return std::string(text, WriteFormatCell(text, double(value)));
    if (format_ == TableFormat::Json && !std::isfinite(value))
        return "null";
    return std::string(text, WriteCleanText(text, value));
}

std::string RowWriter::Text(float value) const { return ValueText(value); }
std::string RowWriter::Text(double value) const { return ValueText(value); }

std::string RowWriter::Line(const std::vector<std::string>& cells) const
{
    std::string line;
    Begin(line, true);
    for (std::size_t c = 0; c < cells.size(); ++c)
        TextCell(line, c, cells[c]);
    End(line);
    return line;
}

} // namespace tamrisk
