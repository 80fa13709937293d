// SPDX-License-Identifier: MIT
// HTTP through WinHTTP: Windows' own TLS and certificate store, and the
// system's proxy (automatic configuration included). A Windows DLL, so
// Nortavi.exe stays one file.
#include "CodePageWindows.h"
#include "HttpClient.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace nortavi::platform {

namespace {

using Clock = std::chrono::steady_clock;

// Socket errors that wine's WinHTTP passes on where Windows' gives its own
// (WSAETIMEDOUT, WSAECONNREFUSED; winsock2.h is not needed for two numbers).
constexpr DWORD kSocketTimedOut = 10060;
constexpr DWORD kSocketRefused = 10061;

HttpFailure FailureOf(DWORD error)
{
    switch (error) {
        case ERROR_WINHTTP_INVALID_URL:
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
            return HttpFailure::BadAddress;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return HttpFailure::NameNotResolved;
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case kSocketRefused:
            return HttpFailure::Refused;
        case ERROR_WINHTTP_TIMEOUT:
        case kSocketTimedOut:
            return HttpFailure::Timeout;
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
            return HttpFailure::Certificate;
        case ERROR_WINHTTP_OPERATION_CANCELLED:
            return HttpFailure::Cancelled;
        default:
            return HttpFailure::Other;
    }
}

// The system's words for a WinHTTP error, or its number.
std::string ErrorText(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
            FORMAT_MESSAGE_IGNORE_INSERTS,
        GetModuleHandleW(L"winhttp.dll"), error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words;
    if (length > 0 && text != nullptr) {
        words = Utf8FromWide(std::wstring_view(text, length)).value_or("");
    }
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' ||
                              words.back() == '.')) {
        words.pop_back();
    }
    const std::string number = "WinHTTP error " + std::to_string(error);
    return words.empty() ? number : words + " (" + number + ")";
}

// A header of the answer as text; empty when it has none.
std::string QueryHeader(HINTERNET request, DWORD which)
{
    DWORD bytes = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &bytes, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) {
        return {};
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    value.resize(bytes / sizeof(wchar_t));
    return Utf8FromWide(value).value_or("");
}

// The session, shared by a client and the requests it left behind.
struct Session {
    HINTERNET handle = nullptr;

