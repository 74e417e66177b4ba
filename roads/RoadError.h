#pragma once

// Bad input met while computing road distances: a message the window shows in its error box
// and velmora-batch prints, and the node it concerns when there is one.

#include <functional>
#include <string>

#include "platform/RunTimeError.h"

class RoadError : public RunTimeError {
public:
    explicit RoadError(const std::string& message, int node = 0)
        : RunTimeError(message), m_node(node) {}

    // The node number (1-based) the message is about; 0 for the road map as a whole.
    int node() const { return m_node; }

private:
    int m_node;
};

// The files a problem's nodes and roads came from, to name where an error arose.
struct RoadProblemFiles {
    std::string demand;
    std::string candidates;
    // How many of the nodes the demand file holds; the candidate sites follow them.
    int demandNodes = 0;
    std::string roadMap;
};

// Runs `compute`, the road distances of the problem, and rethrows what stops it as a run-time
// error located where it arose: one about a node at the node's file and line, any other (the
// road map's own, running out of memory, a thread that cannot start) at the road map unless
// it names its file itself. TaskCancelled passes through.
void locatingRoadErrors(const RoadProblemFiles& files, const std::function<void()>& compute);
