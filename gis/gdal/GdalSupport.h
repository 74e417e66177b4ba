#pragma once

#include <cpl_conv.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <memory>
#include <string>

#include "gis/GisLayers.h"

// Collects what GDAL reports while it lives, instead of GDAL printing it; only one thread
// uses GDAL at a time. Meanwhile the C library reads and prints numbers with a full stop on
// this thread, whatever locale the program runs under.
class GdalMessages {
public:
    GdalMessages();
    ~GdalMessages();
    GdalMessages(const GdalMessages&) = delete;
    GdalMessages& operator=(const GdalMessages&) = delete;

    bool failed() const { return !m_first.empty(); }
    // Throws std::runtime_error with `what` and the reason.
    [[noreturn]] void fail(const std::string& what) const;

private:
    static void collect(CPLErr level, CPLErrorNum number, const char* message);
    CPLThreadLocaleC m_numbers;
    std::string m_first;
};

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

// Opens anything GDAL reads as vectors, a CSV file's points from these columns (or, when
// empty, from the columns it recognises by name); throws when it cannot.
Dataset openVectors(const std::string& path, const std::string& xField = {},
                    const std::string& yField = {});

// Longitude (or easting) first, whatever the CRS's own axis order.
void useGisAxisOrder(OGRSpatialReference& crs);
CrsSummary summarize(const OGRSpatialReference& crs);