    Session()
    {
        handle = WinHttpOpen(L"Nortavi", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
        if (handle == nullptr) {  // before Windows 8.1
            handle = WinHttpOpen(L"Nortavi", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                 WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session()
    {
        if (handle != nullptr) {
            WinHttpCloseHandle(handle);
        }
    }
};

// One request, made by a thread of its own in WinHTTP's blocking calls. The
// caller waits for it only up to the limits or a cancel: WinHTTP's own
// timeouts and closing a handle do not end every blocked call (under wine,
// a server that stalls holds it until the server gives up), so a request
// that overruns is left to end by itself, and its answer is dropped.
struct Exchange {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool cancelled = false;
    HINTERNET request = nullptr;  // while it runs; closed by whoever ends it
    HttpResponse response;
};

void Run(const std::shared_ptr<Session>& session, const std::shared_ptr<Exchange>& exchange,
         const HttpRequest& request, const HttpLimits& limits)
{
    HttpResponse response;
    const auto fail = [&response](HttpFailure failure, DWORD error) {
        response.failure = failure;
        response.error = ErrorText(error);
        response.status = 0;
        response.body.clear();
    };
    const auto finish = [&] {
        const std::lock_guard lock(exchange->mutex);
        if (exchange->request != nullptr) {
            WinHttpCloseHandle(exchange->request);
            exchange->request = nullptr;
        }
        exchange->response = std::move(response);
        exchange->done = true;
        exchange->ended.notify_all();
    };
    if (session->handle == nullptr) {
        fail(HttpFailure::Other, GetLastError());
        return finish();
    }

    std::wstring url = WideFromUtf8(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        fail(HttpFailure::BadAddress, ERROR_WINHTTP_INVALID_URL);
        return finish();
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) {
        path = L"/";
    }

    const HINTERNET connection = WinHttpConnect(session->handle, host.c_str(), parts.nPort, 0);
    if (connection == nullptr) {
        const DWORD error = GetLastError();
        fail(FailureOf(error), error);
        return finish();
    }
    const HINTERNET handle =
        WinHttpOpenRequest(connection, WideFromUtf8(request.method).c_str(), path.c_str(), nullptr,
                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                           parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (handle == nullptr) {
        const DWORD error = GetLastError();
        WinHttpCloseHandle(connection);
        fail(FailureOf(error), error);
        return finish();
    }
    {
        const std::lock_guard lock(exchange->mutex);
        exchange->request = handle;
    }
    const int connectMs = static_cast<int>(limits.connect.count());
    const int wholeMs = static_cast<int>(limits.whole.count());
    WinHttpSetTimeouts(handle, connectMs, connectMs, wholeMs, wholeMs);
    DWORD headersMs = static_cast<DWORD>(wholeMs);
    WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersMs, sizeof headersMs);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(handle, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    std::wstring headers;
    for (const auto& [name, value] : request.headers) {
        headers += WideFromUtf8(name + ": " + value + "\r\n");
    }

    if ((!headers.empty() &&
         !WinHttpAddRequestHeaders(handle, headers.c_str(), static_cast<DWORD>(headers.size()),
                                   WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) ||
        !WinHttpSendRequest(
            handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0, const_cast<char*>(request.body.data()),
            static_cast<DWORD>(request.body.size()), static_cast<DWORD>(request.body.size()), 0) ||
        !WinHttpReceiveResponse(handle, nullptr)) {
        const DWORD error = GetLastError();
        fail(FailureOf(error), error);
    } else {
        DWORD status = 0;
        DWORD size = sizeof status;
        WinHttpQueryHeaders(handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        response.status = static_cast<int>(status);
        response.retryAfter = QueryHeader(handle, WINHTTP_QUERY_RETRY_AFTER);
        response.location = QueryHeader(handle, WINHTTP_QUERY_LOCATION);
        char chunk[4096];
        DWORD read = 0;
        while (response.body.size() < kHttpBodyLimit) {
            if (!WinHttpReadData(handle, chunk, sizeof chunk, &read)) {
                const DWORD error = GetLastError();
                fail(FailureOf(error), error);
                break;
            }
            if (read == 0) {
                break;
            }
            response.body.append(
                chunk, std::min<std::size_t>(read, kHttpBodyLimit - response.body.size()));
        }
    }
    finish();
    WinHttpCloseHandle(connection);
}

}  // namespace

struct HttpClient::Impl {
    std::shared_ptr<Session> session = std::make_shared<Session>();
    std::mutex mutex;
    bool cancelled = false;
    std::shared_ptr<Exchange> current;
};

HttpClient::HttpClient() : impl_(std::make_unique<Impl>())
{
}

HttpClient::~HttpClient() = default;

void HttpClient::Cancel()
{
    const std::lock_guard lock(impl_->mutex);
    impl_->cancelled = true;
    if (impl_->current != nullptr) {
        const std::lock_guard ended(impl_->current->mutex);
        impl_->current->cancelled = true;
        impl_->current->ended.notify_all();
    }
}

HttpResponse HttpClient::Send(const HttpRequest& request, const HttpLimits& limits)
{
    const auto exchange = std::make_shared<Exchange>();
    {
        const std::lock_guard lock(impl_->mutex);
        exchange->cancelled = impl_->cancelled;
        impl_->current = exchange;
    }
    if (!exchange->cancelled) {
        std::thread([session = impl_->session, exchange, request, limits] {
            Run(session, exchange, request, limits);
        }).detach();
    }
    HttpResponse response;
    {
        std::unique_lock lock(exchange->mutex);
        exchange->ended.wait_until(lock, Clock::now() + limits.whole,
                                   [&exchange] { return exchange->done || exchange->cancelled; });
        if (exchange->done) {
            response = std::move(exchange->response);
        } else {
            // Where WinHTTP lets a closed handle end the call, it ends now.
            if (exchange->request != nullptr) {
                WinHttpCloseHandle(exchange->request);
                exchange->request = nullptr;
            }
            response.failure = exchange->cancelled ? HttpFailure::Cancelled : HttpFailure::Timeout;
            response.error = ErrorText(exchange->cancelled ? ERROR_WINHTTP_OPERATION_CANCELLED
                                                           : ERROR_WINHTTP_TIMEOUT);
        }
    }
    const std::lock_guard lock(impl_->mutex);
    impl_->current.reset();
    return response;
}

}  // namespace nortavi::platform
