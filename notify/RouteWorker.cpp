// SPDX-License-Identifier: MIT
#include "RouteWorker.h"

#include <cstdio>

namespace nortavi::notify {

namespace {

using SteadyClock = std::chrono::steady_clock;

std::string DroppedLine(Route route, const std::shared_ptr<const Message>& message,
                        const std::string& why)
{
    return std::string(RouteName(route)) + ": message dropped, " + why + ": " + message->text;
}

}  // namespace

std::string UtcNow()
{
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss clock{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

RouteWorker::RouteWorker(Route route, const NotifySettings& settings,
                         const NotifierOptions& options)
    : route_(route), options_(options), transport_(options.transports()), settings_(settings)
{
    thread_ = std::thread([this] { Run(); });
}

RouteWorker::~RouteWorker()
{
    if (thread_.joinable()) {
        Stop(std::chrono::milliseconds{0}, "its route was turned off");
    }
}

void RouteWorker::Post(std::shared_ptr<const Message> message)
{
    {
        const std::lock_guard lock(mutex_);
        inbox_.push_back(std::move(message));
    }
    wake_.notify_all();
}

void RouteWorker::Configure(const NotifySettings& settings)
{
    {
        const std::lock_guard lock(mutex_);
        newSettings_ = settings;
    }
    wake_.notify_all();
}

std::optional<LocalTime> RouteWorker::FailingSince() const
{
    const std::lock_guard lock(mutex_);
    return failingSince_;
}

void RouteWorker::Stop(std::chrono::milliseconds grace, const std::string& why)
{
    std::unique_lock lock(mutex_);
    if (!stopping_) {
        stopping_ = true;
        stopReason_ = why;
        stopBy_ = SteadyClock::now() + grace;
    }
    wake_.notify_all();
    finished_.wait_until(lock, stopBy_, [this] { return done_; });
    lock.unlock();
    transport_->Cancel();
    thread_.join();
}

void RouteWorker::StopSoon(const std::string& why)
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        stopReason_ = why;
        stopBy_ = SteadyClock::now();
    }
    wake_.notify_all();
    transport_->Cancel();
}

bool RouteWorker::Ended() const
{
    const std::lock_guard lock(mutex_);
    return done_;
}

void RouteWorker::Log(const std::vector<std::string>& lines) const
{
    for (const std::string& line : lines) {
        options_.log(line);
    }
}

void RouteWorker::Run()
{
    std::vector<std::string> lines;
    std::unique_lock lock(mutex_);
    for (;;) {
        const SteadyTime now = SteadyClock::now();
        for (auto& message : inbox_) {
            for (const auto& dropped : queue_.Add(std::move(message), now)) {
                lines.push_back(DroppedLine(route_, dropped, "the queue was full"));
            }
        }
        inbox_.clear();
        if (newSettings_) {
            if (!SameRoute(route_, settings_, *newSettings_)) {
                queue_.Reset(now);
            }
            settings_ = std::move(*newSettings_);
            newSettings_.reset();
        }
        failingSince_ = queue_.FailingSince();
        if (!lines.empty()) {
            lock.unlock();
            Log(lines);
            lines.clear();
            lock.lock();
            continue;  // more may have come meanwhile
        }

        const std::shared_ptr<const Message> next = queue_.Next();
        const bool due = next != nullptr && queue_.DueAt() <= now;
        if (stopping_ && (!due || now >= stopBy_)) {
            break;
        }
        if (due) {
            const platform::HttpRequest request = RouteRequest(route_, settings_, *next, UtcNow());
            platform::HttpLimits limits = RouteLimits(settings_);
            limits.connect = options_.connectLimit;
            limits.whole = options_.wholeLimit;
            lock.unlock();
            const Outcome outcome = RouteOutcome(route_, transport_->Send(request, limits));
            lock.lock();
            for (const auto& dropped : queue_.Done(outcome, SteadyClock::now())) {
                lines.push_back(DroppedLine(route_, dropped.message, dropped.why));
            }
            continue;
        }
        const auto woken = [this] { return !inbox_.empty() || newSettings_ || stopping_; };
        if (next != nullptr) {
            wake_.wait_until(lock, queue_.DueAt(), woken);
        } else {
            wake_.wait(lock, woken);
        }
    }
    const std::size_t left = queue_.Size();
    const std::string why = stopReason_;
    done_ = true;
    finished_.notify_all();
    lock.unlock();
    if (left > 0) {
        options_.log(std::string(RouteName(route_)) + ": " + std::to_string(left) +
                     (left == 1 ? " message" : " messages") + " not sent: " + why);
    }
}

}  // namespace nortavi::notify
