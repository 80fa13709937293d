// SPDX-License-Identifier: MIT
#pragma once

// The notification services as a test scripts them: each route's
// transport records its requests and answers 200, or holds them, as a
// server that stalls does, until released or cancelled.

#include "Transport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace nortavi {

// An answer with this status and body.
inline platform::HttpResponse Answered(int status, std::string body = {})
{
    platform::HttpResponse response;
    response.status = status;
    response.body = std::move(body);
    return response;
}

class ScriptedServices {
public:
    // A transport factory for the Notifier: every route's requests come here.
    notify::TransportFactory Transports()
    {
        return [this] { return std::make_unique<Route>(*this); };
    }

    void Hold(bool held)
    {
        const std::lock_guard lock(mutex_);
        held_ = held;
        changed_.notify_all();
    }
    // Waits until `count` requests have come; false after `limit`.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds{5})
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
    }
    std::vector<platform::HttpRequest> Requests()
    {
        const std::lock_guard lock(mutex_);
        return requests_;
    }
    int TransportsMade() const { return made_; }

private:
    class Route final : public notify::Transport {
    public:
        explicit Route(ScriptedServices& services) : services_(services) { ++services_.made_; }
        platform::HttpResponse Send(const platform::HttpRequest& request, const platform::HttpLimits&) override
        {
            std::unique_lock lock(services_.mutex_);
            services_.requests_.push_back(request);
            services_.changed_.notify_all();
            services_.changed_.wait(lock, [this] { return !services_.held_ || cancelled_; });
            if (cancelled_) {
                platform::HttpResponse cancelled;
                cancelled.failure = platform::HttpFailure::Cancelled;
                return cancelled;
            }
            return Answered(200);
        }
        void Cancel() override
        {
            const std::lock_guard lock(services_.mutex_);
            cancelled_ = true;
            services_.changed_.notify_all();
        }

    private:
        ScriptedServices& services_;
        bool cancelled_ = false;
    };

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<platform::HttpRequest> requests_;
    bool held_ = false;
    std::atomic<int> made_{0};
};

}  // namespace nortavi
