#include "gis/gdal/GdalSupport.h"

#include <stdexcept>

GdalMessages::GdalMessages() {
    CPLPushErrorHandlerEx(&GdalMessages::collect, this);
}

GdalMessages::~GdalMessages() {
    CPLPopErrorHandler();
}

void GdalMessages::collect(CPLErr level, CPLErrorNum, const char* message) {
    auto* messages = static_cast<GdalMessages*>(CPLGetErrorHandlerUserData());
    // Warnings (an open option another driver ignores) are no reason for a failure.
    if (level >= CE_Failure && messages->m_first.empty() && message) {
        messages->m_first = message;
    }
}

void GdalMessages::fail(const std::string& what) const {
    throw std::runtime_error(m_first.empty() ? what : what + ": " + m_first);
}

Dataset openVectors(const std::string& path, const std::string& xField, const std::string& yField) {
    const std::string xNames = "X_POSSIBLE_NAMES=" + (xField.empty() ? "lon,longitude,x" : xField);
    const std::string yNames = "Y_POSSIBLE_NAMES=" + (yField.empty() ? "lat,latitude,y" : yField);
    // Only the CSV driver reads these; others warn and go on.
    const char* const options[] = {xNames.c_str(), yNames.c_str(), nullptr};
    GdalMessages messages;
    Dataset dataset(GDALDataset::Open(path.c_str(),
                                      GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                                      nullptr, options, nullptr));
    if (!dataset) {
        messages.fail("cannot be read as GIS layers");
    }
    return dataset;
}

void useGisAxisOrder(OGRSpatialReference& crs) {
    crs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
}

CrsSummary summarize(const OGRSpatialReference& crs) {
    CrsSummary summary;
    summary.kind = crs.IsGeographic() ? CrsSummary::Kind::Geographic : CrsSummary::Kind::Planar;
    const char* name = crs.GetName();
    summary.name = name ? name : "unnamed";
    const char* authority = crs.GetAuthorityName(nullptr);
    const char* code = crs.GetAuthorityCode(nullptr);
    if (authority && code) {
        summary.name += std::string(" (") + authority + ":" + code + ")";
    }
    return summary;
}
