#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "modify/EntryChecks.h"
#include "modify/EntryLimits.h"
#include "platform/NumberText.h"

namespace {

class Field : public EntryField {
public:
    explicit Field(std::string text) : m_text(std::move(text)) {}
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }

private:
    std::string m_text;
};

// Answers every box with OK and counts what was shown.
class CountingPrompts : public Prompts {
public:
    Answer messageBox(BoxType, const std::string&, Buttons) override {
        ++boxes;
        return Answer::Ok;
    }
    void messageBeep(unsigned) override { ++beeps; }
    int boxes = 0;
    int beeps = 0;

protected:
    std::optional<std::string> askOpenFileName(FileDialogSettings&) override {
        return std::nullopt;
    }
    std::optional<std::string> askSaveFileName(FileDialogSettings&) override {
        return std::nullopt;
    }
    void showProgress(const std::string&, const std::function<void(TaskProgress&)>& task) override {
        SilentProgress progress;
        task(progress);
    }
};

// An optional sign and at least one digit, nothing else, within 32 bits.
std::optional<int32_t> referenceInteger(std::string_view text) {
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        ++at;
    }
    if (at == text.size()) {
        return std::nullopt;
    }
    long long value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[at] - '0');
        if (value > 2147483648LL) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

void exerciseParsing(const std::string& text, char decimal) {
    require(parseInteger(text) == referenceInteger(text));
    const auto real = parseFloat(text, decimal);
    if (!real) {
        return;
    }
    require(std::isfinite(*real));
    require(text.find_first_not_of(std::string(" +-0123456789Ee") + decimal) == std::string::npos);
    // What the fields show of a value reads back as that value.
    require(parseFloat(formatShortest(*real, decimal), decimal) == real);
    require(parseFloat(formatGeneral(*real, decimal), decimal).has_value());
}

void exerciseIntegerEntry(const std::string& text, InputBytes& input) {
    int32_t min = input.take<int32_t>();
    int32_t max = input.take<int32_t>();
    if (min > max) {
        std::swap(min, max);
    }
    const int32_t before = input.take<int32_t>();
    int32_t variable = before;
    Field field(text);
    CountingPrompts prompts;
    CheckIntegerEntry(prompts, field, variable, min, max);
    if (text.empty()) {
        require(variable == before && field.text().empty() && prompts.boxes == 0);
        return;
    }
    require(variable == before || (min <= variable && variable <= max));
    require(field.text() == std::to_string(variable));
    require(prompts.boxes <= 2 && prompts.beeps <= 1);
}

void exerciseRealEntry(const std::string& text, char decimal, InputBytes& input) {
    // The dialogs' two ranges: parameters and exponents.
    const bool exponent = (input.take<uint8_t>() & 1) != 0;
    const EntryRange range = exponent ? EquationExponentRange : EquationFactorRange;
    const double min = range.min;
    const double max = range.max;
    const double before = static_cast<double>(input.fraction() * 2 * max - max);
    double variable = before;
    Field field(text);
    CountingPrompts prompts;
    CheckRealEntry(prompts, field, variable, min, max, NumberSeparators{decimal, ","});
    if (variable != before) {
        require(min <= variable && variable <= max && parseFloat(text, decimal) == variable);
        require(field.text() == text && prompts.boxes == 0);
    }
    if (prompts.boxes > 0) {
        require(prompts.boxes == 1 && variable == before);
        require(field.text() == formatGeneral(before, decimal));
    }
}

void exerciseCoverageEntry(const std::string& text, InputBytes& input) {
    const int32_t before = input.take<int32_t>();
    int32_t variable = before;
    Field field(text);
    CountingPrompts prompts;
    const bool changed = checkCoverageEntry(prompts, field, variable);
    require(changed == !text.empty());
    if (changed) {
        require(variable == parseInteger(text).value_or(10));
        require(field.text() == std::to_string(variable));
    } else {
        require(variable == before);
    }
    require(prompts.boxes <= 1 && prompts.beeps == prompts.boxes);
}

}  // namespace

// The entry conversions and the checks that the numeric fields run on leaving: the first
// byte picks the check and the decimal separator, the next bytes its range and the value it
// held, the rest is the text typed.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputBytes input(data, size);
    const uint8_t choice = input.take<uint8_t>();
    const char decimal = (choice & 1) != 0 ? ',' : '.';
    InputBytes settings = input;
    input.take<uint64_t>();
    input.take<uint32_t>();
    const std::string text(input.rest());
    exerciseParsing(text, decimal);
    switch ((choice >> 1) % 3) {
        case 0:
            exerciseIntegerEntry(text, settings);
            break;
        case 1:
            exerciseRealEntry(text, decimal, settings);
            break;
        default:
            exerciseCoverageEntry(text, settings);
            break;
    }
    return 0;
}
