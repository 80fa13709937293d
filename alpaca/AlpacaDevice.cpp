// SPDX-License-Identifier: MIT
#include "AlpacaDevice.h"

#include "WeatherSafety.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <limits>
#include <map>
#include <optional>

namespace nortavi::alpaca {

namespace {

using nlohmann::json;

constexpr int kNotImplemented = 0x400;
constexpr int kSafetyMonitorInterfaceVersion = 3;
constexpr const char* kDevicePrefix = "/api/v1/safetymonitor/0/";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// application/x-www-form-urlencoded, as query strings and PUT bodies are
// written; nullopt for a broken escape.
std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%') {
            unsigned value = 0;
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const auto [end, error] =
                std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
            if (error != std::errc{} || end != text.data() + i + 3) {
                return std::nullopt;
            }
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The parameters of a request. Names in a GET query count in any letter
// case, as the Alpaca API says; names in a PUT form only as the API spells
// them, as ASCOM's checker insists in its strict mode: there a mis-cased
// name counts as absent.
class Parameters {
public:
    static std::optional<Parameters> Parse(std::string_view text, bool anyCase)
    {
        Parameters parameters(anyCase);
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('&'), text.size());
            const std::string_view pair = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            if (pair.empty()) {
                continue;
            }
            const std::size_t equals = pair.find('=');
            const auto name = Unescape(pair.substr(0, equals));
            const auto value =
                Unescape(equals == std::string_view::npos ? "" : pair.substr(equals + 1));
            if (!name || !value) {
                return std::nullopt;
            }
            parameters.values_[parameters.Key(*name)] = *value;
        }
        return parameters;
    }

    // `name` as the API spells it; nullptr when not sent.
    const std::string* Find(const std::string& name) const
    {
        const auto found = values_.find(Key(name));
        return found == values_.end() ? nullptr : &found->second;
    }

private:
    explicit Parameters(bool anyCase) : anyCase_(anyCase) {}
    std::string Key(const std::string& name) const { return anyCase_ ? Lower(name) : name; }

    bool anyCase_;
    std::map<std::string, std::string> values_;
};

