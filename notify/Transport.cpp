// SPDX-License-Identifier: MIT
#include "Transport.h"

#include <cstdio>

namespace nortavi::notify {

namespace {

class SystemTransport final : public Transport {
public:
    platform::HttpResponse Send(const platform::HttpRequest& request,
                                const platform::HttpLimits& limits) override
    {
        return client_.Send(request, limits);
    }
    void Cancel() override { client_.Cancel(); }

private:
    platform::HttpClient client_;
};

}  // namespace

TransportFactory SystemTransports()
{
    return [] { return std::make_unique<SystemTransport>(); };
}

LogSink StandardErrorLog()
{
    return [](const std::string& line) {
        std::fprintf(stderr, "Nortavi: %s\n", line.c_str());
        std::fflush(stderr);
    };
}

}  // namespace nortavi::notify
