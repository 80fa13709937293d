// SPDX-License-Identifier: MIT
#pragma once

#include "Message.h"
#include "Routes.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nortavi::notify {

using SteadyTime = std::chrono::steady_clock::time_point;

// The pauses after each failure in a row, the last one repeated: a message
// is tried for 15 min 50 s before it is dropped.
inline constexpr std::array<std::chrono::seconds, 7> kRetryPauses{
    std::chrono::seconds{5},  std::chrono::seconds{15},  std::chrono::seconds{30},
    std::chrono::seconds{60}, std::chrono::seconds{120}, std::chrono::seconds{240},
    std::chrono::seconds{480}};
// A message still undelivered this long after it was queued is dropped at
// its route's next failure.
inline constexpr std::chrono::minutes kKeepTrying{15};
// The longest a 429's Retry-After holds a route back.
inline constexpr std::chrono::minutes kLongestRetryAfter{15};
// The most messages a route holds.
inline constexpr std::size_t kQueueLimit = 1000;

// One route's messages, sent in order: the first is tried until it is
// delivered, refused or too old, and the pauses grow with each failure in
// a row. Knows nothing of threads or the network: the caller tells it the
// time and what each attempt came to.
class RouteQueue {
public:
    explicit RouteQueue(std::size_t limit = kQueueLimit) : limit_(limit) {}

    // Queues a message. A full queue makes room by dropping its oldest
    // repeat, else its oldest message that is not a first alarm, else its
    // oldest; a new repeat replaces one of the same alarm still waiting.
    // What was dropped comes back, to be logged.
    std::vector<std::shared_ptr<const Message>> Add(std::shared_ptr<const Message> message,
                                                    SteadyTime now);

    // The message to try next (repeats of alarms that have ended are
    // dropped first), and when; none when nothing waits.
    std::shared_ptr<const Message> Next();
    SteadyTime DueAt() const { return due_; }

    // What became of the attempt with Next(). The messages dropped for good
    // come back, each with why, to be logged.
    struct Dropped {
        std::shared_ptr<const Message> message;
        std::string why;
    };
    std::vector<Dropped> Done(const Outcome& outcome, SteadyTime now);

    // The route's settings changed: try again at once, failures forgotten.
    void Reset(SteadyTime now);

    // The time of the first message not delivered since the last one that
    // was; none while the route delivers.
    std::optional<LocalTime> FailingSince() const { return failingSince_; }

    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::shared_ptr<const Message> message;
        SteadyTime added;
    };

    std::size_t limit_;
    std::deque<Entry> entries_;
    int failures_ = 0;  // in a row
    SteadyTime due_{};
    bool heldByServer_ = false;  // a 429 asked for the pause under way
    std::optional<LocalTime> failingSince_;
};

}  // namespace nortavi::notify
