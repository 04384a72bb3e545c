// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PartSurvey.h"

#include "cli/OutputPaths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <variant>

#include <sys/stat.h>

namespace tamrisk::cli {

namespace {

std::string Quoted(const std::string& path) { return "'" + Shown(path) + "'"; }

std::string PartOf(const PartManifest& manifest)
{
    return "part " + std::to_string(manifest.shard) + " of " + std::to_string(manifest.shards);
}

// The temporary file of an output being written (or of a write that was
// killed): ".NAME.XXXXXX.tmp". It becomes a part only by its rename.
bool IsUnfinishedWrite(const std::string& name)
{
    return name.size() > 12 && name.front() == '.' && name.ends_with(".tmp");
}

struct FileId {
    dev_t device;
    ino_t inode;
    auto operator<=>(const FileId&) const = default;
};

// A part's manifest as found, with what the survey needs to know of the part beside it.
struct Candidate {
    std::string path;
    PartManifest manifest;
    bool partThere = false;
    std::int64_t partBytes = 0;
    std::int64_t written = 0; // the manifest's time of writing, in ns
};

// The files the paths name, a folder's files sorted by name; no file twice.
std::vector<std::string> ListFiles(const std::vector<std::string>& paths, const std::optional<FileId>& output,
                                   std::vector<std::string>& problems)
{
    std::vector<std::string> files;
    std::set<FileId> seen;
    if (output)
        seen.insert(*output);
    const auto add = [&](const std::string& path, const struct stat& status) {
        if (seen.insert({status.st_dev, status.st_ino}).second)
            files.push_back(path);
    };
    for (const std::string& path : paths) {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) {
            problems.push_back(Quoted(path) + ": " + std::strerror(errno));
            continue;
        }
        if (!S_ISDIR(status.st_mode)) {
            add(path, status);
            continue;
        }
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(path, error))
            names.push_back(entry.path().filename().string());
        if (error) {
            problems.push_back(Quoted(path) + ": " + error.message());
            continue;
        }
        std::sort(names.begin(), names.end());
        const std::string folder = path.ends_with('/') ? path : path + "/";
        for (const std::string& name : names) {
            if (IsUnfinishedWrite(name))
                continue;
            struct stat entry {};
            if (::stat((folder + name).c_str(), &entry) != 0) {
                problems.push_back(Quoted(folder + name) + ": " + std::strerror(errno));
                continue;
            }
            if (S_ISDIR(entry.st_mode))
                problems.push_back(Quoted(folder + name) + " is a folder, not a part");
            else
                add(folder + name, entry);
        }
        if (names.empty())
            problems.push_back(Quoted(path) + " is empty");
    }
    return files;
}

std::optional<FileId> IdOf(const std::string& path)
{
    struct stat status {};
    if (path == "-" || ::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileId{status.st_dev, status.st_ino};
}

// Why a manifest of another group is not one of the sweep's.
std::string StaleReason(const PartManifest& stale, const PartManifest& current)
{
    if (stale.version != current.version)
        return "was made by tamrisk-cli " + stale.version + ", the sweep's other parts by " + current.version;
    if (stale.fingerprint == current.fingerprint)
        return "is " + PartOf(stale) + ", the sweep's other parts are of " + std::to_string(current.shards);
    return "is " + PartOf(stale) + " of another sweep (other inputs, axes, columns or format)";
}

std::vector<std::pair<std::int64_t, std::int64_t>> Runs(const std::vector<std::int64_t>& ascending)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;
    for (const std::int64_t k : ascending) {
        if (!runs.empty() && runs.back().second + 1 == k)
            runs.back().second = k;
        else
            runs.emplace_back(k, k);
    }
    return runs;
}

} // namespace

std::string ShardListText(const std::vector<std::int64_t>& ascending, bool lines)
{
    std::string text;
    if (lines) {
        for (const std::int64_t k : ascending)
            text += std::to_string(k) + "\n";
        return text;
    }
    for (const auto& [first, last] : Runs(ascending)) {
        text += (text.empty() ? "" : ",") + std::to_string(first);
        if (last > first)
            text += "-" + std::to_string(last);
    }
    return text;
}

