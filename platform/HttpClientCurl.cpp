// SPDX-License-Identifier: MIT
// HTTP through libcurl (OpenSSL, the system's certificate store; the proxy
// from http_proxy, https_proxy and no_proxy, which libcurl reads itself).
#include "HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>

namespace nortavi::platform {

namespace {

// Set up once for the process, before the first handle.
void InitialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Appends the file's bytes; false when it cannot be opened.
bool AppendFile(const std::string& path, std::string& bytes)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream read;
    read << file.rdbuf();
    bytes += read.str();
    return file.is_open();
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

HttpFailure FailureOf(CURLcode code)
{
    switch (code) {
        case CURLE_OK:
            return HttpFailure::None;
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return HttpFailure::BadAddress;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return HttpFailure::NameNotResolved;
        case CURLE_COULDNT_CONNECT:
            return HttpFailure::Refused;
        case CURLE_OPERATION_TIMEDOUT:
            return HttpFailure::Timeout;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
            return HttpFailure::Certificate;
        case CURLE_ABORTED_BY_CALLBACK:
            return HttpFailure::Cancelled;
        default:
            return HttpFailure::Other;
    }
}

}  // namespace

struct HttpClient::Impl {
    std::atomic<bool> cancelled{false};
    CURL* easy = nullptr;  // kept, so that its connections are used again
    // The system's certificates and the extra ones, and the extra file's
    // state when they were read: read again only when it changes.
    std::string caBundle;
    std::string caFile;
    std::filesystem::file_time_type caFileTime{};

    ~Impl()
    {
        if (easy != nullptr) {
            curl_easy_cleanup(easy);
        }
    }

    // False when the extra file cannot be read.
    bool LoadCaBundle(const std::string& extraFile)
    {
        std::error_code error;
        const auto changed = std::filesystem::last_write_time(extraFile, error);
        if (error) {
            return false;
        }
        if (extraFile == caFile && changed == caFileTime) {
            return true;
        }
        caBundle.clear();
        char* system = nullptr;
        if (curl_easy_getinfo(easy, CURLINFO_CAINFO, &system) == CURLE_OK && system != nullptr) {
            AppendFile(system, caBundle);
        }
        caBundle += "\n";
        if (!AppendFile(extraFile, caBundle)) {
            caFile.clear();
            return false;
        }
        caFile = extraFile;
        caFileTime = changed;
        return true;
    }
};

namespace {

struct Transfer {
    HttpResponse* response;
    std::atomic<bool>* cancelled;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& response = *static_cast<Transfer*>(user)->response;
    const std::size_t bytes = size * count;
    const std::size_t room = kHttpBodyLimit - std::min(kHttpBodyLimit, response.body.size());
    response.body.append(data, std::min(bytes, room));
    return bytes;  // the rest is read and dropped
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& response = *static_cast<Transfer*>(user)->response;
    const std::string_view line(data, size * count);
    if (StartsWithNoCase(line, "HTTP/")) {
        // A new answer (after 100 Continue): its headers only.
        response.retryAfter.clear();
        response.location.clear();
    } else if (StartsWithNoCase(line, "Retry-After:")) {
        response.retryAfter = Trimmed(line.substr(12));
    } else if (StartsWithNoCase(line, "Location:")) {
        response.location = Trimmed(line.substr(9));
    }
    return size * count;
}

// Called about once a second at the least, also while nothing moves.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(user)->cancelled->load() ? 1 : 0;
}

}  // namespace

HttpClient::HttpClient() : impl_(std::make_unique<Impl>())
{
    InitialiseCurl();
    impl_->easy = curl_easy_init();
}

HttpClient::~HttpClient() = default;

void HttpClient::Cancel()
{
    impl_->cancelled = true;
}

HttpResponse HttpClient::Send(const HttpRequest& request, const HttpLimits& limits)
{
    HttpResponse response;
    CURL* easy = impl_->easy;
    if (easy == nullptr || impl_->cancelled) {
        response.failure = easy == nullptr ? HttpFailure::Other : HttpFailure::Cancelled;
        response.error = easy == nullptr ? "libcurl could not be started" : "cancelled";
        return response;
    }
    curl_easy_reset(easy);
    if (!limits.extraCaFile.empty() && !impl_->LoadCaBundle(limits.extraCaFile)) {
        response.failure = HttpFailure::Certificate;
        response.error = "the certificate file " + limits.extraCaFile + " cannot be read";
        return response;
    }
    Transfer transfer{&response, &impl_->cancelled};
    char error[CURL_ERROR_SIZE] = {};

    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers) {
        headers = curl_slist_append(headers, (name + ": " + value).c_str());
    }
    // No "Expect: 100-continue" wait before a larger body.
    headers = curl_slist_append(headers, "Expect:");

    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (request.method == "POST") {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_blob bundle{};
    if (!limits.extraCaFile.empty()) {
        bundle = {impl_->caBundle.data(), impl_->caBundle.size(), CURL_BLOB_NOCOPY};
        curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &bundle);
    }
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.whole.count()));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);  // threads: no SIGALRM for DNS
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode code = curl_easy_perform(easy);
    curl_slist_free_all(headers);
    response.failure = FailureOf(code);
    if (response.failure != HttpFailure::None) {
        response.error = error[0] != '\0' ? Trimmed(error) : curl_easy_strerror(code);
        response.body.clear();
        return response;
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    response.status = static_cast<int>(status);
    return response;
}

}  // namespace nortavi::platform
