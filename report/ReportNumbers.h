#pragma once

// Numbers for reports and pictures, with the separators passed in; nothing here depends on
// the process locale.

#include <cstdint>
#include <string>

#include "platform/NumberText.h"

// "1 node", "1,200 nodes": the number and the thing, plural unless one.
std::string countOf(int64_t value, const std::string& thing, const NumberSeparators& separators);

// part / whole as a percentage with one decimal, halves to even: 5.6%. Empty when whole is 0.
std::string percentText(int64_t part, int64_t whole, const NumberSeparators& separators);

// part / whole of real amounts as a percentage with one decimal: 85.3%. Empty unless whole > 0.
std::string sharePercent(double part, double whole, const NumberSeparators& separators);

// JSON numbers: the shortest text that reads back as the same double; null for a value JSON
// cannot hold (infinite, not a number).
std::string jsonNumber(double value);
