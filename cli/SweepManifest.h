// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/ByteSink.h"
#include "output/CleanTable.h"
#include "scan/SweepPlan.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tamrisk::cli {

// What a sweep's part (--shard K/N -o FILE) is, written beside it as
// FILE.manifest.json once the part is complete, so that a join can tell a
// whole, current part from a missing, cut, changed or foreign one.
struct PartManifest {
    std::string version;     // of the program that wrote the part
    std::string fingerprint; // SweepFingerprint of the sweep
    std::string format;      // csv or tsv
    std::int64_t shard = 0;  // K
    std::int64_t shards = 0; // N
    std::int64_t points = 0; // the rows of the whole table
    // The part's rows, counted from 1 in the whole table (the header not
    // counted); a part without rows has lastRow = firstRow - 1.
    std::int64_t firstRow = 1;
    std::int64_t lastRow = 0;
    std::int64_t rows = 0;
    std::int64_t bytes = 0; // of the part's file, its header included
    std::string sha256;     // of the part's file, 64 hex digits
};

// SHA-256 (hex) of all that defines a sweep table's bytes: the program's
// version, the inputs (their record), the axes, the columns and the format.
std::string SweepFingerprint(const std::string& version, const nlohmann::ordered_json& inputs, const SweepPlan& plan,
                             TableFormat format);

// The manifest of part k of n of a table of `points` rows, without its bytes and checksum.
PartManifest PlannedPart(std::string version, std::string fingerprint, TableFormat format, std::int64_t points,
                         std::int64_t k, std::int64_t n);

// The manifest as its file holds it: JSON, indented by two, ending in a line end.
std::string ManifestText(const PartManifest& manifest);
// The manifest in a text, or why the text is not a whole, consistent one.
std::variant<PartManifest, std::string> ReadManifest(std::string_view text);
// The manifest in a file, or why there is none.
std::variant<PartManifest, std::string> ReadManifestFile(const std::string& path);

inline constexpr std::string_view kManifestEnding = ".manifest.json";
std::string ManifestPathOf(const std::string& part);
bool IsManifestPath(std::string_view path);
std::string PartPathOf(const std::string& manifest);

// Reads the part and compares it with its manifest (bytes, rows, checksum),
// passing its bytes on to `copy` when given; what does not match, or nothing.
// Reads through one buffer, whatever the part's size; `stopped`, when given,
// is asked between reads and ends the reading. Throws FileError when `copy` fails.
std::optional<std::string> CheckPart(const std::string& path, const PartManifest& manifest, ByteSink* copy = nullptr,
                                     const std::function<bool()>& stopped = {});

// Whether the part at `path` and its manifest are the part `planned`
// describes, whole: the same sweep, K and N, and its bytes verified.
struct FinishedPart {
    bool complete = false;
    std::string reason; // why not; empty when neither file is there
};
FinishedPart CheckFinishedPart(const std::string& path, const PartManifest& planned);

} // namespace tamrisk::cli
