// SPDX-License-Identifier: MIT
#include "StatusPage.h"

#include "ChartLayout.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <tuple>

namespace nortavi::history {

namespace {

// The chart's sizes on the page: a phone's width, and a wider screen's.
constexpr double kNarrowWidth = 360;
constexpr double kWideWidth = 760;
constexpr double kChartHeight = 150;

std::string Hex(Colour colour)
{
    static const char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (const unsigned shift : {0u, 8u, 16u}) {
        const unsigned byte = (colour >> shift) & 0xFF;
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// Black or white, whichever stands out more from `colour` (WCAG's contrast).
Colour TextOn(Colour colour)
{
    const auto linear = [](unsigned byte) {
        const double c = byte / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(colour & 0xFF) +
                             0.7152 * linear((colour >> 8) & 0xFF) +
                             0.0722 * linear((colour >> 16) & 0xFF);
    return (luminance + 0.05) / 0.05 >= 1.05 / (luminance + 0.05) ? kBlack : 0xFFFFFF;
}

// Numbers as SVG reads them, whatever the C library's locale.
std::string Number(double value)
{
    char text[32];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    std::string number(text, error == std::errc{} ? end : text);
    while (number.find('.') != std::string::npos &&
           (number.back() == '0' || number.back() == '.')) {
        number.pop_back();
    }
    return number == "-0" ? "0" : number;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

Colour ConditionColour(const std::string& condition)
{
    if (condition == "CLEAR") {
        return kGreen;
    }
    return condition == "CLOUDY" ? kOrange : kRed;
}

Colour StatusColour(ShownStatus status)
{
    switch (status) {
        case ShownStatus::Safe:
            return kGreen;
        case ShownStatus::Pending:
            return kBlack;
        default:
            break;
    }
    return kRed;
}

std::string Age(std::chrono::seconds age)
{
    const long long s = std::max<long long>(0, age.count());
    if (s < 120) {
        return std::to_string(s) + " s";
    }
    if (s < 2 * 3600) {
        return std::to_string(s / 60) + " min";
    }
    return std::to_string(s / 3600) + " h " + std::to_string(s / 60 % 60) + " min";
}

std::string FeedWords(const PageNow& now)
{
    std::string words = FeedText(now.feed);
    if (now.feed == Feed::Missing || now.feed == Feed::Unreadable) {
        return words;
    }
    return now.feedAge ? words + ", the last reading " + Age(*now.feedAge) + " old"
                       : words + ", no reading yet";
}

std::string AlarmWords(Alarms alarms)
{
    std::string words;
    for (const auto& [on, name] :
         {std::pair{alarms.safe, "safe"}, std::pair{alarms.unsafe, "unsafe"},
          std::pair{alarms.comms, "comms"}}) {
        if (on) {
            words += (words.empty() ? "" : ", ") + std::string(name);
        }
    }
    return words;
}

std::string Box(const char* id, const char* label, const std::string& word, Colour colour)
{
    return "<div class=\"box\" id=\"" + std::string(id) + "\" style=\"background:" + Hex(colour) +
           ";color:" + Hex(TextOn(colour)) + "\"><small>" + label + "</small><b>" + Escaped(word) +
           "</b></div>\n";
}

std::string Swatch(Colour colour, const char* name)
{
    return "<span><i style=\"background:" + Hex(colour) + "\"></i>" + name + "</span>";
}

std::string Legend()
{
    std::string legend = "<figcaption class=\"legend\">";
    legend += Swatch(SkyBandColour(SkyBand::Clear), "clear / safe");
    legend += Swatch(SkyBandColour(SkyBand::Cloudy), "cloudy");
    legend += Swatch(SkyBandColour(SkyBand::VeryCloudy), "very cloudy / unsafe");
    legend += Swatch(SkyBandColour(SkyBand::NoFreshData), "no fresh data / unknown");
    legend += Swatch(StatusBandColour(StatusBand::Pending), "pending");
    legend += Swatch(SkyBandColour(SkyBand::NotRunning), "Nortavi not running");
    legend += "<span>&#9660; alarm raised</span><span style=\"color:" +
              Hex(AlarmMarkColour(LogEvent::AlarmCancelled)) +
              "\">&#9650; cancelled</span><span style=\"color:" +
              Hex(AlarmMarkColour(LogEvent::AlarmEnded)) + "\">&#9650; ended by itself</span>";
    return legend + "</figcaption>\n";
}

constexpr const char* kStyle = R"(<style>
body{margin:0;padding:10px;font:16px/1.4 system-ui,-apple-system,"Segoe UI",sans-serif;color:#202020;background:#f2f2f2}
main{max-width:780px;margin:0 auto}
.now{display:flex;flex-wrap:wrap;gap:8px}
.box{flex:1 1 150px;padding:8px 14px;border-radius:6px}
.box small{display:block;font-size:13px}
.box b{display:block;font-size:34px;line-height:1.2}
.alarm{font-weight:bold;margin:10px 0 0}
table{border-collapse:collapse;margin:10px 0 4px}
td{padding:2px 14px 2px 0}
td+td{font-weight:bold;font-variant-numeric:tabular-nums;text-align:right}
#feed{margin:0 0 10px}
figure{margin:0;padding:8px;background:#fff;border-radius:6px}
svg{display:block;width:100%;height:auto}
.narrow{display:none}
@media (max-width:600px){.wide{display:none}.narrow{display:block}}
.legend{font-size:13px;margin-top:6px}
.legend span{display:inline-block;margin-right:12px;white-space:nowrap}
.legend i{display:inline-block;width:10px;height:10px;margin-right:4px;border:1px solid #808080;vertical-align:-1px}
footer{font-size:13px;color:#606060;margin-top:10px}
footer a{color:inherit}
</style>
)";

nlohmann::json Time(Moment at)
{
    return FormatMoment(at);
}

}  // namespace

std::string ChartSvg(const ChartDrawing& drawing, const std::string& cssClass)
{
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"" + Escaped(cssClass) +
        "\" viewBox=\"0 0 " + Number(drawing.width) + " " + Number(drawing.height) +
        "\" role=\"img\" aria-label=\"The sky and the status over the last 12 hours\">";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"" + Hex(drawing.background) + "\"/>";
    svg += "<g shape-rendering=\"crispEdges\">";
    for (const DrawRect& r : drawing.rects) {
        svg += "<rect x=\"" + Number(r.x) + "\" y=\"" + Number(r.y) + "\" width=\"" +
               Number(r.width) + "\" height=\"" + Number(r.height) + "\" fill=\"" + Hex(r.fill) +
               "\"/>";
    }
    for (const DrawLine& l : drawing.lines) {
        svg += "<line x1=\"" + Number(l.x1) + "\" y1=\"" + Number(l.y1) + "\" x2=\"" +
               Number(l.x2) + "\" y2=\"" + Number(l.y2) + "\" stroke=\"" + Hex(l.colour) +
               "\" stroke-width=\"" + Number(l.width) + "\"/>";
    }
    svg += "</g>";
    for (const DrawMark& m : drawing.marks) {
        // The tip at (x, y); the base above it for a raised alarm, below for the others.
        const double base = m.kind == DrawMark::Kind::AlarmRaised ? m.y - m.size : m.y + m.size;
        svg += "<polygon points=\"" + Number(m.x - m.size / 2) + "," + Number(base) + " " +
               Number(m.x + m.size / 2) + "," + Number(base) + " " + Number(m.x) + "," +
               Number(m.y) + "\" fill=\"" + Hex(m.fill) + "\"/>";
    }
    static const char* const kAnchors[] = {"start", "middle", "end"};
    for (const DrawText& t : drawing.texts) {
        svg += "<text x=\"" + Number(t.x) + "\" y=\"" + Number(t.y) +
               "\" font-family=\"sans-serif\" font-size=\"" + Number(t.size) + "\" text-anchor=\"" +
               kAnchors[static_cast<int>(t.anchor)] + "\"" +
               (t.bold ? " font-weight=\"bold\"" : "") + " fill=\"" + Hex(t.colour) + "\">" +
               Escaped(t.text) + "</text>";
    }
    return svg + "</svg>\n";
}

std::string StatusPageHtml(const PageNow& now, const NightChart& chart)
{
    const std::string status = StatusCaption(now.status);
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta http-equiv=\"refresh\" content=\"5\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'; img-src data:\">\n"
        "<link rel=\"icon\" href=\"data:,\">\n<title>" +
        status + " · " + Escaped(now.condition) + " · Nortavi</title>\n" + kStyle +
        "</head>\n<body><main>\n<div class=\"now\">\n";
    page += Box("condition", "Current conditions", now.condition, ConditionColour(now.condition));
    page += Box("status", "Current status", status, StatusColour(now.status));
    page += "</div>\n";
    if (now.alarms.Any()) {
        page +=
            "<p class=\"alarm\" id=\"alarm\">Alarm sounding: " + AlarmWords(now.alarms) + "</p>\n";
    }
    page += "<table>\n";
    for (const auto& [name, id, minutes] :
         {std::tuple{"Clear", "clear", now.minsSinceClear},
          std::tuple{"Cloudy", "cloudy", now.minsSinceCloudy},
          std::tuple{"V.Cloudy", "vcloudy", now.minsSinceVCloudy}}) {
        page += "<tr><td>Minutes since last " + std::string(name) + "</td><td id=\"" + id + "\">" +
                std::to_string(minutes) + "</td></tr>\n";
    }
    page += "</table>\n<p id=\"feed\">Status file: " + FeedWords(now) + "</p>\n<figure>\n";
    page += ChartSvg(DrawNightChart(chart, kWideWidth, kChartHeight), "wide");
    page += ChartSvg(DrawNightChart(chart, kNarrowWidth, kChartHeight), "narrow");
    page += Legend();
    page += "</figure>\n<footer>Nortavi at " + FormatLocalTime(now.at.Local()) + " (UTC" +
            FormatOffset(now.at.offset) +
            "); this page reloads every 5 s and changes nothing. <a href=\"/history.json\">The "
            "last 12 hours as "
            "data</a>.</footer>\n</main></body>\n</html>\n";
    return page;
}

std::string HistoryJson(const PageNow& now, const NightChart& chart)
{
    using nlohmann::json;
    json current = {{"time", Time(now.at)},
                    {"condition", now.condition},
                    {"status", StatusCaption(now.status)},
                    {"feed", FeedText(now.feed)},
                    {"feedAgeSeconds", now.feedAge ? json(now.feedAge->count()) : json(nullptr)},
                    {"minsSinceClear", now.minsSinceClear},
                    {"minsSinceCloudy", now.minsSinceCloudy},
                    {"minsSinceVCloudy", now.minsSinceVCloudy},
                    {"alarms", json::array()}};
    for (const auto& [on, name] :
         {std::pair{now.alarms.safe, "safe"}, std::pair{now.alarms.unsafe, "unsafe"},
          std::pair{now.alarms.comms, "comms"}}) {
        if (on) {
            current["alarms"].push_back(name);
        }
    }
    json sky = json::array();
    for (const SkySpan& span : chart.sky) {
        sky.push_back(
            {{"from", Time(span.from)}, {"to", Time(span.to)}, {"state", SkyBandText(span.state)}});
    }
    json status = json::array();
    for (const StatusSpan& span : chart.status) {
        status.push_back({{"from", Time(span.from)},
                          {"to", Time(span.to)},
                          {"state", StatusBandText(span.state)}});
    }
    json alarms = json::array();
    for (const AlarmMark& mark : chart.alarms) {
        alarms.push_back({{"time", Time(mark.at)}, {"event", EventText(mark.event, mark.alarm)}});
    }
    return json{{"from", Time(chart.from)}, {"to", Time(chart.to)}, {"now", current}, {"sky", sky},
                {"status", status},         {"alarms", alarms}}
        .dump();
}

}  // namespace nortavi::history
