#pragma once

// Bad input met while computing road distances: a message the window shows in its error box
// and velmora-batch prints, and the node it concerns when there is one.

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
