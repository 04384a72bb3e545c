// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanJob.h"

#include "scan/ScanGrid.h"

namespace tamrisk {

ScanJobResult RunScanJob(const ScanGridTexts& texts, ModelParameters& params, const DisplayFlags& flags,
                         DepthProfile& profile, SignalCurves& curves, const ScanJobHooks& hooks)
{
    const ScanGrid grid = ReadScanGrid(texts);
    if (std::optional<std::string> refusal = CheckScanGrid(grid))
        return {ScanOutcome::Refused, std::move(*refusal)};
    const std::unique_ptr<OutputFile> file = hooks.open();
    if (!file)
        return {ScanOutcome::NotOpened, {}};
    if (hooks.confirm && !hooks.confirm(EstimateScan(grid, params, hooks.threads, hooks.layout.format), *file))
        return {ScanOutcome::Declined, {}};
    if (hooks.started)
        hooks.started();
    try {
        if (!ScanToFile(grid, params, flags, profile, curves, *file, hooks.progress, hooks.threads, hooks.poll,
                        hooks.layout))
            return {ScanOutcome::Stopped, {}};
        // The file is buffered: only a completed commit proves that every byte reached it.
        if (!hooks.commit)
            file->Commit();
        else if (!hooks.commit(*file))
            return {ScanOutcome::Stopped, {}};
    } catch (const FileError& error) {
        return {ScanOutcome::WriteFailed, error.what()};
    }
    return {ScanOutcome::Written, {}};
}

} // namespace tamrisk
