// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nortavi {

// Splits 8-bit text into fields, the way both the status file and
// config.ini are read:
//  - spaces before a field are skipped;
//  - a field that begins with a double quote runs to the next double quote,
//    and a comma between the quotes belongs to the value;
//  - an unquoted field ends at a comma, a line end (CR, LF or CR LF) or the
//    end of the text, and that comma or line end is consumed;
//  - when the text ends before a field begins, there is no field.
class FieldReader {
public:
    explicit FieldReader(std::string_view text);

    std::optional<std::string> NextField();

    // Whether the last field ended at a comma, a line end or a closing
    // quote rather than at the end of the text: a field cut off at the end
    // of a bounded read is not to be trusted.
    bool LastFieldTerminated() const { return lastTerminated_; }

    // Where the next field begins in the text.
    std::size_t Offset() const { return pos_; }

private:
    std::string ReadQuoted();
    std::string ReadUnquoted();
    // Consumes one comma or line end, if one is next.
    bool ConsumeDelimiter();
    bool AtEnd() const { return pos_ >= text_.size(); }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool lastTerminated_ = false;
};

}  // namespace nortavi
