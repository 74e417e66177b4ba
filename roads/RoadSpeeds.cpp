#include "roads/RoadSpeeds.h"

#include <charconv>
#include <cmath>
#include <string>

#include "platform/RunTimeError.h"
#include "platform/TextFile.h"

namespace {

constexpr double KilometresPerMile = 1.609344;
constexpr std::string_view Walk = "walk";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the run of digits at the start of `text`.
std::size_t digitsAt(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n])) {
        ++n;
    }
    return n;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

[[noreturn]] void refuse(const TextSource& file, long long line, const std::string& message) {
    RunTimeError error(message);
    error.setLocation(file.name(), line);
    throw error;
}

// Each line of the text with its number; a line ends at LF, CR LF or CR.
template <typename Visit>
void forEachLine(TextReader& reader, Visit visit) {
    std::string line;
    long long number = 1;
    for (int c = reader.get(); c != TextReader::End; c = reader.get()) {
        if (c == '\r' || c == '\n') {
            visit(number++, std::string_view(line));
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty()) {
        visit(number, std::string_view(line));
    }
}

}  // namespace

std::optional<std::size_t> driveHighwayIndex(std::string_view highway) {
    for (std::size_t i = 0; i < DriveHighways.size(); ++i) {
        if (DriveHighways[i].highway == highway) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<double> positiveDecimal(std::string_view text) {
    const std::size_t whole = digitsAt(text);
    std::size_t end = whole;
    if (whole > 0 && end < text.size() && text[end] == '.') {
        const std::size_t fraction = digitsAt(text.substr(end + 1));
        end = fraction > 0 ? end + 1 + fraction : text.size() + 1;
    }
    if (whole == 0 || end != text.size()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + end, value);
    if (error != std::errc() || rest != text.data() + end || !(value > 0) || std::isinf(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> maxspeedKmh(std::string_view value) {
    for (const std::string_view mph : {" mph", "mph"}) {
        if (value.ends_with(mph)) {
            const auto miles = positiveDecimal(value.substr(0, value.size() - mph.size()));
            return miles ? std::optional<double>(*miles * KilometresPerMile) : std::nullopt;
        }
    }
    return positiveDecimal(value);
}

RoadSpeeds readRoadSpeeds(const TextSource& file) {
    RoadSpeeds speeds;
    // The line each key was given on; 0 while it keeps its default.
    std::array<long long, DriveHighways.size() + 1> givenOn{};
    TextReader reader(file);
    forEachLine(reader, [&](long long number, std::string_view line) {
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) {
            return;
        }
        const std::size_t keyEnd = std::min(line.find(' '), line.find('\t'));
        const std::string_view key = line.substr(0, keyEnd);
        const std::string_view kmh = trimmed(line.substr(std::min(keyEnd, line.size())));
        const std::optional<std::size_t> highway = driveHighwayIndex(key);
        if (!highway && key != Walk) {
            refuse(file, number,
                   "'" + std::string(key) +
                       "' is neither a highway value a car may take nor walk, so no speed can "
                       "be set for it");
        }
        long long& earlier = givenOn[highway.value_or(DriveHighways.size())];
        if (earlier != 0) {
            refuse(file, number,
                   "The speed for " + std::string(key) + " is given again: it was given on line " +
                       std::to_string(earlier));
        }
        const std::optional<double> value = positiveDecimal(kmh);
        if (!value) {
            refuse(file, number,
                   "'" + std::string(kmh) + "' is not a speed for " + std::string(key) +
                       ": a number of km/h greater than 0, such as 50 or 7.5, is needed");
        }
        earlier = number;
        (highway ? speeds.drive[*highway] : speeds.walk) = *value;
    });
    return speeds;
}
