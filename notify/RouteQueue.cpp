// SPDX-License-Identifier: MIT
#include "RouteQueue.h"

#include <algorithm>

namespace nortavi::notify {

std::vector<std::shared_ptr<const Message>> RouteQueue::Add(std::shared_ptr<const Message> message,
                                                            SteadyTime now)
{
    std::vector<std::shared_ptr<const Message>> dropped;
    if (message->repeat && message->alarmUp != nullptr) {
        // The newer repeat says the same, with fresher numbers.
        std::erase_if(entries_, [&message](const Entry& entry) {
            return entry.message->repeat && entry.message->alarmUp == message->alarmUp;
        });
    }
    if (entries_.size() >= limit_) {
        const auto oldest = [this](auto&& which) {
            return std::find_if(entries_.begin(), entries_.end(),
                                [&which](const Entry& entry) { return which(*entry.message); });
        };
        auto victim = oldest([](const Message& m) { return m.repeat; });
        if (victim == entries_.end() && message->repeat) {
            dropped.push_back(std::move(message));
            return dropped;
        }
        if (victim == entries_.end()) {
            victim = oldest([](const Message& m) { return !m.FirstAlarm(); });
        }
        if (victim == entries_.end() && !message->FirstAlarm()) {
            dropped.push_back(std::move(message));
            return dropped;
        }
        if (victim == entries_.end()) {
            victim = entries_.begin();  // all first alarms: the oldest is the stalest
        }
        dropped.push_back(victim->message);
        entries_.erase(victim);
    }
    // A new event is tried at once, even while the route waits after
    // failures, unless the server itself asked for the wait.
    if (!message->repeat && !heldByServer_) {
        due_ = now;
    }
    entries_.push_back({std::move(message), now});
    return dropped;
}

std::shared_ptr<const Message> RouteQueue::Next()
{
    std::erase_if(entries_, [](const Entry& entry) { return entry.message->Obsolete(); });
    return entries_.empty() ? nullptr : entries_.front().message;
}

std::vector<RouteQueue::Dropped> RouteQueue::Done(const Outcome& outcome, SteadyTime now)
{
    std::vector<Dropped> dropped;
    if (entries_.empty()) {
        return dropped;
    }
    const Entry tried = entries_.front();
    switch (outcome.kind) {
        case Outcome::Kind::Delivered:
            entries_.pop_front();
            failures_ = 0;
            heldByServer_ = false;
            failingSince_.reset();
            due_ = now;
            break;
        case Outcome::Kind::GiveUp:
            entries_.pop_front();
            dropped.push_back({tried.message, "refused (" + outcome.reason + "), not sent again"});
            failures_ = 0;
            heldByServer_ = false;
            failingSince_ = failingSince_.value_or(tried.message->at);
            due_ = now;
            break;
        case Outcome::Kind::Retry: {
            ++failures_;
            failingSince_ = failingSince_.value_or(tried.message->at);
            const std::size_t step = std::min<std::size_t>(failures_, kRetryPauses.size()) - 1;
            std::chrono::seconds pause = kRetryPauses[step];
            heldByServer_ = outcome.retryAfter > std::chrono::seconds{0};
            pause = std::max<std::chrono::seconds>(
                pause, std::min<std::chrono::seconds>(outcome.retryAfter, kLongestRetryAfter));
            due_ = now + pause;
            std::erase_if(entries_, [&](const Entry& entry) {
                if (now - entry.added < kKeepTrying) {
                    return false;
                }
                dropped.push_back(
                    {entry.message, "not delivered in 15 minutes (" + outcome.reason + ")"});
                return true;
            });
            break;
        }
    }
    return dropped;
}

void RouteQueue::Reset(SteadyTime now)
{
    failures_ = 0;
    heldByServer_ = false;
    failingSince_.reset();
    due_ = now;
}

}  // namespace nortavi::notify
