// SPDX-License-Identifier: MIT
#pragma once

// HTTP on loopback for tests, on any platform: one request, the whole
// answer; a port nothing listens on; a port another program holds.

#include <boost/asio.hpp>

#include <cstdint>
#include <string>

namespace nortavi::test {

inline std::uint16_t FreeLoopbackPort()
{
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor probe(io, {boost::asio::ip::address_v4::loopback(), 0});
    return probe.local_endpoint().port();
}

// The whole answer to one HTTP/1.0 request; empty when nothing answers.
inline std::string LoopbackHttp(std::uint16_t port, const std::string& method, const std::string& target)
{
    boost::asio::io_context io;
    boost::asio::ip::tcp::socket socket(io);
    boost::system::error_code error;
    socket.connect({boost::asio::ip::address_v4::loopback(), port}, error);
    if (error) {
        return {};
    }
    const std::string request = method + " " + target + " HTTP/1.0\r\nContent-Length: 0\r\n\r\n";
    boost::asio::write(socket, boost::asio::buffer(request), error);
    std::string answer;
    boost::asio::read(socket, boost::asio::dynamic_buffer(answer), error);
    return answer;
}

// A port held by "another program" for as long as this lives.
class HeldPort {
public:
    HeldPort() : acceptor_(io_, {boost::asio::ip::address_v4::loopback(), 0}) {}
    std::uint16_t Port() const { return acceptor_.local_endpoint().port(); }

private:
    boost::asio::io_context io_;
    boost::asio::ip::tcp::acceptor acceptor_;
};

}  // namespace nortavi::test
