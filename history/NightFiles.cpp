// SPDX-License-Identifier: MIT
#include "NightFiles.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace nortavi::history {

namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 text everywhere in the program; Windows names files in UTF-16.
fs::path PathOf(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// A night's file is a few kilobytes; one that has grown past this (a
// sensor that flapped for days, a file that is not the log) is read only
// this far.
constexpr std::uintmax_t kLargestRead = 32 * 1024 * 1024;

std::string Reason(int error)
{
    return error != 0 ? std::generic_category().message(error) : "the system refused the write";
}

bool IsNightFileName(const std::string& name)
{
    // 2026-12-07.csv
    if (name.size() != 14 || name.substr(10) != ".csv" || name[4] != '-' || name[7] != '-') {
        return false;
    }
    return std::all_of(name.begin(), name.begin() + 10,
                       [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

std::optional<std::chrono::sys_days> NightDate(const std::string& night)
{
    if (night.size() != 10) {
        return std::nullopt;
    }
    const auto start =
        MakeLocalTime(std::atoi(night.substr(0, 4).c_str()), std::atoi(night.substr(5, 2).c_str()),
                      std::atoi(night.substr(8, 2).c_str()), 0, 0, 0);
    if (!start) {
        return std::nullopt;
    }
    return std::chrono::sys_days{std::chrono::floor<std::chrono::days>(start->time_since_epoch())};
}

}  // namespace

NightFiles::NightFiles(std::string folder, std::size_t keep)
    : folder_(std::move(folder)), keep_(keep)
{
}

std::optional<std::string> NightFiles::Append(const std::string& night, const std::string& lines)
{
    const fs::path path = PathOf(folder_ + night + ".csv");
    std::string bytes;
    const bool newNight = night != night_;
    if (newNight) {
        std::error_code error;
        fs::create_directories(PathOf(folder_), error);
        if (error) {
            return error.message();
        }
        // Where an earlier run left the file: empty, whole, or cut short.
        const auto size = fs::file_size(path, error);
        if (error || size == 0) {
            bytes = kCsvHeader;
        } else {
            std::ifstream file(path, std::ios::binary);
            file.seekg(-1, std::ios::end);
            if (file.get() != '\n') {
                bytes = "\r\n";
            }
        }
    }
    bytes += lines;
    errno = 0;
    std::ofstream file(path, std::ios::binary | std::ios::app);
    if (file) {
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
    }
    if (!file) {
        return Reason(errno);
    }
    if (newNight) {
        night_ = night;
        Prune();
    }
    return std::nullopt;
}

std::vector<NightLine> NightFiles::Read(const std::string& firstNight,
                                        const std::string& lastNight) const
{
    std::vector<NightLine> lines;
    const auto first = NightDate(firstNight);
    const auto last = NightDate(lastNight);
    if (!first || !last) {
        return lines;
    }
    for (auto day = *first; day <= *last; day += std::chrono::days(1)) {
        const std::string night = FormatLocalTime(LocalTime{day.time_since_epoch()}).substr(0, 10);
        std::ifstream file(PathOf(folder_ + night + ".csv"), std::ios::binary);
        std::string text;
        std::uintmax_t taken = 0;
        while (taken < kLargestRead && std::getline(file, text)) {
            taken += text.size() + 1;
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            if (auto line = ParseCsvLine(text)) {
                lines.push_back(*line);
            }
        }
    }
    return lines;
}

void NightFiles::Prune() const
{
    std::vector<std::string> nights;
    std::error_code error;
    for (fs::directory_iterator entry(PathOf(folder_), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::u8string name = entry->path().filename().u8string();
        std::string text(name.begin(), name.end());
        if (IsNightFileName(text)) {
            nights.push_back(std::move(text));
        }
    }
    if (nights.size() <= keep_) {
        return;
    }
    // The names sort as their dates do.
    std::sort(nights.begin(), nights.end());
    for (std::size_t i = 0; i + keep_ < nights.size(); ++i) {
        fs::remove(PathOf(folder_ + nights[i]), error);
    }
}

}  // namespace nortavi::history
