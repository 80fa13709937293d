// SPDX-License-Identifier: MIT
#include "StatusPages.h"

#include "StatusPage.h"

namespace nortavi {

std::optional<alpaca::Response> StatusPages::Answer(const alpaca::Request& request)
{
    const std::string path = request.target.substr(0, request.target.find('?'));
    const bool page = path == "/";
    if (request.method != "GET" || (!page && path != "/history.json")) {
        return std::nullopt;
    }
    const std::lock_guard lock(mutex_);
    const std::uint64_t version = log_.Version();
    if (version == 0) {
        return alpaca::Response{503, "text/plain; charset=utf-8",
                                "Nortavi is starting: its first poll has not ended."};
    }
    if (version_ != version) {
        const history::NightChart chart = log_.Chart();
        const history::PageNow now = log_.Now();
        page_ = history::StatusPageHtml(now, chart);
        json_ = history::HistoryJson(now, chart);
        version_ = version;
    }
    return page ? alpaca::Response{200, "text/html; charset=utf-8", page_}
                : alpaca::Response{200, "application/json", json_};
}

}  // namespace nortavi
