#include "modify/EntryChecks.h"

namespace {

constexpr int32_t CoverageFallback = 10;

void showCanonical(Prompts& prompts, EntryField& field, const std::string& typed, int32_t value) {
    const std::string canonical = std::to_string(value);
    field.setText(canonical);
    if (canonical != typed) {
        prompts.messageBeep(InformationBeep);
        prompts.messageBox(BoxType::Warning, ConversionWarningText, Buttons::Ok);
    }
}

std::string rangeText(const std::string& min, const std::string& max) {
    return "Invalid Parameter Value.  Must have " + min + " <= X <= " + max;
}

}  // namespace

bool isNumericEntryKey(char32_t key, char decimalSeparator) {
    return (key >= U'0' && key <= U'9') || key == U'\b' || key == U'.' || key == U'-' ||
           key == static_cast<unsigned char>(decimalSeparator);
}

void CheckIntegerEntry(Prompts& prompts, EntryField& field, int32_t& variable, int32_t min,
                       int32_t max) {
    const std::string typed = field.text();
    if (typed.empty()) {
        return;
    }
    const int32_t value = parseInteger(typed).value_or(variable);
    showCanonical(prompts, field, typed, value);
    if (min <= value && value <= max) {
        variable = value;
        return;
    }
    prompts.messageBox(BoxType::Warning, rangeText(std::to_string(min), std::to_string(max)),
                       Buttons::Ok);
    field.setText(std::to_string(variable));
}

void CheckRealEntry(Prompts& prompts, EntryField& field, double& variable, double min, double max,
                    const NumberSeparators& separators) {
    const std::string typed = field.text();
    if (typed.empty()) {
        return;
    }
    const auto value = parseFloat(typed, separators.decimal);
    if (!value) {
        prompts.messageBox(BoxType::Warning, "Conversion Error", Buttons::Ok);
        field.setText(formatGeneral(variable, separators.decimal));
        return;
    }
    if (min <= *value && *value <= max) {
        variable = *value;
        return;
    }
    prompts.messageBox(
        BoxType::Warning,
        rangeText(formatFixed(min, 2, separators.decimal), formatFixed(max, 2, separators.decimal)),
        Buttons::Ok);
    field.setText(formatGeneral(variable, separators.decimal));
}

bool checkCoverageEntry(Prompts& prompts, EntryField& field, int32_t& variable) {
    const std::string typed = field.text();
    if (typed.empty()) {
        return false;
    }
    variable = parseInteger(typed).value_or(CoverageFallback);
    showCanonical(prompts, field, typed, variable);
    return true;
}
