// SPDX-License-Identifier: MIT
// GCC 12 in C++20 needs <utility> before Boost.Asio.
#include <utility>

#include "AlpacaServer.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <array>
#include <future>
#include <string_view>
#include <thread>
#include <vector>

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

// What a connection costs the server: counted while it lives, and whether
// it is only waiting for a client's next request (the first to go when a
// new client needs its place).
struct Accounting {
    int open = 0;
};

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, AlpacaDevice& device, const AlpacaServer::RouteHook& hook,
            const AlpacaServer::Limits& limits, Accounting& accounting)
        : stream_(std::move(socket)),
          // Headers, body and the framing around them: a client cannot make
          // the buffer grow past this, however it sends.
          buffer_(limits.maxHeaderBytes + limits.maxBodyBytes + 4096),
          device_(device),
          hook_(hook),
          limits_(limits),
          accounting_(accounting)
    {
        ++accounting_.open;
        beast::error_code ignored;
        peer_ = stream_.socket().remote_endpoint(ignored).address();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { --accounting_.open; }

    void Read()
    {
        idleSince_ = std::chrono::steady_clock::now();
        parser_.emplace();
        parser_->header_limit(limits_.maxHeaderBytes);
        parser_->body_limit(limits_.maxBodyBytes);
        // The whole request, headers and body, within the time-out: a
        // client that sends slowly, or not at all, is let go.
        stream_.expires_after(limits_.requestTimeout);
        http::async_read(stream_, buffer_, *parser_,
                         beast::bind_front_handler(&Session::OnRead, shared_from_this()));
    }

    // Waiting for a request that has not begun to arrive.
    bool Idle() const { return idleSince_.has_value() && buffer_.size() == 0; }
    std::chrono::steady_clock::time_point IdleSince() const { return *idleSince_; }
    const asio::ip::address& Peer() const { return peer_; }

    void Close()
    {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.socket().close(ignored);
    }

private:
    void OnRead(beast::error_code error, std::size_t)
    {
        idleSince_.reset();
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
        std::optional<Response> page;
        if (hook_ && request.method() == http::verb::get) {
            page = hook_(call);
        }
        const Response response = page ? std::move(*page) : device_.Handle(call);
        // An answer to HEAD would carry a body the client does not expect:
        // the connection ends with it.
        Answer(response.status, response.contentType, response.body,
               request.keep_alive() && request.method() != http::verb::head);
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

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    http::response<http::string_body> response_;
    AlpacaDevice& device_;
    const AlpacaServer::RouteHook& hook_;
    const AlpacaServer::Limits& limits_;
    Accounting& accounting_;
    asio::ip::address peer_;
    std::optional<std::chrono::steady_clock::time_point> idleSince_;
};

// Said, without waiting, to a client there is no room for.
constexpr std::string_view kBusy =
    "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";

}  // namespace

// One serving: the sockets and the thread that runs them. Stopping throws
// it away whole, so a restart begins clean. Everything in it is touched on
// its own thread only.
struct AlpacaServer::Network {
    Network(AlpacaDevice& servedDevice, const RouteHook& servedHook, const Limits& servedLimits)
        : device(servedDevice), hook(servedHook), limits(servedLimits)
    {
    }

