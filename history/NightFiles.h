// SPDX-License-Identifier: MIT
#pragma once

#include "NightLine.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace nortavi::history {

// The night log's folder: one CSV file per night, noon to noon, named by
// its evening's date (2026-12-07.csv), the newest `keep` of them kept.
// Each append opens the night's file, writes once and closes it, so a
// spreadsheet may read it meanwhile and nothing is held open for days.
class NightFiles {
public:
    static constexpr std::size_t kNightsKept = 60;

    // `folder` is UTF-8 and ends in the platform's separator; it is made
    // at the first append.
    explicit NightFiles(std::string folder, std::size_t keep = kNightsKept);

    const std::string& Folder() const { return folder_; }

    // Appends whole lines to the night's file in one write: the header
    // first in a new file, a line end first where the file ends in the
    // middle of a line (a crash, a full disk). The first append of each
    // night then deletes the oldest nights beyond those kept. What went
    // wrong, when the lines could not be written.
    std::optional<std::string> Append(const std::string& night, const std::string& lines);

    // The lines of the nights named from `firstNight` to `lastNight`
    // ("2026-12-07"), in file order; lines that do not read are passed over.
    std::vector<NightLine> Read(const std::string& firstNight, const std::string& lastNight) const;

    // Deletes the oldest nights' files beyond those kept; files of other
    // names are left alone.
    void Prune() const;

private:
    std::string folder_;
    std::size_t keep_;
    std::string night_;  // the night last appended to
};

}  // namespace nortavi::history
