// SPDX-License-Identifier: MIT
// What Windows says of a port that cannot be opened reaches the window in
// UTF-8, whatever the system's code page: run in French (LC_ALL for wine),
// code page 1252, where it says "Accès refusé".
#include "AlpacaPublisher.h"

#include <algorithm>
#include <string>
#include <utility>  // before Asio, which uses std::exchange without it

#include <boost/asio.hpp>
#include <gtest/gtest.h>

namespace nortavi::alpaca {
namespace {

using boost::asio::ip::address_v4;
using boost::asio::ip::tcp;
using ExclusiveAddressUse =
    boost::asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>;

// The system's own words for an error, from its UTF-16 text.
std::string SystemWords(int error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words(1024, '\0');
    const int size = WideCharToMultiByte(CP_UTF8, 0, text != nullptr ? text : L"", -1,
                                         words.data(), 1024, nullptr, nullptr);
    LocalFree(text);
    words.resize(static_cast<std::size_t>(std::max(size - 1, 0)));
    return words.substr(0, words.find_last_not_of(".\r\n") + 1);
}

TEST(ErrorTextTest, APortAnotherProgramHoldsIsToldInTheSystemsOwnWordsInUtf8)
{
    // Held on every address and for itself alone, as another server may hold it.
    boost::asio::io_context io;
    tcp::acceptor other(io, tcp::v4());
    other.set_option(ExclusiveAddressUse(true));
    other.bind({address_v4::any(), 0});
    other.listen();
    const std::uint16_t port = other.local_endpoint().port();
    tcp::acceptor probe(io, tcp::v4());
    probe.set_option(ExclusiveAddressUse(true));
    boost::system::error_code error;
    probe.bind({address_v4::loopback(), port}, error);
    const std::string words = SystemWords(error.value());
    if (std::none_of(words.begin(), words.end(), [](char c) { return (c & 0x80) != 0; })) {
        GTEST_SKIP() << "the system's words are all ASCII here: " << words;
    }

    AlpacaPublisher publisher;
    AlpacaSettings settings;
    settings.server = true;
    settings.port = port;
    const auto told = publisher.Apply(settings);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->substr(0, told->find(". ")),
              "Port " + std::to_string(port) + " could not be opened: " + words);
}

}  // namespace
}  // namespace nortavi::alpaca
