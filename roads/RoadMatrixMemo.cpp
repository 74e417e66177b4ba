#include "roads/RoadMatrixMemo.h"

#include <algorithm>

namespace {

bool samePlaces(const std::vector<RoadPlace>& a, const std::vector<RoadPlace>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const RoadPlace& p, const RoadPlace& q) {
                          return p.longitude == q.longitude && p.latitude == q.latitude;
                      });
}

bool sameSettings(const RoadSettings& a, const RoadSettings& b) {
    return a.mode == b.mode && a.cost == b.cost && a.unit == b.unit &&
           a.speeds.drive == b.speeds.drive && a.speeds.walk == b.speeds.walk &&
           a.unreachableValue == b.unreachableValue && a.maxSnapMetres == b.maxSnapMetres &&
           a.separators.decimal == b.separators.decimal &&
           a.separators.thousands == b.separators.thousands;
}

}  // namespace

const RoadMatrix* RoadMatrixMemo::find(const std::string& roadMap,
                                       const std::vector<RoadPlace>& places,
                                       const RoadSettings& settings) const {
    if (!m_kept || m_kept->roadMap != roadMap || !samePlaces(m_kept->places, places) ||
        !sameSettings(m_kept->settings, settings) || fileStamp(roadMap) != m_kept->stamp) {
        return nullptr;
    }
    return &m_kept->matrix;
}

void RoadMatrixMemo::keep(const std::string& roadMap, const std::vector<RoadPlace>& places,
                          const RoadSettings& settings, RoadMatrix matrix) {
    m_kept.reset();
    if (const std::optional<FileStamp> stamp = fileStamp(roadMap)) {
        m_kept = Kept{roadMap, *stamp, places, settings, std::move(matrix)};
    }
}
