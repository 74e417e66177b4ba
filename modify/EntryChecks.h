#pragma once

// The one protocol by which typed numbers reach the program's state: a key filter while
// typing, and on leaving the field a check that converts the text, tests it against an
// inclusive range and stores it only when it passes. A rejected entry is explained in a
// box and the variable's unchanged value is put back into the field.

#include <cstdint>
#include <string>

#include "platform/NumberText.h"
#include "platform/Prompts.h"

class EntryField {
public:
    virtual ~EntryField() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

// Digits, backspace, the full stop, the locale's decimal separator and the minus sign pass;
// anything else is refused.
bool isNumericEntryKey(char32_t key, char decimalSeparator);

inline constexpr const char* ConversionWarningText =
    "Specified value did not convert correctly... Warning\rDefault value used and shown";

void CheckIntegerEntry(Prompts& prompts, EntryField& field, int32_t& variable, int32_t min,
                       int32_t max);
void CheckRealEntry(Prompts& prompts, EntryField& field, double& variable, double min, double max,
                    const NumberSeparators& separators);

// The coverage distance's own conversion: a whole number of any 32-bit value, 10 when the
// text does not convert, the conversion warning when the text changes. False for an empty
// field, which changes nothing.
bool checkCoverageEntry(Prompts& prompts, EntryField& field, int32_t& variable);
