#include "colour/colour_tables.h"

#include <cmath>
#include <thread>

namespace korvex {
namespace {

uint8_t TableEntry(double product) {
    if (std::isnan(product)) return 0;
    if (product >= 255.0) return 255;
    if (product <= -2147483649.0) return 0;  // its truncation would not fit 32 bits
    const int32_t truncated = static_cast<int32_t>(product);
    return static_cast<uint8_t>(truncated & 0xFF);
}

// A set that is not published and that no reader holds. Readers hold a set for one conversion,
// so when all spares are held this waits for the first of them to finish.
int32_t TakeSpareSet(SlotColourTables& tables, int32_t published) {
    for (;;) {
        for (int32_t s = 0; s < kColourTableSets; ++s) {
            if (s != published && tables.readers[s].load() == 0) return s;
        }
        std::this_thread::yield();
    }
}

}  // namespace

void BuildColourTable(double ratio, uint8_t table[256]) {
    for (int i = 0; i < 256; ++i) table[i] = TableEntry(i * ratio);
}

void BuildIdentityTable(uint8_t table[256]) {
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
}

HeldColourTables::HeldColourTables(SlotColourTables& tables) : tables_(tables), index_(tables.published.load()) {
    for (;;) {
        tables_.readers[index_].fetch_add(1);
        const int32_t now = tables_.published.load();
        if (now == index_) return;
        tables_.readers[index_].fetch_sub(1);  // retired meanwhile: take the new one
        index_ = now;
    }
}

HeldColourTables::~HeldColourTables() { tables_.readers[index_].fetch_sub(1); }

ColourTablesChange::ColourTablesChange(SlotColourTables& tables) : tables_(tables), spare_(0) {
    while (tables_.changing.exchange(true)) std::this_thread::yield();
    const int32_t published = tables_.published.load();  // only writers store it, and this is our turn
    spare_ = TakeSpareSet(tables_, published);
    tables_.sets[spare_] = tables_.sets[published];
}

ColourTablesChange::~ColourTablesChange() { tables_.changing.store(false); }

void ColourTablesChange::Publish() { tables_.published.store(spare_); }

void BuildSlotTables(SlotColour& colour) {
    ColourTablesChange change(colour.tables);
    BuildColourTable(colour.ratioR, change.tables().red);
    BuildColourTable(colour.ratioG, change.tables().green);
    BuildColourTable(colour.ratioB, change.tables().blue);
    change.Publish();
}

void PrepareColourForAllocation(int32_t index) {
    SlotColour& colour = ColourOf(index);
    {
        ColourTablesChange change(colour.tables);
        if (colour.ratioR == 0.0 || colour.ratioG == 0.0 || colour.ratioB == 0.0) {
            colour.ratioR = colour.ratioG = colour.ratioB = 1.0;
        }
    }
    BuildSlotTables(colour);
}

void ResetSlotTables(SlotColour& colour) {
    ColourTablesChange change(colour.tables);
    BuildIdentityTable(change.tables().red);
    BuildIdentityTable(change.tables().green);
    BuildIdentityTable(change.tables().blue);
    change.Publish();
}

}  // namespace korvex
