// SPDX-License-Identifier: MIT
// GCC 12 in C++20 needs <utility> before Boost.Asio.
#include <utility>

#include "AlpacaServer.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <array>
#include <atomic>
#include <string_view>
#include <thread>

namespace nortavi::alpaca {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using udp = asio::ip::udp;

constexpr std::string_view kDiscoveryRequest = "alpacadiscovery1";

// Opens a listening socket. Linux lets a restarted server take its port
// back at once; Windows would let another program share it, so there the
// port is the program's alone.
void OpenAcceptor(tcp::acceptor& acceptor, std::uint16_t port, bool allowRemote,
                  beast::error_code& error)
{
    const tcp::endpoint endpoint(allowRemote ? asio::ip::address(asio::ip::address_v4::any())
                                             : asio::ip::address(asio::ip::address_v4::loopback()),
                                 port);
    acceptor.open(endpoint.protocol(), error);
    if (error) {
        return;
    }
#ifdef _WIN32
    using ExclusiveAddressUse =
        asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>;
    acceptor.set_option(ExclusiveAddressUse(true), error);
#else
    acceptor.set_option(asio::socket_base::reuse_address(true), error);
#endif
    if (!error) {
        acceptor.bind(endpoint, error);
    }
    if (!error) {
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    }
}

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, AlpacaDevice& device, const AlpacaServer::Limits& limits,
            std::atomic<int>& open)
        : stream_(std::move(socket)), device_(device), limits_(limits), open_(open)
    {
        ++open_;
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { --open_; }

    void Read()
    {
        parser_.emplace();
        parser_->header_limit(limits_.maxHeaderBytes);
        parser_->body_limit(limits_.maxBodyBytes);
        // The whole request, headers and body, within the time-out: a
        // client that sends slowly, or not at all, is let go.
        stream_.expires_after(limits_.requestTimeout);
        http::async_read(stream_, buffer_, *parser_,
                         beast::bind_front_handler(&Session::OnRead, shared_from_this()));
    }

private:
    void OnRead(beast::error_code error, std::size_t)
    {
        if (error == http::error::header_limit || error == http::error::body_limit ||
            error == http::error::buffer_overflow) {
            return Answer(413, "text/plain", "The request is too large.", false);
        }
        const bool unreadable =
            error.category() == http::make_error_code(http::error::bad_method).category();
        if (error && error != http::error::end_of_stream && unreadable) {
            return Answer(400, "text/plain", "The request is malformed.", false);
        }
        if (error) {
            return Close();  // gone, timed out, or finished
        }
        const auto& request = parser_->get();
        Request call;
        call.method = std::string(request.method_string());
        call.target = std::string(request.target());
        call.contentType = std::string(request[http::field::content_type]);
        call.body = request.body();
        const Response response = device_.Handle(call);
        Answer(response.status, response.contentType, response.body, request.keep_alive());
    }

    void Answer(int status, const std::string& contentType, const std::string& body, bool keepAlive)
    {
        response_ = {};
        response_.version(11);
        response_.result(static_cast<http::status>(status));
        response_.set(http::field::server, "Nortavi");
        response_.set(http::field::content_type, contentType);
        response_.keep_alive(keepAlive);
        response_.body() = body;
        response_.prepare_payload();
        stream_.expires_after(limits_.requestTimeout);
        http::async_write(
            stream_, response_,
            [self = shared_from_this(), keepAlive](beast::error_code error, std::size_t) {
                if (error || !keepAlive) {
                    self->Close();
                } else {
                    self->Read();
                }
            });
    }

    void Close()
    {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.socket().close(ignored);
    }

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    http::response<http::string_body> response_;
    AlpacaDevice& device_;
    const AlpacaServer::Limits& limits_;
    std::atomic<int>& open_;
};

}  // namespace

// One serving: the sockets and the thread that runs them. Stopping throws
// it away whole, so a restart begins clean.
struct AlpacaServer::Network {
    Network(AlpacaDevice& servedDevice, const Limits& servedLimits)
        : device(servedDevice), limits(servedLimits)
    {
    }

