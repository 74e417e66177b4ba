#include "report/ChartScale.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "report/ReportNumbers.h"

long double niceStep(long double rough) {
    const long double power = std::pow(10.0L, std::floor(std::log10(rough)));
    for (const long double factor : {1.0L, 2.0L, 5.0L, 10.0L}) {
        if (factor * power >= rough) {
            return factor * power;
        }
    }
    return 10 * power;
}

long double tickStep(long double span, int target, bool integers) {
    long double step = niceStep(span / target);
    // The next round step below, when it comes closer to the number of ticks wanted.
    const long double power = std::pow(10.0L, std::floor(std::log10(step) + 1e-9L));
    const long double smaller = step / power < 4 ? step / 2 : step * 2 / 5;
    if (span / smaller - target < target - span / step) {
        step = smaller;
    }
    return integers ? std::max(step, 1.0L) : step;
}

std::vector<AxisTick> niceTicks(double low, double high, int target, bool integers,
                                const NumberSeparators& separators) {
    std::vector<AxisTick> ticks;
    const long double span = static_cast<long double>(high) - low;
    if (!(span > 0) || !std::isfinite(span) || target < 1) {
        return ticks;
    }
    const long double step = tickStep(span, target, integers);
    const int decimals =
        step >= 1 ? 0 : static_cast<int>(std::lround(-std::floor(std::log10(step) + 1e-9L)));
    const auto limit = 4 * static_cast<std::size_t>(target);
    // A tick that falls on an end by a rounding hair still counts.
    const long double hair = 1e-9L;
    for (long double k = std::ceil(low / step - hair);
         k * step <= high + step * hair && ticks.size() <= limit; ++k) {
        const auto at = static_cast<double>(k * step);
        ticks.push_back({at, formatNumber(at, decimals, separators)});
    }
    return ticks;
}

ChartAxis valueAxis(std::string title, double low, double high, int ticks, bool integers,
                    const NumberSeparators& separators) {
    ChartAxis axis;
    axis.title = std::move(title);
    axis.low = low;
    axis.high = high;
    axis.ticks = niceTicks(low, high, ticks, integers, separators);
    return axis;
}
