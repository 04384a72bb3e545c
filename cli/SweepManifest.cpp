// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SweepManifest.h"

#include "cli/Sha256.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamrisk::cli {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kKind = "tamrisk-cli sweep part";
constexpr std::int64_t kMaxShards = 1000000;
constexpr std::size_t kMaxManifestBytes = 1 << 16;
constexpr std::size_t kReadBuffer = 1 << 20;

// Closes a descriptor when it goes.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool IsHexDigest(const std::string& text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(),
                                            [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string Plural(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string SweepFingerprint(const std::string& version, const nlohmann::ordered_json& inputs, const SweepPlan& plan,
                             TableFormat format)
{
    const Json definition = {{"program", "tamrisk-cli"},
                             {"version", version},
                             {"inputs", inputs},
                             {"sweep", SweepJson(plan)},
                             {"columns", SweepColumnNames(plan)},
                             {"format", TableFormatName(format)}};
    return Sha256Hex(definition.dump());
}

PartManifest PlannedPart(std::string version, std::string fingerprint, TableFormat format, std::int64_t points,
                         std::int64_t k, std::int64_t n)
{
    const RowRange range = ShardRows(points, k, n);
    PartManifest manifest;
    manifest.version = std::move(version);
    manifest.fingerprint = std::move(fingerprint);
    manifest.format = TableFormatName(format);
    manifest.shard = k;
    manifest.shards = n;
    manifest.points = points;
    manifest.firstRow = range.first + 1;
    manifest.lastRow = range.last;
    manifest.rows = range.last - range.first;
    return manifest;
}

std::string ManifestText(const PartManifest& manifest)
{
    const Json json = {{"manifest", kKind},
                       {"program", "tamrisk-cli"},
                       {"version", manifest.version},
                       {"fingerprint", manifest.fingerprint},
                       {"format", manifest.format},
                       {"shard", manifest.shard},
                       {"shards", manifest.shards},
                       {"points", manifest.points},
                       {"first_row", manifest.firstRow},
                       {"last_row", manifest.lastRow},
                       {"rows", manifest.rows},
                       {"bytes", manifest.bytes},
                       {"sha256", manifest.sha256}};
    return json.dump(2) + "\n";
}

std::variant<PartManifest, std::string> ReadManifest(std::string_view text)
{
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object())
        return std::string("not a JSON object");
    if (json.value("manifest", "") != kKind)
        return std::string("not the manifest of a sweep's part");
    PartManifest manifest;
    const auto textField = [&](const char* name, std::string& field) {
        if (!json.contains(name) || !json[name].is_string())
            return false;
        field = json[name].get<std::string>();
        return true;
    };
    const auto numberField = [&](const char* name, std::int64_t& field) {
        if (!json.contains(name) || !json[name].is_number_integer())
            return false;
        field = json[name].get<std::int64_t>();
        return true;
    };
    for (const auto& [name, field] :
         {std::pair{"version", &manifest.version}, std::pair{"fingerprint", &manifest.fingerprint},
          std::pair{"format", &manifest.format}, std::pair{"sha256", &manifest.sha256}})
        if (!textField(name, *field))
            return "no text \"" + std::string(name) + "\"";
    for (const auto& [name, field] : {std::pair{"shard", &manifest.shard}, std::pair{"shards", &manifest.shards},
                                      std::pair{"points", &manifest.points}, std::pair{"first_row", &manifest.firstRow},
                                      std::pair{"last_row", &manifest.lastRow}, std::pair{"rows", &manifest.rows},
                                      std::pair{"bytes", &manifest.bytes}})
        if (!numberField(name, *field))
            return "no whole number \"" + std::string(name) + "\"";
    if (!IsHexDigest(manifest.fingerprint) || !IsHexDigest(manifest.sha256))
        return std::string("a fingerprint or checksum is not 64 hex digits");
    if (manifest.format != "csv" && manifest.format != "tsv")
        return "format '" + manifest.format + "' is not csv or tsv";
    if (manifest.shards < 1 || manifest.shards > kMaxShards || manifest.shard < 1 || manifest.shard > manifest.shards ||
        manifest.points < 0 || manifest.bytes < 0)
        return std::string("part ") + std::to_string(manifest.shard) + " of " + std::to_string(manifest.shards) +
               " is not a part of a table";
    const RowRange range = ShardRows(manifest.points, manifest.shard, manifest.shards);
    if (manifest.firstRow != range.first + 1 || manifest.lastRow != range.last ||
        manifest.rows != range.last - range.first)
        return "its rows do not agree with part " + std::to_string(manifest.shard) + " of " +
               std::to_string(manifest.shards) + " of " + std::to_string(manifest.points) + " rows";
    return manifest;
}

std::variant<PartManifest, std::string> ReadManifestFile(const std::string& path)
{
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return std::string(std::strerror(errno));
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::string(std::strerror(errno));
        if (got == 0)
            break;
        text.append(buffer, std::size_t(got));
        if (text.size() > kMaxManifestBytes)
            return std::string("too large for a manifest");
    }
    return ReadManifest(text);
}

