#include "report/ReportNumbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

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
    return formatNumber(100.0L * part / whole, 1, separators) + "%";
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}
