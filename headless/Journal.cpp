// SPDX-License-Identifier: MIT
#include "Journal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace nortavi::headless {

namespace {

// systemd names the journal's stream in JOURNAL_STREAM ("device:inode").
bool StandardErrorIsTheJournal()
{
    const char* stream = std::getenv("JOURNAL_STREAM");
    struct stat info {};
    if (stream == nullptr || ::fstat(STDERR_FILENO, &info) != 0) {
        return false;
    }
    unsigned long long device = 0;
    unsigned long long inode = 0;
    return std::sscanf(stream, "%llu:%llu", &device, &inode) == 2 && device == info.st_dev &&
           inode == info.st_ino;
}

void WriteLine(std::FILE* stream, const char* prefix, const std::string& text)
{
    std::fprintf(stream, "%s%s\n", prefix, text.c_str());
    std::fflush(stream);
}

}  // namespace

Journal::Journal() : toJournal_(StandardErrorIsTheJournal())
{
}

void Journal::StateLine(const std::string& line)
{
    WriteLine(stdout, "", line);
}

// The journal names the program on every line itself, and reads a "<4>"
// in front as the priority "warning".
void Journal::Note(const std::string& text)
{
    WriteLine(stderr, toJournal_ ? "" : "nortavi-monitor: ", text);
}

void Journal::Warning(const std::string& text)
{
    WriteLine(stderr, toJournal_ ? "<4>" : "nortavi-monitor: ", text);
}

}  // namespace nortavi::headless