std::string ManifestPathOf(const std::string& part) { return part + std::string(kManifestEnding); }

bool IsManifestPath(std::string_view path)
{
    return path.size() > kManifestEnding.size() && path.substr(path.size() - kManifestEnding.size()) == kManifestEnding;
}

std::string PartPathOf(const std::string& manifest)
{
    return manifest.substr(0, manifest.size() - kManifestEnding.size());
}

std::optional<std::string> CheckPart(const std::string& path, const PartManifest& manifest, ByteSink* copy,
                                     const std::function<bool()>& stopped)
{
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    struct stat status {};
    if (::fstat(file.fd, &status) != 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    if (!S_ISREG(status.st_mode))
        return std::string("is not a regular file");
    if (status.st_size != manifest.bytes)
        return "has " + Plural(status.st_size, "byte", "bytes") + ", its manifest says " +
               std::to_string(manifest.bytes) + (status.st_size < manifest.bytes ? " (cut short)" : " (grown)");
    Sha256 hash;
    std::int64_t lines = 0;
    std::int64_t total = 0;
    const std::unique_ptr<char[]> buffer(new char[kReadBuffer]);
    for (;;) {
        if (stopped && stopped())
            return std::string("was not read to its end (stopped)");
        const ssize_t got = ::read(file.fd, buffer.get(), kReadBuffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::string("cannot be read: ") + std::strerror(errno);
        if (got == 0)
            break;
        const std::string_view bytes(buffer.get(), std::size_t(got));
        hash.Update(bytes);
        lines += std::count(bytes.begin(), bytes.end(), '\n');
        total += got;
        if (copy != nullptr)
            copy->Write(bytes);
    }
    // The header line is part 1's alone.
    const std::int64_t rows = lines - (manifest.shard == 1 ? 1 : 0);
    if (total != manifest.bytes)
        return "changed while it was read (" + Plural(total, "byte", "bytes") + ", its manifest says " +
               std::to_string(manifest.bytes) + ")";
    if (rows != manifest.rows)
        return "has " + Plural(rows, "row", "rows") + ", its manifest says " + std::to_string(manifest.rows);
    if (hash.HexDigest() != manifest.sha256)
        return std::string("does not match its manifest's checksum (its bytes were changed)");
    return std::nullopt;
}

FinishedPart CheckFinishedPart(const std::string& path, const PartManifest& planned)
{
    struct stat status {};
    const bool partThere = ::stat(path.c_str(), &status) == 0;
    const std::string manifestPath = ManifestPathOf(path);
    if (::stat(manifestPath.c_str(), &status) != 0)
        return {false, partThere ? "it has no manifest" : ""};
    const std::variant<PartManifest, std::string> read = ReadManifestFile(manifestPath);
    if (const std::string* problem = std::get_if<std::string>(&read))
        return {false, "its manifest is damaged: " + *problem};
    const PartManifest& found = std::get<PartManifest>(read);
    if (found.fingerprint != planned.fingerprint)
        return {false, found.version != planned.version
                           ? "it was made by tamrisk-cli " + found.version + ", this is " + planned.version
                           : std::string("it belongs to another sweep (other inputs, axes, columns or format)")};
    if (found.shard != planned.shard || found.shards != planned.shards)
        return {false, "it is part " + std::to_string(found.shard) + " of " + std::to_string(found.shards)};
    if (!partThere)
        return {false, "only its manifest is there"};
    if (const std::optional<std::string> problem = CheckPart(path, found))
        return {false, "it " + *problem};
    return {true, {}};
}

} // namespace tamrisk::cli