// 0 to 4294967295; a parameter that is missing counts as 0. Empty, signed,
// spaced or not a number is refused.
std::optional<std::uint32_t> TransactionNumber(const Parameters& parameters, const char* name)
{
    const std::string* text = parameters.Find(name);
    if (!text) {
        return 0;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (text->empty() || error != std::errc{} || end != text->data() + text->size()) {
        return std::nullopt;
    }
    return value;
}

Response BadRequest(const std::string& why)
{
    return {400, "text/plain; charset=utf-8", why};
}

std::string UtcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

AlpacaDevice::AlpacaDevice(const SafetyBoard& board, std::string uniqueId)
    : board_(board), uniqueId_(std::move(uniqueId))
{
}

std::uint32_t AlpacaDevice::NextServerTransactionId()
{
    std::uint32_t last = serverTransactionId_.load();
    std::uint32_t next = 0;
    do {
        next = last == std::numeric_limits<std::uint32_t>::max() ? 1 : last + 1;
    } while (!serverTransactionId_.compare_exchange_weak(last, next));
    return next;
}

Response AlpacaDevice::Handle(const Request& request)
{
    const std::size_t question = request.target.find('?');
    const std::string path = request.target.substr(0, question);
    const std::string_view query = question == std::string::npos
                                       ? std::string_view{}
                                       : std::string_view(request.target).substr(question + 1);
    // GET takes its parameters from the query, PUT from the form body.
    const bool put = request.method == "PUT";
    if (!put && request.method != "GET") {
        return BadRequest("Only GET and PUT are answered.");
    }
    // Whatever its query: the driver that reads it sends none.
    if (path == "/weather/safety") {
        if (put) {
            return BadRequest("The weather safety verdict is read with GET.");
        }
        return {200, "application/json", WeatherSafetyJson(board_.Verdict())};
    }
    const auto parameters = Parameters::Parse(put ? std::string_view(request.body) : query, !put);
    if (!parameters) {
        return BadRequest("The parameters are not properly escaped.");
    }
    const auto clientId = TransactionNumber(*parameters, "ClientID");
    const auto clientTransactionId = TransactionNumber(*parameters, "ClientTransactionID");
    if (!clientId || !clientTransactionId) {
        return BadRequest(
            "ClientID and ClientTransactionID must be whole numbers from 0 to 4294967295.");
    }

    json answer;
    const auto reply = [&](json value, int errorNumber = 0, std::string errorMessage = {}) {
        if (!value.is_null()) {
            answer["Value"] = std::move(value);
        }
        answer["ClientTransactionID"] = *clientTransactionId;
        answer["ServerTransactionID"] = NextServerTransactionId();
        answer["ErrorNumber"] = errorNumber;
        answer["ErrorMessage"] = std::move(errorMessage);
        return Response{200, "application/json", answer.dump()};
    };

    if (path.rfind("/management/", 0) == 0) {
        if (put) {
            return BadRequest("The management API is read with GET.");
        }
        if (path == "/management/apiversions") {
            return reply(json::array({1}));
        }
        if (path == "/management/v1/description") {
            return reply({{"ServerName", "Nortavi"},
                          {"Manufacturer", "The Nortavi developers"},
                          {"ManufacturerVersion", NORTAVI_VERSION},
                          {"Location", ""}});
        }
        if (path == "/management/v1/configureddevices") {
            return reply(json::array({{{"DeviceName", "Nortavi sky safety"},
                                       {"DeviceType", "SafetyMonitor"},
                                       {"DeviceNumber", 0},
                                       {"UniqueID", uniqueId_}}}));
        }
        return BadRequest("No such management method: " + path);
    }
    if (path.rfind(kDevicePrefix, 0) != 0) {
        return BadRequest("No such device: " + path +
                          " (Nortavi is one SafetyMonitor, number 0; paths are in lower case).");
    }
    const std::string member = path.substr(std::char_traits<char>::length(kDevicePrefix));

    // PUT members. Each client connects and disconnects for itself alone.
    const auto connect = [&](bool on) {
        if (on) {
            connections_.Connect(*clientId);
        } else {
            connections_.Disconnect(*clientId);
        }
        return reply(nullptr);
    };
    if (member == "connect" || member == "disconnect") {
        if (!put) {
            return BadRequest(member + " is a PUT method.");
        }
        return connect(member == "connect");
    }
    if (member == "connected" && put) {
        const std::string* value = parameters->Find("Connected");
        const std::string text = value ? Lower(*value) : "";
        if (text != "true" && text != "false") {
            return BadRequest("Connected must be True or False.");
        }
        return connect(text == "true");
    }
    if (member == "action" || member == "commandblind" || member == "commandbool" ||
        member == "commandstring") {
        if (!put) {
            return BadRequest(member + " is a PUT method.");
        }
        return reply(nullptr, kNotImplemented, member + " is not implemented by Nortavi.");
    }
    if (put) {
        return BadRequest("No such PUT method: " + member);
    }

    // GET members.
    const bool connected = connections_.Connected(*clientId);
    // Not connected reads as not safe: a client that forgot to connect must
    // not go on as if the sky were safe.
    const bool safe = connected && board_.IsSafe();
    if (member == "issafe") {
        return reply(safe);
    }
    if (member == "connected") {
        return reply(connected);
    }
    if (member == "connecting") {
        return reply(false);  // connecting is immediate
    }
    if (member == "description") {
        return reply("Nortavi: the sky-safety status of a cloud sensor");
    }
    if (member == "driverinfo") {
        return reply("Nortavi " NORTAVI_VERSION
                     ", the Nortavi developers. Safe only while Nortavi shows "
                     "SAFE from a fresh status feed.");
    }
    if (member == "driverversion") {
        return reply(NORTAVI_VERSION);
    }
    if (member == "interfaceversion") {
        return reply(kSafetyMonitorInterfaceVersion);
    }
    if (member == "name") {
        return reply("Nortavi");
    }
    if (member == "supportedactions") {
        return reply(json::array());
    }
    if (member == "devicestate") {
        return reply(json::array(
            {{{"Name", "IsSafe"}, {"Value", safe}}, {{"Name", "TimeStamp"}, {"Value", UtcNow()}}}));
    }
    return BadRequest("No such GET method: " + member);
}

}  // namespace nortavi::alpaca
