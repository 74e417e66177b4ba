#include "report/ReportNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

std::string groupedInteger(int64_t value, const NumberSeparators& separators) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const bool negative = value < 0;
    const std::string_view digits(buffer + negative,
                                  static_cast<std::size_t>(end - buffer) - negative);
    return (negative ? "-" : "") + groupedDigits(digits, separators.thousands);
}

std::string countOf(int64_t value, const std::string& thing, const NumberSeparators& separators) {
    return groupedInteger(value, separators) + " " + thing + (value == 1 ? "" : "s");
}

std::string percentText(int64_t part, int64_t whole, const NumberSeparators& separators) {
    if (whole <= 0) {
        return "";
    }
    // Tenths of a percent in integers: exact, and the halves go to the even tenth.
    const int64_t scaled = part * 1000;
    int64_t tenths = scaled / whole;
    const int64_t twiceRest = (scaled % whole) * 2;
    if (twiceRest > whole || (twiceRest == whole && tenths % 2 != 0)) {
        ++tenths;
    }
    return groupedInteger(tenths / 10, separators) + separators.decimal +
           static_cast<char>('0' + tenths % 10) + "%";
}

std::string sharePercent(double part, double whole, const NumberSeparators& separators) {
    if (!(whole > 0)) {
        return "";
    }
    return decimalText(static_cast<double>(100.0L * part / whole), 1, separators) + "%";
}

std::string decimalText(double value, int decimals, const NumberSeparators& separators) {
    char buffer[400];
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e15 || (magnitude > 0 && magnitude < 1e-9)) {
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 3)
                .ptr;
        std::string text(buffer, end);
        std::replace(text.begin(), text.end(), '.', separators.decimal);
        return text;
    }
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    std::string result = groupedDigits(text.substr(0, point), separators.thousands);
    if (point != std::string_view::npos) {
        result += separators.decimal;
        result += text.substr(point + 1);
    }
    const bool zero = result.find_first_not_of("0" + separators.thousands + separators.decimal) ==
                      std::string::npos;
    return negative && !zero ? "-" + result : result;
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}
