// SPDX-License-Identifier: MIT
#include "FieldReader.h"

namespace nortavi {

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}
}  // namespace

FieldReader::FieldReader(std::string_view text) : text_(text)
{
    // Some editors put a byte order mark in front; it is no part of a field.
    if (text_.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        pos_ = kUtf8Bom.size();
    }
}

std::optional<std::string> FieldReader::NextField()
{
    while (!AtEnd() && text_[pos_] == ' ') {
        ++pos_;
    }
    if (AtEnd()) {
        lastTerminated_ = false;
        return std::nullopt;
    }
    if (text_[pos_] == '"') {
        return ReadQuoted();
    }
    return ReadUnquoted();
}

std::string FieldReader::ReadQuoted()
{
    ++pos_;  // opening quote
    const std::size_t close = text_.find('"', pos_);
    if (close == std::string_view::npos) {
        std::string value(text_.substr(pos_));
        pos_ = text_.size();
        lastTerminated_ = false;
        return value;
    }
    std::string value(text_.substr(pos_, close - pos_));
    pos_ = close + 1;
    // Anything between the closing quote and the next comma or line end is
    // dropped, so the following field starts where it should.
    while (!AtEnd() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) {
        ++pos_;
    }
    ConsumeDelimiter();
    lastTerminated_ = true;
    return value;
}

std::string FieldReader::ReadUnquoted()
{
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) {
        ++pos_;
    }
    std::string_view value = text_.substr(start, pos_ - start);
    // Trailing blanks are padding, not data: "CLEAR " is still CLEAR.
    while (!value.empty() && value.back() == ' ') {
        value.remove_suffix(1);
    }
    lastTerminated_ = ConsumeDelimiter();
    return std::string(value);
}

bool FieldReader::ConsumeDelimiter()
{
    if (AtEnd()) {
        return false;
    }
    if (text_[pos_] == ',' || text_[pos_] == '\n') {
        ++pos_;
        return true;
    }
    if (text_[pos_] == '\r') {
        ++pos_;
        if (!AtEnd() && text_[pos_] == '\n') {
            ++pos_;
        }
        return true;
    }
    return false;
}

}  // namespace nortavi