    void Accept()
    {
        acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
            if (error == asio::error::operation_aborted) {
                return;
            }
            if (error) {
                // Out of handles, say: try again shortly rather than spin.
                retry.expires_after(std::chrono::milliseconds(100));
                retry.async_wait([this](beast::error_code waited) {
                    if (!waited) {
                        Accept();
                    }
                });
                return;
            }
            Admit(std::move(socket));
            Accept();
        });
    }

    // A new connection takes the place of the one idle longest when all are
    // taken, so that clients that keep connections open cannot lock others
    // out; one computer may hold only part of them.
    void Admit(tcp::socket socket)
    {
        std::erase_if(sessions,
                      [](const std::weak_ptr<Session>& session) { return session.expired(); });
        beast::error_code ignored;
        const asio::ip::address peer = socket.remote_endpoint(ignored).address();
        const auto fromPeer =
            std::count_if(sessions.begin(), sessions.end(),
                          [&peer](const auto& session) { return session.lock()->Peer() == peer; });
        const bool peerFull = !peer.is_loopback() && fromPeer >= kPerComputer;
        bool room = accounting.open < limits.maxConnections;
        if (!peerFull && !room) {
            std::shared_ptr<Session> oldest;
            for (const auto& weak : sessions) {
                const auto session = weak.lock();
                if (session->Idle() && (!oldest || session->IdleSince() < oldest->IdleSince())) {
                    oldest = session;
                }
            }
            if (oldest) {
                oldest->Close();  // it counts itself out once its read ends
                room = true;
            }
        }
        if (peerFull || !room) {
            socket.non_blocking(true, ignored);
            socket.write_some(asio::buffer(kBusy), ignored);
            socket.close(ignored);
            return;
        }
        auto session =
            std::make_shared<Session>(std::move(socket), device, hook, limits, accounting);
        sessions.push_back(session);
        session->Read();
    }

    // Opens the discovery socket, shared with other Alpaca programs on this
    // computer, and starts answering; the error, if it cannot. It listens on
    // every address even when only loopback is served: ASCOM's discovery
    // client reaches this computer by a broadcast on the loopback network,
    // which a socket bound to 127.0.0.1 does not hear on Linux. Discover()
    // answers only the senders that may connect.
    std::optional<std::string> OpenDiscovery(std::uint16_t onPort)
    {
        beast::error_code error;
        discovery.close(error);
        discovery.open(udp::v4(), error);
        if (!error) {
            discovery.set_option(asio::socket_base::reuse_address(true), error);
        }
#ifdef SO_REUSEPORT
        if (!error) {
            using ReusePort = asio::detail::socket_option::boolean<SOL_SOCKET, SO_REUSEPORT>;
            discovery.set_option(ReusePort(true), error);
        }
#endif
        if (!error) {
            discovery.bind(udp::endpoint(asio::ip::address_v4::any(), onPort), error);
        }
        if (error) {
            beast::error_code ignored;
            discovery.close(ignored);
            return "Discovery on port " + std::to_string(onPort) +
                   " could not start: " + error.message();
        }
        discoveryPort = onPort;
        Discover();
        return std::nullopt;
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

    // Runs the handlers; one that throws (out of memory, say) loses its
    // connection, never the program.
    void Run()
    {
        for (;;) {
            try {
                context.run();
                return;
            } catch (const std::exception&) {
                continue;
            }
        }
    }

    static constexpr long kPerComputer = 16;

    AlpacaDevice& device;
    const RouteHook& hook;
    const Limits& limits;
    // Before the context: sessions still count themselves down while it
    // destroys them.
    Accounting accounting;
    std::vector<std::weak_ptr<Session>> sessions;
    asio::io_context context{1};
    tcp::acceptor acceptor{context};
    asio::steady_timer retry{context};
    udp::socket discovery{context};
    std::array<char, 256> datagram{};
    udp::endpoint sender;
    std::string discoveryAnswer;
    bool allowRemote = false;
    std::uint16_t port = 0;
    std::uint16_t discoveryPort = 0;
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
    Outcome outcome;
    if (network_ && network_->port == port && network_->allowRemote == allowRemote) {
        // Only discovery moves: the clients connected now keep their
        // connections, and the port is not given up and asked for again.
        if (network_->discoveryPort != discoveryPort) {
            std::promise<std::optional<std::string>> opened;
            asio::post(network_->context,
                       [&] { opened.set_value(network_->OpenDiscovery(discoveryPort)); });
            outcome.warning = opened.get_future().get();
        }
        return outcome;
    }
    Stop();
    auto network = std::make_unique<Network>(device_, hook_, limits_);
    network->allowRemote = allowRemote;
    network->port = port;
    network->discoveryAnswer = "{\"AlpacaPort\":" + std::to_string(port) + "}";

    beast::error_code error;
    OpenAcceptor(network->acceptor, port, allowRemote, error);
    if (error) {
        outcome.error = "Port " + std::to_string(port) + " could not be opened: " + error.message();
        return outcome;
    }
    outcome.warning = network->OpenDiscovery(discoveryPort);
    network->Accept();
    network->thread = std::thread([&network = *network] { network.Run(); });
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
