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
#include <mutex>
#include <thread>

namespace nortavi::platform {

namespace {

using Clock = std::chrono::steady_clock;

HttpFailure FailureOf(DWORD error)
{
    switch (error) {
        case ERROR_WINHTTP_INVALID_URL:
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
            return HttpFailure::BadAddress;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return HttpFailure::NameNotResolved;
        case ERROR_WINHTTP_CANNOT_CONNECT:
            return HttpFailure::Refused;
        case ERROR_WINHTTP_TIMEOUT:
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
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                        WINHTTP_NO_HEADER_INDEX);
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

}  // namespace

// A sending thread blocks in WinHTTP; the watchdog closes its request at the
// whole-request limit, and Cancel() at once, which WinHTTP answers by
// ending the blocked call.
struct HttpClient::Impl {
    HINTERNET session = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    HINTERNET request = nullptr;  // under way; whoever ends it first closes it
    Clock::time_point deadline{};
    bool expired = false;
    bool cancelled = false;
    bool quit = false;
    std::thread watchdog;

    Impl()
    {
        session = WinHttpOpen(L"Nortavi", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
        if (session == nullptr) {  // before Windows 8.1
            session = WinHttpOpen(L"Nortavi", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
        }
        watchdog = std::thread([this] { Watch(); });
    }

    ~Impl()
    {
        {
            const std::lock_guard lock(mutex);
            quit = true;
        }
        changed.notify_all();
        watchdog.join();
        if (session != nullptr) {
            WinHttpCloseHandle(session);
        }
    }

    void Watch()
    {
        std::unique_lock lock(mutex);
        while (!quit) {
            if (request == nullptr) {
                changed.wait(lock);
            } else if (changed.wait_until(lock, deadline) == std::cv_status::timeout &&
                       request != nullptr && Clock::now() >= deadline) {
                WinHttpCloseHandle(request);
                request = nullptr;
                expired = true;
            }
        }
    }

    // False when cancelled already.
    bool Start(HINTERNET handle, std::chrono::milliseconds whole)
    {
        const std::lock_guard lock(mutex);
        if (cancelled) {
            return false;
        }
        request = handle;
        deadline = Clock::now() + whole;
        expired = false;
        changed.notify_all();
        return true;
    }

    // Closes the request unless the watchdog or Cancel() did; why it ended early.
    HttpFailure Finish(HINTERNET handle)
    {
        const std::lock_guard lock(mutex);
        if (request == handle) {
            WinHttpCloseHandle(handle);
            request = nullptr;
        }
        return cancelled ? HttpFailure::Cancelled : expired ? HttpFailure::Timeout : HttpFailure::None;
    }
};

HttpClient::HttpClient() : impl_(std::make_unique<Impl>()) {}

HttpClient::~HttpClient() = default;

void HttpClient::Cancel()
{
    const std::lock_guard lock(impl_->mutex);
    impl_->cancelled = true;
    if (impl_->request != nullptr) {
        WinHttpCloseHandle(impl_->request);
        impl_->request = nullptr;
    }
}

HttpResponse HttpClient::Send(const HttpRequest& request, const HttpLimits& limits)
{
    HttpResponse response;
    const auto fail = [&response](HttpFailure failure, DWORD error) {
        response.failure = failure;
        response.error = ErrorText(error);
        response.body.clear();
        return response;
    };
    if (impl_->session == nullptr) {
        return fail(HttpFailure::Other, GetLastError());
    }

    std::wstring url = WideFromUtf8(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        return fail(HttpFailure::BadAddress, ERROR_WINHTTP_INVALID_URL);
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) {
        path = L"/";
    }

    const HINTERNET connection = WinHttpConnect(impl_->session, host.c_str(), parts.nPort, 0);
    if (connection == nullptr) {
        return fail(FailureOf(GetLastError()), GetLastError());
    }
    const HINTERNET handle =
        WinHttpOpenRequest(connection, WideFromUtf8(request.method).c_str(), path.c_str(), nullptr,
                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                           parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (handle == nullptr) {
        const DWORD error = GetLastError();
        WinHttpCloseHandle(connection);
        return fail(FailureOf(error), error);
    }
    const int connectMs = static_cast<int>(limits.connect.count());
    const int wholeMs = static_cast<int>(limits.whole.count());
    WinHttpSetTimeouts(handle, connectMs, connectMs, wholeMs, wholeMs);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(handle, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    std::wstring headers;
    for (const auto& [name, value] : request.headers) {
        headers += WideFromUtf8(name + ": " + value + "\r\n");
    }

    DWORD error = ERROR_SUCCESS;
    if (!impl_->Start(handle, limits.whole)) {
        error = ERROR_WINHTTP_OPERATION_CANCELLED;
    } else if ((!headers.empty() &&
                !WinHttpAddRequestHeaders(handle, headers.c_str(), static_cast<DWORD>(headers.size()),
                                          WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) ||
               !WinHttpSendRequest(handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                   const_cast<char*>(request.body.data()),
                                   static_cast<DWORD>(request.body.size()),
                                   static_cast<DWORD>(request.body.size()), 0) ||
               !WinHttpReceiveResponse(handle, nullptr)) {
        error = GetLastError();
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
                error = GetLastError();
                break;
            }
            if (read == 0) {
                break;
            }
            response.body.append(chunk, std::min<std::size_t>(read, kHttpBodyLimit - response.body.size()));
        }
    }
    const HttpFailure ended = impl_->Finish(handle);
    WinHttpCloseHandle(connection);
    if (ended != HttpFailure::None) {
        response.status = 0;
        return fail(ended, ended == HttpFailure::Timeout ? ERROR_WINHTTP_TIMEOUT
                                                          : ERROR_WINHTTP_OPERATION_CANCELLED);
    }
    if (error != ERROR_SUCCESS) {
        response.status = 0;
        return fail(FailureOf(error), error);
    }
    return response;
}

}  // namespace nortavi::platform
