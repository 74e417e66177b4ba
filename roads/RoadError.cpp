#include "roads/RoadError.h"

#include <new>

void locatingRoadErrors(const RoadProblemFiles& files, const std::function<void()>& compute) {
    try {
        compute();
    } catch (RoadError& error) {
        const int node = error.node();
        if (node == 0) {
            error.setLocation(files.roadMap, 0);
        } else if (node <= files.demandNodes) {
            error.setLocation(files.demand, node);
        } else {
            error.setLocation(files.candidates, node - files.demandNodes);
        }
        throw;
    } catch (RunTimeError& error) {
        if (error.file().empty()) {
            error.setLocation(files.roadMap, 0);
        }
        throw;
    } catch (const std::bad_alloc&) {
        RunTimeError error("Out of memory");
        error.setLocation(files.roadMap, 0);
        throw error;
    }
}
