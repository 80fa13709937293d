// SPDX-License-Identifier: MIT
// What Windows says of a port that cannot be opened reaches the window in
// UTF-8, in the user's language, whatever the system's code page. Run here
// in French (LC_ALL for wine): code page 1252, and "Accès refusé".
#include "AlpacaPublisher.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <algorithm>
#include <string>

namespace nortavi::alpaca {
namespace {

// A port taken by another program on every address, and for itself alone,
// as another Alpaca server might take it; what binding it then fails with.
class ExclusivePort {
public:
    ExclusivePort()
    {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
        holder_ = Bind(INADDR_ANY, 0);
        sockaddr_in bound{};
        int size = sizeof bound;
        getsockname(holder_, reinterpret_cast<sockaddr*>(&bound), &size);
        port_ = ntohs(bound.sin_port);
        const SOCKET second = Bind(INADDR_LOOPBACK, port_);
        error_ = WSAGetLastError();
        closesocket(second);
    }
    ExclusivePort(const ExclusivePort&) = delete;
    ExclusivePort& operator=(const ExclusivePort&) = delete;
    ~ExclusivePort()
    {
        closesocket(holder_);
        WSACleanup();
    }

    std::uint16_t Port() const { return port_; }
    int BindError() const { return error_; }

private:
    static SOCKET Bind(ULONG address, std::uint16_t port)
    {
        const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        const BOOL on = TRUE;
        setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                   sizeof on);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(address);
        at.sin_port = htons(port);
        if (bind(socket, reinterpret_cast<const sockaddr*>(&at), sizeof at) == 0) {
            listen(socket, SOMAXCONN);
        }
        return socket;
    }

    SOCKET holder_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    int error_ = 0;
};

// The system's own words for an error, from its UTF-16 text, without the
// line end and the full stop.
std::string SystemWordsInUtf8(int error)
{
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = text != nullptr ? text : L"";
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.')) {
        wide.pop_back();
    }
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

TEST(ErrorTextTest, APortTakenByAnotherProgramIsToldInTheSystemsOwnWordsInUtf8)
{
    const ExclusivePort taken;
    const std::string words = SystemWordsInUtf8(taken.BindError());
    if (std::none_of(words.begin(), words.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        GTEST_SKIP() << "the system's words for error " << taken.BindError() << " (\"" << words
                     << "\") are all ASCII here, in code page " << GetACP();
    }
    AlpacaPublisher publisher;
    AlpacaSettings settings;
    settings.server = true;
    settings.port = taken.Port();
    const auto told = publisher.Apply(settings);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->substr(0, told->find(". ")),
              "Port " + std::to_string(taken.Port()) + " could not be opened: " + words);
}

}  // namespace
}  // namespace nortavi::alpaca
