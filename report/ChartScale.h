#pragma once

#include <string>
#include <vector>

#include "platform/NumberText.h"
#include "report/Chart.h"

// The smallest of 1, 2 or 5 times a power of ten that is at least `rough` (> 0).
long double niceStep(long double rough);

// The distance between ticks over `span` (> 0): a round step giving about `target` of them.
long double tickStep(long double span, int target, bool integers);

// Round values from `low` to `high`, about `target` of them, labelled with as many decimals
// as their step needs; whole numbers only when `integers`.
std::vector<AxisTick> niceTicks(double low, double high, int target, bool integers,
                                const NumberSeparators& separators);

// An axis from low to high with about `ticks` round ticks.
ChartAxis valueAxis(std::string title, double low, double high, int ticks, bool integers,
                    const NumberSeparators& separators);
