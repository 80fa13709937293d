// SPDX-License-Identifier: MIT
#include "FieldReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nortavi {
namespace {

std::vector<std::string> AllFields(std::string_view text)
{
    FieldReader reader(text);
    std::vector<std::string> fields;
    while (auto field = reader.NextField()) {
        fields.push_back(*field);
    }
    return fields;
}

struct FieldCase {
    const char* name;
    std::string text;
    std::vector<std::string> fields;
};

class FieldRulesTest : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldRulesTest, SplitsAsTheStatusFileAndConfigAreRead)
{
    EXPECT_EQ(AllFields(GetParam().text), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FieldRulesTest,
    testing::Values(
        FieldCase{"OneLine", "a,b\r\n", {"a", "b"}},
        FieldCase{"LineEndSeparatesLikeAComma", "a\r\nb\r\n", {"a", "b"}},
        FieldCase{"BareLf", "a\nb\n", {"a", "b"}},
        FieldCase{"BareCr", "a\rb\r", {"a", "b"}},
        FieldCase{"NoFinalLineEnd", "a,b", {"a", "b"}},
        FieldCase{"LeadingSpacesSkipped", "  a,   b", {"a", "b"}},
        FieldCase{"TrailingSpacesDropped", "a  ,b  \r\n", {"a", "b"}},
        FieldCase{"QuotedKeepsCommasAndSpaces", "\"a, b \",\" c\"", {"a, b ", " c"}},
        FieldCase{"TextAfterClosingQuoteIgnored", "\"a\"x,b", {"a", "b"}},
        FieldCase{"UnclosedQuoteRunsToTheEnd", "\"a,b", {"a,b"}},
        FieldCase{"EmptyFieldsBetweenCommas", "a,,b", {"a", "", "b"}},
        FieldCase{"EmptyValueAtLineEnd", "key,\r\nnext,1\r\n", {"key", "", "next", "1"}},
        FieldCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF" "a,b", {"a", "b"}},
        FieldCase{"EmptyText", "", {}},
        FieldCase{"OnlySpaces", "   ", {}},
        FieldCase{"TabsAreData", "\ta", {"\ta"}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(FieldReaderTest, TellsAFieldCutOffByTheEndOfTheText)
{
    FieldReader reader("a,bc");
    reader.NextField();
    EXPECT_TRUE(reader.LastFieldTerminated());
    reader.NextField();
    EXPECT_FALSE(reader.LastFieldTerminated());
}

}  // namespace
}  // namespace nortavi
