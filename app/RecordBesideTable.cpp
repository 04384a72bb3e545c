// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecordBesideTable.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace tamrisk {

namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kMaxBaseInHiddenName = 200; // leaves room below NAME_MAX

// The file a path leads to, symlinks followed; empty when there is none.
std::string ResolvedPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool IsRegularFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// A hidden name beside the file, of the temporary files' pattern .NAME.XXXXXX.tmp.
std::string HiddenNameBeside(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    const std::string folder = file.substr(0, slash + 1);
    const std::string base = file.substr(slash + 1).substr(0, kMaxBaseInHiddenName);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = folder + "." + base + ".";
    for (int i = 0; i < 6; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return name + ".tmp";
}

// A second name for the file: a hard link, or a copy where links are not
// possible. Empty when neither could be made.
std::string KeepAside(const std::string& file)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = HiddenNameBeside(file);
        if (::link(file.c_str(), name.c_str()) == 0)
            return name;
        if (errno == EEXIST)
            continue;
        if (QFile::copy(QFile::decodeName(file.c_str()), QFile::decodeName(name.c_str())))
            return name;
        if (!QFile::exists(QFile::decodeName(name.c_str())))
            return {};
    }
    return {};
}

} // namespace

QString RecordPathBeside(const QString& tablePath) { return tablePath.chopped(4) + QStringLiteral(".json"); }

std::unique_ptr<RecordBesideTable> RecordBesideTable::Open(const std::string& tablePath, const OutputFile& table,
                                                           std::string_view bytes)
{
    const std::string recordPath =
        QFile::encodeName(RecordPathBeside(QFile::decodeName(tablePath.c_str()))).toStdString();
    std::unique_ptr<OutputFile> record = OutputFile::Open(recordPath);
    if (!record)
        return nullptr;
    try {
        record->Write(bytes);
    } catch (const FileError&) {
        return nullptr;
    }
    std::unique_ptr<RecordBesideTable> beside(new RecordBesideTable(tablePath, table.replaces(), std::move(record)));
    if (beside->tableReplaces_) {
        const std::string old = ResolvedPath(tablePath);
        if (!old.empty() && IsRegularFile(old)) {
            beside->kept_ = KeepAside(old);
            if (beside->kept_.empty())
                return nullptr;
            beside->oldTable_ = old;
        }
    }
    return beside;
}

RecordBesideTable::RecordBesideTable(std::string tablePath, bool tableReplaces, std::unique_ptr<OutputFile> record)
    : tablePath_(std::move(tablePath)), tableReplaces_(tableReplaces), record_(std::move(record))
{
}

RecordBesideTable::~RecordBesideTable()
{
    record_.reset();
    if (!kept_.empty())
        ::unlink(kept_.c_str());
}

void RecordBesideTable::Commit()
{
    try {
        record_->Commit();
    } catch (const FileError&) {
        PutOldTableBack();
        throw;
    }
}

void RecordBesideTable::PutOldTableBack() noexcept
{
    if (!tableReplaces_)
        return; // written directly: there is nothing to put back
    if (!kept_.empty()) {
        if (::rename(kept_.c_str(), oldTable_.c_str()) == 0)
            kept_.clear();
        return;
    }
    // There was no old table: the new one goes.
    const std::string written = ResolvedPath(tablePath_);
    if (!written.empty() && IsRegularFile(written))
        ::unlink(written.c_str());
}

} // namespace tamrisk
