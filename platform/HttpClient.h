// SPDX-License-Identifier: MIT
#pragma once

// One HTTP request at a time through the system's own HTTP stack: libcurl
// on Linux (HttpClientCurl.cpp), WinHTTP on Windows (HttpClientWinHttp.cpp).
// Certificates are always checked against the system's store; a request
// never follows a redirect; the proxy is the system's (on Linux the usual
// environment variables, which libcurl reads itself).

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace nortavi::platform {

struct HttpRequest {
    std::string method = "POST";
    std::string url;  // http:// or https://
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

// Why no answer came.
enum class HttpFailure {
    None,             // an answer came, whatever its status
    BadAddress,       // the URL cannot be used as it is
    NameNotResolved,  // DNS
    Refused,          // nothing took the connection, or the network is down
    Timeout,          // no connection or no whole answer within the limits
    Certificate,      // the server's certificate was not trusted or does not fit
    Cancelled,        // Cancel()
    Other,
};

struct HttpResponse {
    HttpFailure failure = HttpFailure::None;
    int status = 0;
    std::string body;        // the first 64 KiB
    std::string retryAfter;  // the Retry-After header, as sent
    std::string location;    // the Location header, as sent
    std::string error;       // what went wrong, in the system's words; UTF-8
};

struct HttpLimits {
    std::chrono::milliseconds connect{10'000};
    std::chrono::milliseconds whole{30'000};  // from the start to the end of the answer
    // A PEM file of certificate authorities trusted besides the system's.
    // Linux only: on Windows a private authority goes into the system's store.
    std::string extraCaFile;
};

class HttpClient {
public:
    HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
    ~HttpClient();

    // Blocks until the answer, a failure or the limit; one caller at a time.
    HttpResponse Send(const HttpRequest& request, const HttpLimits& limits);

    // From any thread: ends the request under way at once, and every later
    // one before it starts.
    void Cancel();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The most of an answer's body that is kept.
inline constexpr std::size_t kHttpBodyLimit = 64 * 1024;

}  // namespace nortavi::platform
