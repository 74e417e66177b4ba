#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers as text, with the separators of the user's locale passed in so the core stays
// independent of any toolkit.

struct NumberSeparators {
    char decimal = '.';
    std::string thousands = ",";
};

// Optional sign and decimal digits, within the signed 32-bit range.
std::optional<int32_t> parseInteger(std::string_view text);

// Optional sign, digits with an optional decimal separator, an optional exponent with E or e;
// spaces around the number are allowed. Nothing outside the range of a double is.
std::optional<double> parseFloat(std::string_view text, char decimalSeparator);

// Thousands separated: -1,234,567.
std::string groupedInteger(int64_t value, const NumberSeparators& separators);
// Thousands separators and a fixed number of decimals: 1,000.000. Exact halves round away
// from zero, and a value that rounds to zero shows no sign. From 1e15 on, where a double
// holds fewer digits than the fixed form would show, the scientific form: 2.000e+300.
std::string formatNumber(long double value, int decimals, const NumberSeparators& separators);
// Fixed decimals without thousands separators: -10.00.
std::string formatFixed(long double value, int decimals, char decimalSeparator);
// Shortest general form with up to 15 significant digits: 0.5, 1000, 1E-7.
std::string formatGeneral(double value, char decimalSeparator);
// Shortest form that reads back as the same double: 0.37; plain digits from 1e-7 to below
// 1e21 (1000000, 0.0000001), beyond them with an exponent (1e+21).
std::string formatShortest(double value, char decimalSeparator);