    void Accept()
    {
        acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
            if (error == asio::error::operation_aborted) {
                return;
            }
            // Over the limit, a new connection is closed at once; those
            // already open are served on.
            if (!error && open < limits.maxConnections) {
                std::make_shared<Session>(std::move(socket), device, limits, open)->Read();
            }
            Accept();
        });
    }

    void Discover()
    {
        discovery.async_receive_from(
            asio::buffer(datagram), sender, [this](beast::error_code error, std::size_t size) {
                if (error == asio::error::operation_aborted) {
                    return;
                }
                const std::string_view request(datagram.data(), size);
                // Other computers hear of a port they could not reach only if
                // they may reach it.
                if (!error && request.substr(0, kDiscoveryRequest.size()) == kDiscoveryRequest &&
                    (allowRemote || sender.address().is_loopback())) {
                    beast::error_code ignored;
                    discovery.send_to(asio::buffer(discoveryAnswer), sender, 0, ignored);
                }
                Discover();
            });
    }

    AlpacaDevice& device;
    const Limits& limits;
    // Before the context: sessions still count themselves down while it
    // destroys them.
    std::atomic<int> open{0};
    asio::io_context context{1};
    tcp::acceptor acceptor{context};
    udp::socket discovery{context};
    std::array<char, 256> datagram{};
    udp::endpoint sender;
    std::string discoveryAnswer;
    bool allowRemote = false;
    std::thread thread;
};

AlpacaServer::AlpacaServer(AlpacaDevice& device, Limits limits) : device_(device), limits_(limits)
{
}

AlpacaServer::AlpacaServer(AlpacaDevice& device) : AlpacaServer(device, Limits{})
{
}

AlpacaServer::~AlpacaServer()
{
    Stop();
}

AlpacaServer::Outcome AlpacaServer::Start(std::uint16_t port, bool allowRemote,
                                          std::uint16_t discoveryPort)
{
    Stop();
    auto network = std::make_unique<Network>(device_, limits_);
    network->allowRemote = allowRemote;
    network->discoveryAnswer = "{\"AlpacaPort\":" + std::to_string(port) + "}";

    Outcome outcome;
    beast::error_code error;
    OpenAcceptor(network->acceptor, port, allowRemote, error);
    if (error) {
        outcome.error = "Port " + std::to_string(port) + " could not be opened: " + error.message();
        return outcome;
    }

    // Discovery is shared with other Alpaca programs on this computer.
    network->discovery.open(udp::v4(), error);
    if (!error) {
        network->discovery.set_option(asio::socket_base::reuse_address(true), error);
    }
#ifdef SO_REUSEPORT
    if (!error) {
        using ReusePort = asio::detail::socket_option::boolean<SOL_SOCKET, SO_REUSEPORT>;
        network->discovery.set_option(ReusePort(true), error);
    }
#endif
    if (!error) {
        network->discovery.bind(udp::endpoint(asio::ip::address_v4::any(), discoveryPort), error);
    }
    if (error) {
        outcome.warning = "Discovery on port " + std::to_string(discoveryPort) +
                          " could not start: " + error.message();
        beast::error_code ignored;
        network->discovery.close(ignored);
    } else {
        network->Discover();
    }

    network->Accept();
    network->thread = std::thread([&context = network->context] { context.run(); });
    network_ = std::move(network);
    return outcome;
}

void AlpacaServer::Stop()
{
    if (!network_) {
        return;
    }
    network_->context.stop();
    if (network_->thread.joinable()) {
        network_->thread.join();
    }
    network_.reset();  // closes every socket, sessions included
}

bool AlpacaServer::Running() const
{
    return network_ != nullptr;
}

bool AlpacaServer::PortFree(std::uint16_t port, bool allowRemote)
{
    asio::io_context context;
    tcp::acceptor acceptor(context);
    beast::error_code error;
    OpenAcceptor(acceptor, port, allowRemote, error);
    return !error;
}

}  // namespace nortavi::alpaca
