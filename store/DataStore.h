#pragma once

// The one in-memory copy of the problem: nodes, the distance matrix, the metric in force,
// the file names in use and whether the matrix has unsaved changes. Node numbers run
// 1..MaxNodes and every slot access is checked.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/RunTimeError.h"
#include "store/MatrixSource.h"

inline constexpr int MaxNodes = 901;

// Slot number 1..MaxNodes as an array index; anything else is the run-time range error.
inline std::size_t checkedSlot(int i) {
    if (i < 1 || i > MaxNodes) {
        throw RangeError();
    }
    return static_cast<std::size_t>(i - 1);
}

// The two demand sets of a demand node, fields 4 and 5 of its line.
struct NodeDemand {
    double set1 = 0;
    double set2 = 0;
};

struct NodeRecord {
    double XCoord = 0;
    double YCoord = 0;
    // Candidate sites carry none.
    std::optional<NodeDemand> Demand;
};

// Always MaxNodes cells, whatever the node count, so a row never needs resizing.
class DistanceRow {
public:
    int32_t& operator[](int column) { return m_cells[checkedSlot(column)]; }
    int32_t operator[](int column) const { return m_cells[checkedSlot(column)]; }
    // Columns 1..n as one block, for loops whose bound is checked once.
    int32_t* columns() { return m_cells.data(); }
    const int32_t* columns() const { return m_cells.data(); }

private:
    std::array<int32_t, MaxNodes> m_cells{};
};

// MaxNodes owning slots, each empty or holding one T.
template <typename T>
class OwnedSlots {
public:
    // The object in slot i; an empty slot is an access violation.
    T& operator[](int i) { return deref(i); }
    const T& operator[](int i) const { return deref(i); }

    bool holds(int i) const { return m_slots[checkedSlot(i)] != nullptr; }
    T& create(int i) {
        auto& slot = m_slots[checkedSlot(i)];
        slot = std::make_unique<T>();
        return *slot;
    }
    void release(int i) { m_slots[checkedSlot(i)].reset(); }

private:
    T& deref(int i) const {
        const auto& slot = m_slots[checkedSlot(i)];
        if (!slot) {
            throw RunTimeError("Access violation");
        }
        return *slot;
    }

    std::array<std::unique_ptr<T>, MaxNodes> m_slots;
};

struct TDataStore {
    OwnedSlots<NodeRecord> NodeTable;
    // Counted up before its slot is tested, so a load stopped at the limit leaves 902.
    uint16_t NodeCount = 0;
    // Nodes 1..DemandNodeCount came from the demand file, the rest are candidate sites; set
    // by every load.
    int DemandNodeCount = 0;
    OwnedSlots<DistanceRow> DistanceMatrix;
    char MetricCode = 'E';
    std::string DataFileExt;
    std::string DemandFileName;
    std::string CandidateFileName;
    std::string DistanceFileName;
    long double EarthDiameter = 7918;
    bool MatrixSaved = true;
    // The load dialog's weight on demand set 1, in hundredths, as the problem was loaded.
    int DemandWeightPercent = 100;
    // Where the matrix came from; set by every load, emptied with the matrix.
    MatrixSource Source;
};

// The process-wide store that every window works on.
extern TDataStore DataStore;

int SmallerOf(int a, int b);
// Frees node i's row (when it has one) and its record.
void ReleaseNode(TDataStore& store, int i);
// Frees every node and the record of the matrix's source, and sets NodeCount and
// DemandNodeCount to 0; metric, extension and MatrixSaved stay.
void ResetDataStore(TDataStore& store);
