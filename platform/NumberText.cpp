#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string withDecimalSeparator(std::string text, char decimalSeparator) {
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return text;
}

// Formats through std::to_chars, which never consults the process's C locale: under a
// comma-decimal locale the C library would print 10000 as "10000,000" and every caller that
// looks for the full stop would misread it.
std::string printed(long double value, std::chars_format format, int precision) {
    std::string text(64, '\0');
    while (true) {
        const auto [end, error] =
            std::to_chars(text.data(), text.data() + text.size(), value, format, precision);
        if (error == std::errc()) {
            text.resize(static_cast<std::size_t>(end - text.data()));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

// The value with a fixed number of decimals, exact halves rounded away from zero as the
// number formats on screen do; a value that rounds to zero shows no sign.
std::string fixedDecimals(long double value, int decimals) {
    if (!std::isfinite(value)) {
        return printed(value, std::chars_format::fixed, decimals);
    }
    const bool negative = std::signbit(value);
    std::string digits = printed(std::fabs(value), std::chars_format::fixed, decimals + 40);
    const std::size_t point = digits.find('.');
    const bool roundUp = digits[point + 1 + decimals] >= '5';
    digits.resize(decimals > 0 ? point + 1 + decimals : point);
    if (roundUp) {
        std::size_t at = digits.size();
        while (at > 0) {
            --at;
            if (digits[at] == '.') {
                continue;
            }
            if (digits[at] != '9') {
                ++digits[at];
                break;
            }
            digits[at] = '0';
            if (at == 0) {
                digits.insert(digits.begin(), '1');
            }
        }
    }
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    return negative && !zero ? "-" + digits : digits;
}

// The digits of an integer part without its sign, thousands separated.
std::string groupedDigits(std::string_view digits, const std::string& thousands) {
    std::string result;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            result += thousands;
        }
        result += digits[i];
    }
    return result;
}

}  // namespace

std::optional<int32_t> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty() || (text.size() == 1 && text.front() == '-')) {
        return std::nullopt;
    }
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseFloat(std::string_view text, char decimalSeparator) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    std::string normal;
    normal.reserve(text.size());
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (negative) {
        normal += '-';
    }
    // Decimal exponent of the first significant digit, to tell overflow from underflow.
    long long magnitude = 0;
    bool significant = false;
    std::size_t digits = 0;
    while (at < text.size() && isDigit(text[at])) {
        if (significant || text[at] != '0') {
            significant = true;
            ++magnitude;
        }
        normal += text[at++];
        ++digits;
    }
    if (at < text.size() && text[at] == decimalSeparator) {
        normal += '.';
        ++at;
        while (at < text.size() && isDigit(text[at])) {
            if (!significant) {
                if (text[at] != '0') {
                    significant = true;
                } else {
                    --magnitude;
                }
            }
            normal += text[at++];
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        normal += 'e';
        ++at;
        bool negativeExponent = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            negativeExponent = text[at] == '-';
            normal += text[at++];
        }
        long long exponent = 0;
        std::size_t exponentDigits = 0;
        while (at < text.size() && isDigit(text[at])) {
            if (exponent < 1'000'000'000) {
                exponent = exponent * 10 + (text[at] - '0');
            }
            normal += text[at++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
        magnitude += negativeExponent ? -exponent : exponent;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    if (!significant) {
        return negative ? -0.0 : 0.0;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (magnitude > 0) {
            return std::nullopt;
        }
        return negative ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != normal.data() + normal.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string groupedInteger(int64_t value, const NumberSeparators& separators) {
    char buffer[24];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const bool negative = value < 0;
    return (negative ? "-" : "") +
           groupedDigits(std::string_view(buffer + negative, end), separators.thousands);
}

std::string formatNumber(long double value, int decimals, const NumberSeparators& separators) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15L) {
        return withDecimalSeparator(printed(value, std::chars_format::scientific, 3),
                                    separators.decimal);
    }
    const std::string fixed = fixedDecimals(value, decimals);
    const bool negative = !fixed.empty() && fixed.front() == '-';
    const std::size_t integerStart = negative ? 1 : 0;
    std::size_t integerEnd = fixed.find('.');
    if (integerEnd == std::string::npos) {
        integerEnd = fixed.size();
    }
    std::string result =
        (negative ? "-" : "") +
        groupedDigits(std::string_view(fixed).substr(integerStart, integerEnd - integerStart),
                      separators.thousands);
    if (integerEnd < fixed.size()) {
        result += separators.decimal;
        result += fixed.substr(integerEnd + 1);
    }
    return result;
}

std::string formatFixed(long double value, int decimals, char decimalSeparator) {
    return withDecimalSeparator(fixedDecimals(value, decimals), decimalSeparator);
}

std::string formatGeneral(double value, char decimalSeparator) {
    const std::string general = printed(value, std::chars_format::general, 15);
    const std::size_t e = general.find('e');
    if (e == std::string::npos) {
        return withDecimalSeparator(general, decimalSeparator);
    }
    // "1e-07" shows as 1E-7.
    std::string_view exponent(general);
    exponent.remove_prefix(e + 1);
    const bool negative = exponent.front() == '-';
    exponent.remove_prefix(1);
    exponent.remove_prefix(std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    return withDecimalSeparator(general.substr(0, e), decimalSeparator) + "E" +
           (negative ? "-" : "") + std::string(exponent);
}

std::string formatShortest(double value, char decimalSeparator) {
    char buffer[64];
    const double magnitude = std::fabs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-7 && magnitude < 1e21);
    const auto result =
        plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return withDecimalSeparator(std::string(buffer, result.ptr), decimalSeparator);
}
