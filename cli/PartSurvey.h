// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/SweepManifest.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tamrisk::cli {

// A part of a sweep and its manifest, as found on disk.
struct FoundPart {
    std::string path;
    PartManifest manifest;
};

// What a join was given: the parts of one sweep, in order, and everything
// that keeps them from being the whole table.
struct PartSurvey {
    std::int64_t shards = 0;           // N of the sweep; 0 when no manifest (or --shards) says
    std::vector<FoundPart> parts;      // the sweep's parts that may be joined, by K
    std::vector<std::int64_t> rerun;   // K's without a usable part: missing or damaged, ascending
    std::vector<std::string> problems; // what is missing, stale, damaged or stray, one line each
    bool Complete() const { return problems.empty() && std::int64_t(parts.size()) == shards && shards > 0; }
};

// Looks at the files and folders named (a folder: every file in it but the
// temporary files of unfinished writes) and at the manifests beside the
// parts, without reading the parts' rows. The sweep is the one most
// manifests belong to (of N parts when `expectedShards` > 0), the newest
// between equals; parts of other sweeps, another N or another version are
// stale, files without a manifest stray.
// The file at `output` is passed over.
PartSurvey SurveyParts(const std::vector<std::string>& paths, std::int64_t expectedShards, const std::string& output);

// Reads every part of the survey and compares it with its manifest; a
// damaged part goes from `parts` to the problems and `rerun`. With `copy`,
// the parts are also written to it in order, as long as none is damaged.
// `stopped` is asked between reads and ends the reading.
void CheckPartContents(PartSurvey& survey, ByteSink* copy, const std::function<bool()>& stopped = {});

// The K's as sbatch --array takes them: "3,7-9"; one per line with `lines`.
std::string ShardListText(const std::vector<std::int64_t>& ascending, bool lines);

} // namespace tamrisk::cli
