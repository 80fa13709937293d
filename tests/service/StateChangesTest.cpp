// SPDX-License-Identifier: MIT
// What the journal and the night's log are told, from sequences of polls.
#include "StateChanges.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nortavi {
namespace {

// One poll's report, or (cancel set) the alarm button.
struct Step {
    ShownStatus status = ShownStatus::Safe;
    std::string condition = "CLEAR";
    StatusRead read = StatusRead::Read;
    bool fresh = true;
    bool changing = true;
    Alarms raised = {};
    Alarms active = {};
    bool cancel = false;
    Alarms silenced = {};
    const char* expected = "";  // the changes, as Describe writes them
};

std::string Describe(const std::vector<StateChange>& changes)
{
    std::string text;
    for (const StateChange& c : changes) {
        static const char* const kAspects[] = {"condition", "status", "feed", "raised",
                                               "cancelled"};
        text += std::string(text.empty() ? "" : ", ") + kAspects[static_cast<int>(c.aspect)] + " " +
                (c.from.empty() ? "" : c.from + ">") + c.to;
    }
    return text;
}

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const Sequence& sequence, std::ostream* out)
{
    *out << sequence.name;
}

class StateChangesTest : public testing::TestWithParam<Sequence> {};

TEST_P(StateChangesTest, EachChangeIsSaidOnce)
{
    StateChanges changes;
    int index = 0;
    for (const Step& step : GetParam().steps) {
        PollReport report;
        report.status = step.status;
        report.condition = step.condition;
        report.read = step.read;
        report.feedFresh = step.fresh;
        report.stampChanging = step.changing;
        report.raised = step.raised;
        report.active = step.active;
        const auto said = step.cancel ? changes.TakeCancel(step.silenced) : changes.Take(report);
        EXPECT_EQ(Describe(said), step.expected) << "step " << index;
        ++index;
    }
}

const Alarms kUnsafe{false, true, false};
const Alarms kComms{false, false, true};
const Alarms kSafeAndComms{true, false, true};

INSTANTIATE_TEST_SUITE_P(
    Polls, StateChangesTest,
    testing::Values(
        Sequence{"FirstPollStatesAllAndUnchangedPollsSayNothing",
                 {{.status = ShownStatus::Pending,
                   .condition = "UNKNOWN",
                   .read = StatusRead::NoFile,
                   .fresh = false,
                   .raised = kComms,
                   .active = kComms,
                   .expected = "condition UNKNOWN, feed missing, status PENDING, raised comms"},
                  {.status = ShownStatus::Pending,
                   .condition = "UNKNOWN",
                   .read = StatusRead::NoFile,
                   .fresh = false,
                   .active = kComms}}},
        Sequence{"ConditionFeedAndStatusFromWhatToWhat",
                 {{.expected = "condition CLEAR, feed fresh, status SAFE"},
                  {.status = ShownStatus::Unsafe,
                   .condition = "V.CLOUDY",
                   .expected = "condition CLEAR>V.CLOUDY, status SAFE>UNSAFE"},
                  {.status = ShownStatus::Unsafe,
                   .condition = "V.CLOUDY",
                   .read = StatusRead::Unreadable,
                   .expected = "feed fresh>unreadable"},
                  {.status = ShownStatus::Unsafe,
                   .condition = "V.CLOUDY",
                   .changing = false,
                   .expected = "feed unreadable>stale"},
                  {.status = ShownStatus::Unknown,
                   .condition = "UNKNOWN",
                   .fresh = false,
                   .expected = "condition V.CLOUDY>UNKNOWN, status UNSAFE>UNKNOWN"}}},
        Sequence{"AnAlarmEndsAtTheOppositeEvent",
                 {{.expected = "condition CLEAR, feed fresh, status SAFE"},
                  {.status = ShownStatus::Unsafe,
                   .raised = kUnsafe,
                   .active = kUnsafe,
                   .expected = "status SAFE>UNSAFE, raised unsafe"},
                  {.status = ShownStatus::Unsafe, .active = kUnsafe},
                  {.raised = kSafeAndComms,
                   .active = kSafeAndComms,
                   .expected = "status UNSAFE>SAFE, cancelled unsafe, raised safe, raised comms"},
                  {.active = {true, false, false}, .expected = "cancelled comms"}}},
        Sequence{
            "TheButtonCancelsOnceAndThePollAfterSaysNothingMore",
            {{.raised = kSafeAndComms,
              .active = kSafeAndComms,
              .expected = "condition CLEAR, feed fresh, status SAFE, raised safe, raised comms"},
             {.cancel = true,
              .silenced = kSafeAndComms,
              .expected = "cancelled safe, cancelled comms"},
             {},
             {.cancel = true, .silenced = kComms}}}),
    [](const testing::TestParamInfo<Sequence>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace nortavi
