// The entry point velmora-batch looks up when it loads this module for a picture.

#include <new>
#include <string>

#include "report/Chart.h"
#include "report/pictures/ChartPainter.h"
#include "report/pictures/OffscreenApplication.h"

extern "C" bool velmora_chart_png(const Chart& chart, std::string& png) {
    try {
        ensureOffscreenApplication();
        const QByteArray bytes = pngBytes(paintChart(chart));
        png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return !png.empty();
    } catch (const std::bad_alloc&) {
        return false;
    }
}
