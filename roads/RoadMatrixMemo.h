#pragma once

// The last road matrix computed, kept with everything it was computed from, so that loading
// the same problem again (after a save that failed, say) does not search the roads again.

#include <optional>
#include <string>
#include <vector>

#include "platform/FileStamp.h"
#include "roads/RoadMatrix.h"

class RoadMatrixMemo {
public:
    // The kept matrix when the road map is the very file it was computed from, unchanged,
    // and the places and settings are the same; nothing otherwise.
    const RoadMatrix* find(const std::string& roadMap, const std::vector<RoadPlace>& places,
                           const RoadSettings& settings) const;
    // Keeps `matrix` in place of the last one; nothing is kept when the road map cannot be
    // looked at, as it could not be told unchanged later.
    void keep(const std::string& roadMap, const std::vector<RoadPlace>& places,
              const RoadSettings& settings, RoadMatrix matrix);

private:
    struct Kept {
        std::string roadMap;
        FileStamp stamp;
        std::vector<RoadPlace> places;
        RoadSettings settings;
        RoadMatrix matrix;
    };
    std::optional<Kept> m_kept;
};
