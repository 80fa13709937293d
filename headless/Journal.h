// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nortavi::headless {

// Where the monitor says what happens, one line at a time: the state
// changes on standard output, everything else on standard error, marked
// as a warning for the journal when standard error goes there. Each line
// is out at once, whatever buffers a pipe or the journal's socket would
// keep.
class Journal {
public:
    Journal();

    void StateLine(const std::string& line);
    void Note(const std::string& text);
    void Warning(const std::string& text);

private:
    bool toJournal_ = false;
};

}  // namespace nortavi::headless
