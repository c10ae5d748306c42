// Colour tables: 256 entries per channel that map a value through a white-balance ratio, and the
// way a slot's tables pass from the host thread that changes them to the threads that convert
// frames with them.
#pragma once

#include <atomic>
#include <cstdint>

namespace korvex {

// Entry i is i x ratio truncated toward zero, 255 from 255 up, and taken modulo 256 below 0
// (so a negative ratio wraps: -1 gives 255). Products beyond the 32-bit range, which only a
// hand-edited settings file can give, are defined too: 255 above, 0 below, 0 for NaN.
void BuildColourTable(double ratio, uint8_t table[256]);

void BuildIdentityTable(uint8_t table[256]);

// The three tables one conversion uses.
struct ColourTableSet {
    uint8_t red[256];
    uint8_t green[256];
    uint8_t blue[256];
};

// A slot's colour tables, published whole.
//
// Exports convert on capture threads while a host thread (a GUI, typically) changes white balance
// or gamma, or resets the tables. A change never writes the set that readers use: it fills a
// spare set of the slot's small pool completely and then publishes it with one atomic store of
// its index. A reader takes the published set once per frame, so it converts with the old tables
// or the new ones, never a mix, and takes no lock and allocates nothing.
//
// Reuse of a set: a reader first counts itself in the set's readers, then checks that the set is
// still the published one; if it is not, it withdraws and takes the newly published set instead.
// A writer refills only a set that is not published and whose count it reads as 0. All of these
// operations are sequentially consistent, so of a reader's count and a writer's look at that
// count one comes first: either the writer sees the count and leaves the set alone, or the
// reader's check comes after the publication that retired the set, sees another set published
// and retries (and if the writer has meanwhile filled and published that very set again, the
// reader sees it complete). A reader holds a set for one frame's conversion, so a writer that
// finds every spare set held waits only that long. Writers take turns through changing, and
// change the slot's ratios inside their turn too.
inline constexpr int kColourTableSets = 4;

struct SlotColourTables {
    ColourTableSet sets[kColourTableSets];  // all zero at load: the tables before the first allocation
    std::atomic<int32_t> readers[kColourTableSets];
    std::atomic<int32_t> published;  // index of the set readers take
    std::atomic<bool> changing;      // a writer's turn is running
};

// The published set, held against reuse for as long as this lives.
class HeldColourTables {
public:
    explicit HeldColourTables(SlotColourTables& tables);
    ~HeldColourTables();
    HeldColourTables(const HeldColourTables&) = delete;
    HeldColourTables& operator=(const HeldColourTables&) = delete;

    const ColourTableSet& get() const { return tables_.sets[index_]; }

private:
    SlotColourTables& tables_;
    int32_t index_;
};

// One writer's turn: waits for the turn, then offers a spare set that starts as a copy of the
// published one. Publish makes it the published set; a turn that ends without Publish changes
// nothing.
class ColourTablesChange {
public:
    explicit ColourTablesChange(SlotColourTables& tables);
    ~ColourTablesChange();
    ColourTablesChange(const ColourTablesChange&) = delete;
    ColourTablesChange& operator=(const ColourTablesChange&) = delete;

    ColourTableSet& tables() { return tables_.sets[spare_]; }
    void Publish();

private:
    SlotColourTables& tables_;
    int32_t spare_;
};

// Each camera's white-balance ratios and colour tables (camera index 0..9 = camera number - 1).
//
// The one rule for the ratios: they change only inside a ColourTablesChange turn of their own
// camera's tables (white balance, and allocation's default of 1.0), and the settings file is read
// into them and written from them only by the lifecycle calls (colour/stored_ratios.h), which
// take turns with allocation.
struct SlotColour {
    double ratioR;
    double ratioG;
    double ratioB;
    bool ratiosChanged;  // a white balance set the ratios since the settings file was read
    SlotColourTables tables;
};

SlotColour& ColourOf(int32_t index);

// Builds the camera's three tables from ratioR, ratioG and ratioB and publishes them.
void BuildSlotTables(SlotColour& colour);

// Allocation's part: ratios never read (all zero) become 1.0, then the tables are built from
// them. Allocation calls this before it gives the slot its buffers, so that no frame is converted
// with tables that are not built yet.
void PrepareColourForAllocation(int32_t index);

// Publishes identity tables for the camera; the ratios stay.
void ResetSlotTables(SlotColour& colour);

}  // namespace korvex