PartSurvey SurveyParts(const std::vector<std::string>& paths, std::int64_t expectedShards, const std::string& output)
{
    PartSurvey survey;
    const std::vector<std::string> files = ListFiles(paths, IdOf(output), survey.problems);

    // Each part once, whether it was named by itself or by its manifest.
    std::vector<std::string> partPaths;
    for (const std::string& file : files) {
        const std::string part = IsManifestPath(file) ? PartPathOf(file) : file;
        if (std::find(partPaths.begin(), partPaths.end(), part) == partPaths.end())
            partPaths.push_back(part);
    }
    std::vector<Candidate> candidates;
    for (const std::string& part : partPaths) {
        const std::string manifestPath = ManifestPathOf(part);
        struct stat manifestStatus {
        }, partStatus{};
        const bool partThere = ::stat(part.c_str(), &partStatus) == 0;
        if (::stat(manifestPath.c_str(), &manifestStatus) != 0) {
            survey.problems.push_back(Quoted(part) +
                                      " has no manifest: an unfinished part, or a file that is not a part");
            continue;
        }
        const std::variant<PartManifest, std::string> read = ReadManifestFile(manifestPath);
        if (const std::string* problem = std::get_if<std::string>(&read)) {
            survey.problems.push_back(Quoted(manifestPath) + " is not a part's manifest: " + Shown(*problem));
            continue;
        }
        candidates.push_back(
            {part, std::get<PartManifest>(read), partThere, std::int64_t(partStatus.st_size),
             std::int64_t(manifestStatus.st_mtim.tv_sec) * 1000000000 + manifestStatus.st_mtim.tv_nsec});
    }

    // The sweep is the one most manifests belong to (of N parts when N is
    // given), or, between equals, the one written last: one part run again
    // by mistake does not make the others stale.
    std::map<std::pair<std::string, std::int64_t>, std::pair<std::int64_t, std::int64_t>> sweeps; // count, newest
    for (const Candidate& candidate : candidates) {
        auto& [count, written] = sweeps[{candidate.manifest.fingerprint, candidate.manifest.shards}];
        ++count;
        written = std::max(written, candidate.written);
    }
    const Candidate* chosen = nullptr;
    const auto rank = [&](const Candidate& candidate) {
        return sweeps[{candidate.manifest.fingerprint, candidate.manifest.shards}];
    };
    for (const Candidate& candidate : candidates)
        if ((expectedShards <= 0 || candidate.manifest.shards == expectedShards) &&
            (chosen == nullptr || rank(candidate) > rank(*chosen)))
            chosen = &candidate;
    survey.shards = chosen != nullptr ? chosen->manifest.shards : std::max<std::int64_t>(expectedShards, 0);
    if (survey.shards == 0) { // no manifest at all
        survey.problems.push_back("no part of a sweep was found");
        return survey;
    }

    std::map<std::int64_t, std::vector<const Candidate*>> byShard;
    for (const Candidate& candidate : candidates) {
        if (chosen != nullptr && (candidate.manifest.fingerprint != chosen->manifest.fingerprint ||
                                  candidate.manifest.shards != chosen->manifest.shards)) {
            survey.problems.push_back(Quoted(candidate.path) + " is stale: it " +
                                      StaleReason(candidate.manifest, chosen->manifest));
            continue;
        }
        if (chosen == nullptr) { // N given, and no manifest of N parts
            survey.problems.push_back(Quoted(candidate.path) + " is stale: it is " + PartOf(candidate.manifest) +
                                      ", not of " + std::to_string(survey.shards));
            continue;
        }
        byShard[candidate.manifest.shard].push_back(&candidate);
    }
    std::vector<std::int64_t> missing;
    for (std::int64_t k = 1; k <= survey.shards; ++k) {
        const auto found = byShard.find(k);
        if (found == byShard.end()) {
            missing.push_back(k);
            continue;
        }
        const std::vector<const Candidate*>& same = found->second;
        if (same.size() > 1) {
            std::string names;
            for (const Candidate* candidate : same)
                names += (names.empty() ? "" : " and ") + Quoted(candidate->path);
            survey.problems.push_back(names + " are each " + PartOf(same.front()->manifest) + "; keep one");
            continue;
        }
        const Candidate& only = *same.front();
        const std::string name = Quoted(only.path) + " (" + PartOf(only.manifest) + ")";
        if (!only.partThere) {
            survey.problems.push_back(name + " is missing beside its manifest");
            survey.rerun.push_back(k);
        } else if (only.partBytes != only.manifest.bytes) {
            survey.problems.push_back(name + " has " + std::to_string(only.partBytes) + " bytes, its manifest says " +
                                      std::to_string(only.manifest.bytes) +
                                      (only.partBytes < only.manifest.bytes ? " (cut short)" : " (grown)"));
            survey.rerun.push_back(k);
        } else {
            survey.parts.push_back({only.path, only.manifest});
        }
    }
    if (!missing.empty())
        survey.problems.push_back(std::string(missing.size() == 1 ? "part " : "parts ") +
                                  ShardListText(missing, false) + " of " + std::to_string(survey.shards) +
                                  (missing.size() == 1 ? " is" : " are") + " missing");
    survey.rerun.insert(survey.rerun.end(), missing.begin(), missing.end());
    std::sort(survey.rerun.begin(), survey.rerun.end());
    return survey;
}

void CheckPartContents(PartSurvey& survey, ByteSink* copy, const std::function<bool()>& stopped)
{
    std::vector<FoundPart> whole;
    for (FoundPart& part : survey.parts) {
        ByteSink* to = survey.problems.empty() ? copy : nullptr;
        if (const std::optional<std::string> problem = CheckPart(part.path, part.manifest, to, stopped)) {
            survey.problems.push_back(Quoted(part.path) + " (" + PartOf(part.manifest) + ") " + Shown(*problem));
            survey.rerun.push_back(part.manifest.shard);
            continue;
        }
        whole.push_back(std::move(part));
    }
    survey.parts = std::move(whole);
    std::sort(survey.rerun.begin(), survey.rerun.end());
}

} // namespace tamrisk::cli
