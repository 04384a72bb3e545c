// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/OutputFile.h"

#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace tamrisk {

// The parameter record beside a clean table: the table's name with .json
// in place of its .csv ending.
QString RecordPathBeside(const QString& tablePath);

// A clean table's parameter record, replaced together with the table or not
// at all. The record goes to a temporary file when it is opened, and the
// table's old file, if any, is kept aside under a hidden name in its folder
// (a second hard link, or a copy where the file system has none). The table
// is committed first, then the record: should the record fail, the kept file
// takes the table's place again. Destroyed before its commit, the record
// leaves its old file as it was, and so does a table that was not committed.
class RecordBesideTable final {
public:
    // nullptr when the record cannot be opened or the old table cannot be
    // kept aside; nothing is left behind then. tablePath is the table's
    // path as given to OutputFile::Open, table the file it gave.
    static std::unique_ptr<RecordBesideTable> Open(const std::string& tablePath, const OutputFile& table,
                                                   std::string_view bytes);
    ~RecordBesideTable();
    RecordBesideTable(const RecordBesideTable&) = delete;
    RecordBesideTable& operator=(const RecordBesideTable&) = delete;

    // Once the table has been committed: puts the record in place. Throws
    // FileError when that fails, after the table's old file (or none) is back.
    void Commit();

private:
    RecordBesideTable(std::string tablePath, bool tableReplaces, std::unique_ptr<OutputFile> record);
    void PutOldTableBack() noexcept;

    std::string tablePath_;
    bool tableReplaces_; // the table is a regular file that its commit replaces or creates
    std::unique_ptr<OutputFile> record_;
    std::string oldTable_; // the old table's file, symlinks followed; empty when there was none
    std::string kept_;     // its hidden second name, while it is kept
};

} // namespace tamrisk
